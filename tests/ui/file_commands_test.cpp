// New, Open, Save, Save As and Save as default, through the real file
// dialogs, with every message they show.
#include <windows.h>

#include <filesystem>

#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

const std::wstring NewTitle = std::wstring(ProgramTitle) + L" - 新文件";
const wchar_t SavedText[] = L"文件保存！";
const UINT Information = MB_OK | MB_ICONINFORMATION;
const UINT Warning = MB_OK | MB_ICONWARNING;

std::wstring TitleFor(const PathString& path) { return ProgramTitle + std::wstring(L" - \"") + path + L"\""; }

std::wstring SaveFailedText(const PathString& path) {
    return L"文件路径：" + path + L"\n\n文件没有保存成功！请检查磁盘空间和写入权限。\n原来的文件没有被改动。";
}

std::wstring TempSavedText(const PathString& path) {
    return L"通讯录已保存到：\n" + path + L"\n可以用“文件”菜单的“打开...”再打开它。";
}

// The book written at a path, read back.
Document ReadBack(const PathString& path) {
    Document document;
    EXPECT_EQ(LoadOk, ReadAddressBook(path, document.groups, document.contacts));
    return document;
}

std::vector<std::string> Surnames(const Document& document) {
    std::vector<std::string> names;
    for (const auto& record : document.contacts.records) names.push_back(FieldValue(*record, Surname));
    return names;
}

using NewCommandTest = MainWindowTest;
using OpenCommandTest = MainWindowTest;
using SaveCommandTest = MainWindowTest;

}  // namespace

TEST_F(NewCommandTest, YesStartsANewBookAndNoKeepsTheOldOne) {
    WriteBook("default.txl", BookWith({Person("a"), Person("b")}));
    StartCorvelle();
    AppendGroup(App.document.groups, "extra");
    ModalAnswers answers;
    const wchar_t question[] = L"新建文件将会清除为保存的数据，继续请点击“是”";
    answers.ExpectMessage(question, L"新建", MB_YESNO | MB_ICONINFORMATION, IDNO);
    SendCommand(IDM_FILE_NEW);
    EXPECT_EQ(2, RowCount(List()));
    EXPECT_EQ(TitleFor(PathOf("default.txl")), Title());

    answers.ExpectMessage(question, L"新建", MB_YESNO | MB_ICONINFORMATION, IDYES);
    SendCommand(IDM_FILE_NEW);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(0, RowCount(List()));
    EXPECT_EQ(0, RecordCount(App.document.contacts));
    EXPECT_EQ(NewTitle, Title());
    EXPECT_EQ(6u, ComboTexts(App.groupFilter).size());
    EXPECT_EQ(0, ComboSelection(App.groupFilter));
}

TEST_F(OpenCommandTest, OpensTheChosenBookAndRebuildsTheList) {
    StartCorvelle();
    Document book = BookWith({Person(Gbk("张"), Gbk("三")), Person(Gbk("李"), Gbk("四"))});
    AppendGroup(book.groups, Gbk("球友"));
    WriteBook("friends.txl", book);
    ChooseInCombo(App.fieldFilter, 2);
    ChooseInCombo(App.groupFilter, 1);

    ModalAnswers answers;
    answers.ExpectFileDialog(L"打开文件", PathOf("friends.txl"));
    SendCommand(IDM_FILE_OPEN);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TitleFor(PathOf("friends.txl")), Title());
    EXPECT_EQ(PathOf("friends.txl"), App.document.currentPath);
    EXPECT_EQ((std::vector<std::wstring>{L"张三", L"李四"}), ColumnTexts(List()));
    EXPECT_EQ(L"球友", ComboTexts(App.groupFilter).back());
    EXPECT_EQ(0, ComboSelection(App.groupFilter));
    EXPECT_EQ(0, ComboSelection(App.fieldFilter));
}

TEST_F(OpenCommandTest, CancellingChangesNothing) {
    WriteBook("default.txl", BookWith({Person("a")}));
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectFileDialogCancelled(L"打开文件");
    SendCommand(IDM_FILE_OPEN);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RowCount(List()));
    EXPECT_EQ(TitleFor(PathOf("default.txl")), Title());
}

TEST_F(OpenCommandTest, ASearchTextStaysAndNarrowsTheNewBook) {
    StartCorvelle();
    WriteBook("b.txl", BookWith({Person("match"), Person("other")}));
    TypeInto(App.quickSearchBox, L"mat");
    ModalAnswers answers;
    answers.ExpectFileDialog(L"打开文件", PathOf("b.txl"));
    SendCommand(IDM_FILE_OPEN);
    EXPECT_EQ(L"mat", WindowText(App.quickSearchBox));
    EXPECT_EQ((std::vector<std::wstring>{L"match"}), ColumnTexts(List()));
}

// Each refusal names the file; the open book, with its unsaved changes,
// its groups, its path and the title, stays as it was.
TEST_F(OpenCommandTest, ARefusedBookShowsItsReasonAndKeepsTheOpenBook) {
    Document book = BookWith({Person("a"), Person("b")});
    std::string good = EncodeAddressBook(book.groups, book.contacts);
    std::string tooNew = good;
    tooNew[4] = 3;
    std::string tooMany = EncodeAddressBook(NewDocument().groups, ContactStore());
    tooMany.replace(tooMany.size() - 4, 4, std::string("\x41\x42\x0F\x00", 4));  // 1,000,001 records
    std::string longName = good.substr(0, 12) + std::string("\x11\x00\x00\x00", 4) + std::string(17, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        const wchar_t* reason;
    } cases[] = {
        {"magic.txl", "TXL?" + good.substr(4), L"\n\n文件不是正确的格式，程序终止读取。(2)\n读取失败。"},
        {"many.txl", tooMany, L"\n\n文件可能已经损坏！(3)\n请下载最新的程序然后重试。"},
        {"new.txl", tooNew,
         L"\n\n文件的版本较高，继续读取可能出现问题。(4)\n您需要下载新版本的软件来读取该文件，读取过程终止。"},
        {"short.txl", good.substr(0, good.size() - 1), L"\n\n文件可能已经损坏！(5)\n文件数据与文件头不一致，文件不完整。"},
        {"group.txl", longName, L"\n\n文件可能已经损坏！(11)\n文件数据大小与约定格式不一致，文件不完整。"},
    };
    Document open = BookWith({Person("old")});
    AppendGroup(open.groups, "mine");
    WriteBook("default.txl", open);
    StartCorvelle();
    AppendRecord(App.document.contacts, Person("unsaved"));
    RefreshList();
    std::vector<std::wstring> groupsShown = ComboTexts(App.groupFilter);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(PathOf(c.name), c.bytes);
        ModalAnswers answers;
        answers.ExpectFileDialog(L"打开文件", PathOf(c.name));
        answers.ExpectMessage(L"文件路径：" + PathOf(c.name) + c.reason, L"错误", Warning, IDOK);
        SendCommand(IDM_FILE_OPEN);
        EXPECT_TRUE(answers.AllAnswered());
        EXPECT_EQ((std::vector<std::wstring>{L"old", L"unsaved"}), ColumnTexts(List()));
        EXPECT_EQ(6, GroupCount(App.document.groups));
        EXPECT_EQ(groupsShown, ComboTexts(App.groupFilter));
        EXPECT_EQ(TitleFor(PathOf("default.txl")), Title());
        EXPECT_EQ(PathOf("default.txl"), App.document.currentPath);
    }
}

// The file dialogs move the current directory, so that the next one starts
// where the user was; "temp.txl" and "txl.dat" stay in the start folder.
TEST_F(OpenCommandTest, ARefusedBookElsewhereLeavesTempTxlInTheStartFolder) {
    StartCorvelle();
    PathString elsewhere = PathOf("elsewhere");
    CreateDirectoryW(elsewhere.c_str(), nullptr);
    PathString damaged = elsewhere + L"\\damaged.txl";
    WriteFileBytes(damaged, "garbage");
    ModalAnswers answers;
    answers.ExpectFileDialogInFolder(L"打开文件", elsewhere, L"damaged.txl");
    answers.ExpectMessage(L"文件路径：" + damaged + L"\n\n文件不是正确的格式，程序终止读取。(2)\n读取失败。", L"错误", Warning,
                          IDOK);
    SendCommand(IDM_FILE_OPEN);
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), elsewhere));
    answers.ExpectMessage(L"在退出之前是否保存？", L"退出", MB_YESNOCANCEL | MB_ICONQUESTION, IDYES);
    answers.ExpectMessage(TempSavedText(PathOf("temp.txl")), L"保存", Information, IDOK);
    EXPECT_TRUE(CloseCorvelle());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(FileExists(PathOf("temp.txl")));
    EXPECT_TRUE(FileExists(PathOf("txl.dat")));
    EXPECT_FALSE(FileExists(elsewhere + L"\\temp.txl"));
    EXPECT_FALSE(FileExists(elsewhere + L"\\txl.dat"));
}

TEST_F(SaveCommandTest, ABookWithAPathIsSavedWithoutADialog) {
    WriteBook("default.txl", BookWith({Person("a")}));
    StartCorvelle();
    AppendRecord(App.document.contacts, Person("b"));
    ModalAnswers answers;
    answers.ExpectMessage(SavedText, L"保存", Information, IDOK);
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Surnames(ReadBack(PathOf("default.txl"))));
}

// The name gets ".txl" when it has no extension; a folder's dot is none.
// (The program asks the dialog to confirm creating a new file; Wine's
// save dialog does not ask.)
TEST_F(SaveCommandTest, ANewBookIsNamedInTheSaveDialog) {
    CreateDirectoryW(PathOf("ver1.0").c_str(), nullptr);
    struct Case {
        std::string typed;
        std::string saved;
    } cases[] = {
        {"abc", "abc.txl"}, {"def.", "def.txl"}, {"ghi.dat", "ghi.dat"}, {"ver1.0\\jkl", "ver1.0\\jkl.txl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        StartCorvelle();
        AppendRecord(App.document.contacts, Person("x"));
        ModalAnswers answers;
        answers.ExpectFileDialog(L"新建文件", PathOf(c.typed));
        answers.ExpectMessage(SavedText, L"保存", Information, IDOK);
        SendCommand(IDM_FILE_SAVE);
        EXPECT_TRUE(answers.AllAnswered());
        EXPECT_EQ((std::vector<std::string>{"x"}), Surnames(ReadBack(PathOf(c.saved))));
        EXPECT_EQ(TitleFor(PathOf(c.saved)), Title());
        DestroyWindow(window);
    }
}

TEST_F(SaveCommandTest, CancellingTheDialogSavesNothing) {
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectFileDialogCancelled(L"新建文件");
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(NewTitle, Title());
    EXPECT_TRUE(App.document.currentPath.empty());
}

TEST_F(SaveCommandTest, AFailedSaveWarnsWithTheFileAndKeepsThePath) {
    WriteBook("default.txl", BookWith({Person("a")}));
    StartCorvelle();
    PathString unwritable = PathOf("missing") + L"\\book.txl";
    App.document.currentPath = unwritable;
    ModalAnswers answers;
    answers.ExpectMessage(SaveFailedText(unwritable), L"保存", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(unwritable, App.document.currentPath);
}

// Replacing a book is asked first, whether the user picks its name or types
// it without ".txl"; "否" goes back to the dialog.
TEST_F(SaveCommandTest, SaveAsAsksBeforeReplacingABook) {
    WriteBook("default.txl", BookWith({Person("a")}));
    WriteBook("copy.txl", BookWith({Person("old")}));
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectFileDialog(L"另存为...", PathOf("copy.txl"));
    answers.ExpectSystemMessage(IDNO);
    answers.ExpectDialogAgain(L"另存为...", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    SendCommand(IDM_FILE_SAVE_AS);
    answers.ExpectFileDialog(L"另存为...", PathOf("copy"));
    answers.ExpectMessage(PathOf("copy.txl") + L"\n文件已经存在。\n是否替换？", L"另存为", MB_YESNO | MB_ICONWARNING,
                          IDNO);
    answers.ExpectFileDialogCancelled(L"另存为...");
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::string>{"old"}), Surnames(ReadBack(PathOf("copy.txl"))));
    EXPECT_EQ(TitleFor(PathOf("default.txl")), Title());

    answers.ExpectFileDialog(L"另存为...", PathOf("copy.txl"));
    answers.ExpectSystemMessage(IDYES);
    answers.ExpectMessage(SavedText, L"保存", Information, IDOK);
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::string>{"a"}), Surnames(ReadBack(PathOf("copy.txl"))));
    EXPECT_EQ(TitleFor(PathOf("copy.txl")), Title());
}

// Neither the old file nor the document's path changes when a save fails.
TEST_F(SaveCommandTest, AFailedSaveAsKeepsTheBookWhereItWas) {
    WriteBook("default.txl", BookWith({Person("a")}));
    WriteBook("taken.txl", BookWith({Person("theirs")}));
    std::string before = ReadFileBytes(PathOf("taken.txl"));
    // Another program holds the file open and lets nobody replace it.
    HANDLE held = CreateFileW(PathOf("taken.txl").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectFileDialog(L"另存为...", PathOf("taken.txl"));
    answers.ExpectSystemMessage(IDYES);
    answers.ExpectMessage(SaveFailedText(PathOf("taken.txl")), L"保存", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE_AS);
    CloseHandle(held);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TitleFor(PathOf("default.txl")), Title());
    EXPECT_EQ(PathOf("default.txl"), App.document.currentPath);
    EXPECT_EQ(before, ReadFileBytes(PathOf("taken.txl")));
}

TEST_F(SaveCommandTest, SaveAsDefaultWritesTheDefaultNameHereSilently) {
    StartCorvelle();
    AppendRecord(App.document.contacts, Person("d"));
    ModalAnswers answers;
    answers.ExpectMessage(L"是否保存为默认文件？", L"保存", MB_YESNO | MB_ICONQUESTION, IDNO);
    SendCommand(IDM_FILE_SAVE_DEFAULT);
    EXPECT_FALSE(FileExists(PathOf("default.txl")));
    EXPECT_EQ(NewTitle, Title());

    answers.ExpectMessage(L"是否保存为默认文件？", L"保存", MB_YESNO | MB_ICONQUESTION, IDYES);
    SendCommand(IDM_FILE_SAVE_DEFAULT);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::string>{"d"}), Surnames(ReadBack(PathOf("default.txl"))));
    EXPECT_EQ(TitleFor(PathOf("default.txl")), Title());
}

TEST_F(SaveCommandTest, SaveAsDefaultUsesTheNameFromTheSettings) {
    StartCorvelle();
    CopyToField(App.settings.DefaultFileName, DefaultFileNameWidth, "mine.txl");
    ModalAnswers answers;
    answers.ExpectMessage(L"是否保存为默认文件？", L"保存", MB_YESNO | MB_ICONQUESTION, IDYES);
    SendCommand(IDM_FILE_SAVE_DEFAULT);
    EXPECT_TRUE(FileExists(PathOf("mine.txl")));
    EXPECT_EQ(TitleFor(PathOf("mine.txl")), Title());
}

TEST_F(SaveCommandTest, AFailedSaveAsDefaultIsNotSilent) {
    StartCorvelle();
    CopyToField(App.settings.DefaultFileName, DefaultFileNameWidth, "missing\\book.txl");
    ModalAnswers answers;
    answers.ExpectMessage(L"是否保存为默认文件？", L"保存", MB_YESNO | MB_ICONQUESTION, IDYES);
    answers.ExpectMessage(SaveFailedText(PathOf("missing\\book.txl")), L"保存", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE_DEFAULT);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(NewTitle, Title());
}

// A path that does not fit is refused, never cut into another file's name.
TEST_F(SaveCommandTest, AnOverlongDefaultPathIsRefused) {
    StartCorvelle();
    std::string name(250, 'n');
    CopyToField(App.settings.DefaultFileName, DefaultFileNameWidth, name + ".txl");
    ModalAnswers answers;
    answers.ExpectMessage(L"是否保存为默认文件？", L"保存", MB_YESNO | MB_ICONQUESTION, IDYES);
    answers.ExpectMessage(L"文件路径太长，程序无法使用！\n请选择一个路径较短的位置或文件名。", L"错误", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE_DEFAULT);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(NewTitle, Title());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder.Path("n") + L"*").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// Paths are kept as the system gives them, so a folder whose name GBK
// cannot spell works too.
TEST_F(SaveCommandTest, AFolderNameOutsideGbkStillSavesAndOpens) {
    PathString korean = PathOf("\xED\x95\x9C\xEA\xB5\xAD");  // 한국
    CreateDirectoryW(korean.c_str(), nullptr);
    PathString book = korean + L"\\book.txl";
    StartCorvelle();
    AppendRecord(App.document.contacts, Person("k"));
    ModalAnswers answers;
    answers.ExpectFileDialog(L"另存为...", book);
    answers.ExpectMessage(SavedText, L"保存", Information, IDOK);
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_EQ(TitleFor(book), Title());

    answers.ExpectMessage(L"新建文件将会清除为保存的数据，继续请点击“是”", L"新建", MB_YESNO | MB_ICONINFORMATION, IDYES);
    SendCommand(IDM_FILE_NEW);
    answers.ExpectFileDialog(L"打开文件", book);
    SendCommand(IDM_FILE_OPEN);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"k"}), ColumnTexts(List()));
    EXPECT_EQ(TitleFor(book), Title());
}

// The dialog takes the name, but with ".txl" added it would no longer fit.
TEST_F(SaveCommandTest, ANameThatOverflowsWithItsExtensionIsRefused) {
    StartCorvelle();
    PathString overlong = PathOf(std::string(258 - PathOf("").size(), 'x'));
    ASSERT_EQ(258u, overlong.size());
    ModalAnswers answers;
    answers.ExpectFileDialog(L"另存为...", overlong);
    answers.ExpectMessage(L"文件路径太长，程序无法使用！\n请选择一个路径较短的位置或文件名。", L"错误", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(NewTitle, Title());
    EXPECT_FALSE(FileExists(overlong));
}
