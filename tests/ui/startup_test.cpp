// Start-up, the window and its controls, sizing, and the exit sequence.
#include <windows.h>
#include <windowsx.h>

#include "app/main_window.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

const std::wstring NewTitle = std::wstring(ProgramTitle) + L" - 新文件";
const wchar_t ExitQuestion[] = L"在退出之前是否保存？";
const UINT ExitButtons = MB_YESNOCANCEL | MB_ICONQUESTION;

using StartupTest = MainWindowTest;
using ExitTest = MainWindowTest;
using WindowLayoutTest = MainWindowTest;

}  // namespace

TEST_F(StartupTest, WithoutFilesANewBookOpensUnderTheDefaultColumns) {
    ModalAnswers answers;  // nothing may be shown
    StartCorvelle();
    EXPECT_EQ(NewTitle, Title());
    EXPECT_TRUE(App.document.currentPath.empty());
    EXPECT_EQ(0, RowCount(List()));
    EXPECT_EQ((std::vector<std::wstring>{L"姓名", L"性别", L"昵称", L"手机号", L"家庭电话", L"公司电话"}),
              ColumnHeaders(List()));
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有类别 -", L"姓名", L"性别", L"昵称", L"手机号", L"家庭电话", L"公司电话"}),
              ComboTexts(App.fieldFilter));
    EXPECT_EQ(0, ComboSelection(App.fieldFilter));
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有分组 -", L"默认分组", L"家人", L"朋友", L"同事", L"同学"}),
              ComboTexts(App.groupFilter));
    EXPECT_EQ(0, ComboSelection(App.groupFilter));
    EXPECT_FALSE(FileExists(PathOf("default.txl")));  // nothing is written at start
}

TEST_F(StartupTest, TheWindowIsCentredAsIfItWere600By400) {
    StartCorvelle();
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 600) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 400) / 2, rect.top);
    EXPECT_EQ(608, rect.right - rect.left);
    EXPECT_EQ(434, rect.bottom - rect.top);
    EXPECT_TRUE(IsWindowVisible(window));
    wchar_t className[16];
    GetClassNameW(window, className, 16);
    EXPECT_STREQ(L"card", className);
    EXPECT_EQ(4, GetMenuItemCount(GetMenu(window)));
}

TEST_F(StartupTest, TheSevenControlsHaveTheirIdsStylesAndTheUiFont) {
    StartCorvelle();
    struct Expected {
        int id;
        const wchar_t* className;
        DWORD style;
        const wchar_t* text;
    } controls[] = {
        // The edit box and the combo boxes draw WS_BORDER themselves and drop it from their style.
        {IDC_QUICK_SEARCH, L"Edit", WS_CHILD | WS_VISIBLE, L""},
        {IDC_FIELD_FILTER, L"ComboBox", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, nullptr},
        {IDC_GROUP_FILTER, L"ComboBox", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, nullptr},
        {IDC_ADD_BUTTON, L"Button", WS_CHILD | WS_VISIBLE | WS_BORDER | BS_OWNERDRAW, L"添加"},
        {IDC_EDIT_BUTTON, L"Button", WS_CHILD | WS_VISIBLE | WS_BORDER | BS_OWNERDRAW, L"编辑"},
        {IDC_DELETE_BUTTON, L"Button", WS_CHILD | WS_VISIBLE | WS_BORDER | BS_OWNERDRAW, L"删除"},
    };
    for (const Expected& expected : controls) {
        HWND control = GetDlgItem(window, expected.id);
        ASSERT_NE(nullptr, control) << expected.id;
        wchar_t className[32];
        GetClassNameW(control, className, 32);
        EXPECT_EQ(0, lstrcmpiW(expected.className, className)) << expected.id;
        EXPECT_EQ(expected.style, GetWindowLongW(control, GWL_STYLE) & expected.style) << expected.id;
        if (expected.text) {
            EXPECT_EQ(expected.text, WindowText(control)) << expected.id;
        }
        EXPECT_EQ(App.uiFont, GetWindowFont(control)) << expected.id;
    }
    EXPECT_EQ(0, GetWindowLongW(App.quickSearchBox, GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_EQ(0, GetWindowLongW(App.fieldFilter, GWL_STYLE) & (CBS_SORT | WS_VSCROLL));

    EXPECT_EQ((std::vector<int>{103, 1, 120, 20}), ChildBounds(App.quickSearchBox));
    EXPECT_EQ((std::vector<int>{231, 1, 70, 20}), ChildBounds(App.addButton));
    EXPECT_EQ((std::vector<int>{305, 1, 70, 20}), ChildBounds(App.editButton));
    EXPECT_EQ((std::vector<int>{379, 1, 70, 20}), ChildBounds(App.deleteButton));
    EXPECT_EQ(1, ChildRect(App.fieldFilter).left);
    EXPECT_EQ(480, ChildRect(App.groupFilter).left);

    LOGFONTW font = {};
    GetObjectW(App.uiFont, sizeof font, &font);
    EXPECT_STREQ(L"宋体", font.lfFaceName);
    EXPECT_EQ(12, font.lfHeight);
    EXPECT_EQ(GB2312_CHARSET, font.lfCharSet);
    EXPECT_EQ(FW_NORMAL, font.lfWeight);

    HWND list = GetDlgItem(window, IDC_CONTACT_LIST);
    EXPECT_EQ(List(), list);
    DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER;
    EXPECT_EQ(listStyle, GetWindowLongW(list, GWL_STYLE) & listStyle);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              ListView_GetExtendedListViewStyle(list));
    HIMAGELIST states = ListView_GetImageList(list, LVSIL_STATE);
    EXPECT_EQ(App.stateImages, states);
    EXPECT_EQ(2, ImageList_GetImageCount(states));
    int width = 0, height = 0;
    ImageList_GetIconSize(states, &width, &height);
    EXPECT_EQ(16, width);
    EXPECT_EQ(16, height);
}

TEST_F(StartupTest, TheDefaultBookOpensAndNamesTheTitle) {
    WriteBook("default.txl", BookWith({Person(Gbk("张"), Gbk("三")), Person("Li", "Si")}));
    StartCorvelle();
    EXPECT_EQ(ProgramTitle + std::wstring(L" - \"") + PathOf("default.txl") + L"\"", Title());
    EXPECT_EQ(PathOf("default.txl"), App.document.currentPath);
    EXPECT_EQ((std::vector<std::wstring>{L"张三", L"LiSi"}), ColumnTexts(List()));
    EXPECT_EQ(6u, ComboTexts(App.groupFilter).size());
}

TEST_F(StartupTest, TheSettingsNameTheDefaultBookAndTheColumns) {
    DisplaySettings settings = DefaultSettings();
    CopyToField(settings.DefaultFileName, DefaultFileNameWidth, "book.txl");
    for (int32_t& flag : settings.ColumnFlags) flag = 0;
    settings.ColumnFlags[EmailColumn] = 1;
    settings.ColumnFlags[GenderColumn] = 2;  // anything but 1 hides a column
    ASSERT_EQ(1, SaveSettings(settings, PathOf("txl.dat")));
    WriteBook("default.txl", BookWith({Person("default")}));
    WriteBook("book.txl", BookWith({Person("book")}));
    StartCorvelle();
    EXPECT_EQ((std::vector<std::wstring>{L"book"}), ColumnTexts(List()));
    EXPECT_EQ((std::vector<std::wstring>{L"姓名", L"邮箱"}), ColumnHeaders(List()));
    EXPECT_EQ(80, ColumnWidth(List(), 0));
    EXPECT_EQ(150, ColumnWidth(List(), 1));
}

// A missing default book is no fault, but one the reader refuses is named
// with its reason, as Open names it, and left for the user to deal with.
TEST_F(StartupTest, ARefusedDefaultBookIsNamedAndLeftAlone) {
    const std::string damaged = "not a book at all";
    WriteFileBytes(PathOf("default.txl"), damaged);
    ModalAnswers answers;
    answers.ExpectMessage(L"文件路径：" + PathOf("default.txl") + L"\n\n文件不是正确的格式，程序终止读取。(2)\n读取失败。", L"错误",
                          MB_OK | MB_ICONWARNING, IDOK);
    StartCorvelle();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(IsWindowVisible(window));  // the reason comes once the window is up
    EXPECT_EQ(NewTitle, Title());
    EXPECT_EQ(5, GroupCount(App.document.groups));
    EXPECT_EQ(0, RecordCount(App.document.contacts));
    EXPECT_EQ(damaged, ReadFileBytes(PathOf("default.txl")));
}

TEST_F(StartupTest, ATruncatedDefaultBookIsNamedToo) {
    Document book = BookWith({Person("a"), Person("b")});
    std::string bytes = EncodeAddressBook(book.groups, book.contacts);
    WriteFileBytes(PathOf("default.txl"), bytes.substr(0, bytes.size() - 100));
    ModalAnswers answers;
    answers.ExpectMessage(L"文件路径：" + PathOf("default.txl") + L"\n\n文件可能已经损坏！(5)\n文件数据与文件头不一致，文件不完整。",
                          L"错误", MB_OK | MB_ICONWARNING, IDOK);
    StartCorvelle();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(NewTitle, Title());
    EXPECT_EQ(0, RowCount(List()));
}

TEST_F(ExitTest, CancelKeepsTheWindowAndWritesNothing) {
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectMessage(ExitQuestion, L"退出", ExitButtons, IDCANCEL);
    EXPECT_FALSE(CloseCorvelle());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(FileExists(PathOf("txl.dat")));
    EXPECT_FALSE(FileExists(PathOf("temp.txl")));
}

TEST_F(ExitTest, NoWritesTheSettingsButNoBookAndQuits) {
    WriteBook("default.txl", BookWith({Person("a")}));
    std::string before = ReadFileBytes(PathOf("default.txl"));
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectMessage(ExitQuestion, L"退出", ExitButtons, IDNO);
    EXPECT_TRUE(CloseCorvelle());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(364u, ReadFileBytes(PathOf("txl.dat")).size());
    EXPECT_EQ(before, ReadFileBytes(PathOf("default.txl")));
    EXPECT_FALSE(FileExists(PathOf("temp.txl")));
}

// A book saved at exit never replaces one saved at an earlier exit, and
// the user is told where it went.
TEST_F(ExitTest, YesSavesANewBookAsTempTxlThenAsTemp2Txl) {
    const char* names[] = {"temp.txl", "temp(2).txl"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        StartCorvelle();
        AppendRecord(App.document.contacts, Person(name == names[0] ? "first" : "second"));
        ModalAnswers answers;
        answers.ExpectMessage(ExitQuestion, L"退出", ExitButtons, IDYES);
        answers.ExpectMessage(L"通讯录已保存到：\n" + PathOf(name) + L"\n可以用“文件”菜单的“打开...”再打开它。", L"保存",
                              MB_OK | MB_ICONINFORMATION, IDOK);
        EXPECT_TRUE(CloseCorvelle());
        EXPECT_TRUE(answers.AllAnswered());
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(EncodeAddressBook(App.document.groups, App.document.contacts), ReadFileBytes(PathOf(name)));
        EXPECT_TRUE(FileExists(PathOf("txl.dat")));
    }
    Document first;
    ASSERT_EQ(LoadOk, ReadAddressBook(PathOf("temp.txl"), first.groups, first.contacts));
    EXPECT_EQ("first", FieldValue(*RecordAt(first.contacts, 0), Surname));
}

TEST_F(ExitTest, YesSavesAnOpenBookToItsOwnFile) {
    WriteBook("default.txl", BookWith({Person("a")}));
    StartCorvelle();
    AppendRecord(App.document.contacts, Person("b"));
    ModalAnswers answers;
    answers.ExpectMessage(ExitQuestion, L"退出", ExitButtons, IDYES);
    EXPECT_TRUE(CloseCorvelle());
    Document saved;
    ASSERT_EQ(LoadOk, ReadAddressBook(PathOf("default.txl"), saved.groups, saved.contacts));
    EXPECT_EQ(2, RecordCount(saved.contacts));
    EXPECT_FALSE(FileExists(PathOf("temp.txl")));
}

// A book that cannot be written is not lost: the window stays open.
TEST_F(ExitTest, ABookThatCannotBeSavedKeepsTheWindowOpen) {
    StartCorvelle();
    PathString unwritable = PathOf("missing") + L"\\book.txl";
    App.document.currentPath = unwritable;
    ModalAnswers answers;
    answers.ExpectMessage(ExitQuestion, L"退出", ExitButtons, IDYES);
    answers.ExpectMessage(L"文件路径：" + unwritable + L"\n\n文件没有保存成功！请检查磁盘空间和写入权限。\n原来的文件没有被改动。", L"保存",
                          MB_OK | MB_ICONWARNING, IDOK);
    EXPECT_FALSE(CloseCorvelle());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(unwritable, App.document.currentPath);
    EXPECT_FALSE(FileExists(PathOf("txl.dat")));
}

TEST_F(ExitTest, TheExitCommandAsksTheSameQuestion) {
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectMessage(ExitQuestion, L"退出", ExitButtons, IDCANCEL);
    SendCommand(IDM_FILE_EXIT);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowLayoutTest, DraggingBelowTheMinimumStopsAt600By400) {
    StartCorvelle();
    auto sizing = [this](WPARAM edge, RECT rect) {
        SendMessageW(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&rect));
        return std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom};
    };
    // The left edges keep the right edge fixed; every other edge the left.
    EXPECT_EQ((std::vector<LONG>{-400, 0, 200, 400}), sizing(WMSZ_LEFT, {100, 0, 200, 400}));
    EXPECT_EQ((std::vector<LONG>{-400, 0, 200, 400}), sizing(WMSZ_TOPLEFT, {100, 0, 200, 400}));
    EXPECT_EQ((std::vector<LONG>{-400, 0, 200, 400}), sizing(WMSZ_BOTTOMLEFT, {100, 0, 200, 400}));
    EXPECT_EQ((std::vector<LONG>{100, 0, 700, 400}), sizing(WMSZ_RIGHT, {100, 0, 200, 400}));
    EXPECT_EQ((std::vector<LONG>{100, 0, 700, 400}), sizing(WMSZ_BOTTOM, {100, 0, 200, 400}));
    // The height always ends at top + 400, whichever edge moves.
    EXPECT_EQ((std::vector<LONG>{0, 50, 700, 450}), sizing(WMSZ_TOP, {0, 50, 700, 300}));
    EXPECT_EQ((std::vector<LONG>{0, 50, 700, 450}), sizing(WMSZ_BOTTOM, {0, 50, 700, 100}));
    // Larger sizes are left alone.
    EXPECT_EQ((std::vector<LONG>{0, 0, 800, 600}), sizing(WMSZ_BOTTOMRIGHT, {0, 0, 800, 600}));
}

TEST_F(WindowLayoutTest, ResizingMovesOnlyTheList) {
    StartCorvelle();
    std::vector<int> search = ChildBounds(App.quickSearchBox);
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ((std::vector<int>{0, 22, static_cast<int>(client.right) - 2, static_cast<int>(client.bottom) - 22}),
              ChildBounds(List()));
    EXPECT_EQ(search, ChildBounds(App.quickSearchBox));
    EXPECT_EQ((std::vector<int>{231, 1, 70, 20}), ChildBounds(App.addButton));
}

// The header neither sizes columns nor presses them.
TEST_F(WindowLayoutTest, TheHeaderIgnoresTheMouse) {
    StartCorvelle();
    HWND header = ListView_GetHeader(List());
    RECT name;
    Header_GetItemRect(header, 0, &name);
    LPARAM divider = MAKELPARAM(name.right - 1, (name.top + name.bottom) / 2);
    EXPECT_EQ(0, SendMessageW(header, WM_SETCURSOR, reinterpret_cast<WPARAM>(header), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, divider);
    EXPECT_NE(header, GetCapture());
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(name.right + 60, 5));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(name.right + 60, 5));
    SendMessageW(header, WM_LBUTTONDBLCLK, MK_LBUTTON, divider);
    PumpMessages();
    EXPECT_EQ(80, ColumnWidth(List(), 0));
    EXPECT_EQ(40, ColumnWidth(List(), 1));
}
