// The vCard commands: importing one file or a whole folder, and the export
// dialog with its choices, its tip and its folder browser.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <filesystem>

#include "resources/resource.h"
#include "store/contact_store.h"
#include "ui/app_state.h"
#include "ui/folder_browser.h"
#include "ui_test_support.h"
#include "vcard/text_encodings.h"
#include "vcard/ui/vcard_dialogs.h"

namespace {

const wchar_t ExportCaption[] = L"输出 vcf 文件";
const wchar_t DirectoryCaption[] = L"选择vcf文件所在目录";
const UINT Warning = MB_OK | MB_ICONWARNING;

std::wstring BookFullText(int notImported) {
    return L"通讯录已满（最多 512 个联系人），有 " + std::to_wstring(notImported) + L" 个联系人未能导入！";
}

std::string Card(const char* nameLine) {
    return std::string("BEGIN:VCARD\r\nVERSION:2.1\r\n") + nameLine + "\r\nEND:VCARD\r\n";
}

// The names of the files in a folder, in name order.
std::vector<std::wstring> FilesIn(const PathString& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }
void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Stands in for the shell's folder browser while the object lives.
class FolderBrowserAnswer {
public:
    // `folder` is picked; an empty one means the user cancels.
    explicit FolderBrowserAnswer(const PathString& folder) {
        ReplaceFolderBrowser([this, folder](HWND, const wchar_t* title, PathString& chosen) {
            titles.push_back(title);
            if (folder.empty()) return false;
            chosen = folder;
            return true;
        });
    }
    ~FolderBrowserAnswer() { ReplaceFolderBrowser(nullptr); }
    std::vector<std::wstring> titles;
};

class VcardExchangeTest : public MainWindowTest {
protected:
    // A new, empty folder in the scratch folder.
    PathString Folder(const std::string& name) {
        PathString path = PathOf(name);
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }
};

std::vector<ContactRecord> ThreePeople() {
    return {Person(Gbk("张"), Gbk("三")), Person(Gbk("李"), Gbk("四")), Person(Gbk("王"), Gbk("五"))};
}

std::vector<ContactRecord> Crowd(int count) {
    std::vector<ContactRecord> people;
    for (int i = 0; i < count; ++i) people.push_back(Person("p" + std::to_string(i)));
    return people;
}

}  // namespace

// ---- Export

TEST_F(VcardExchangeTest, WithATickedContactTheDialogOffersTheTickedOnes) {
    StartWith(ThreePeople());
    SetTicked(List(), 1, true);
    PathString out = Folder("out");
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_EXPORT_TICKED));
        EXPECT_FALSE(IsChecked(dialog, IDC_EXPORT_ALL));
        EXPECT_TRUE(IsEnabled(dialog, IDC_EXPORT_TICKED));
        HWND encodings = GetDlgItem(dialog, IDC_ENCODING_LIST);
        EXPECT_EQ((std::vector<std::wstring>{L"不采用QP编码", L"UTF-8QP编码", L"UnicodeQP编码"}), ComboTexts(encodings));
        EXPECT_EQ(0, ComboSelection(encodings));
        EXPECT_EQ(L"", WindowText(GetDlgItem(dialog, IDC_DIRECTORY_EDIT)));
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, out.c_str());
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"李四.vcf"}), FilesIn(out));
    EXPECT_EQ(3, RowCount(List()));
}

// Contacts that the search hides are exported too.
TEST_F(VcardExchangeTest, ChoosingAllExportsEveryContact) {
    StartWith(ThreePeople());
    SetTicked(List(), 0, true);
    TypeInto(App.quickSearchBox, L"张");
    PathString out = Folder("out");
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        Click(dialog, IDC_EXPORT_ALL);
        EXPECT_TRUE(IsChecked(dialog, IDC_EXPORT_ALL));
        EXPECT_FALSE(IsChecked(dialog, IDC_EXPORT_TICKED));
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, out.c_str());
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"张三.vcf", L"李四.vcf", L"王五.vcf"}), FilesIn(out));
}

TEST_F(VcardExchangeTest, WithNothingTickedOnlyAllCanBeChosen) {
    StartWith(ThreePeople());
    PathString out = Folder("out");
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_EXPORT_TICKED));
        EXPECT_FALSE(IsChecked(dialog, IDC_EXPORT_TICKED));
        EXPECT_TRUE(IsChecked(dialog, IDC_EXPORT_ALL));
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, out.c_str());
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(3u, FilesIn(out).size());
}

TEST_F(VcardExchangeTest, AnEmptyDirectoryExportsNothingAndClosesSilently) {
    StartWith(ThreePeople());
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [](HWND dialog) { PressButton(dialog, IDOK); });
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"default.txl"}), FilesIn(PathOf("")));
}

// The folder is taken as typed: surrounding spaces make another folder.
TEST_F(VcardExchangeTest, EachEncodingWritesTheNameItsWay) {
    StartWith({Person(Gbk("张"), Gbk("三"))});
    const char* nameLines[] = {
        "N:\xD5\xC5;\xC8\xFD\r\n",
        "N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=A0;=E4=B8=89\r\n",
        "N;ENCODING=QUOTED-PRINTABLE:=FF=D5=FF=C5;=FF=C8=FF=FD\r\n",
    };
    for (int encoding = 0; encoding < 3; ++encoding) {
        SCOPED_TRACE(encoding);
        PathString out = Folder("out" + std::to_string(encoding));
        ModalAnswers answers;
        answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
            ComboBox_SetCurSel(GetDlgItem(dialog, IDC_ENCODING_LIST), encoding);
            SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, out.c_str());
            PressButton(dialog, IDOK);
        });
        SendCommand(IDM_EXPORT_VCF);
        EXPECT_TRUE(answers.AllAnswered());
        std::string card = ReadFileBytes(out + L"\\张三.vcf");
        EXPECT_EQ(0u, card.find(std::string("BEGIN:VCARD\r\nVERSION:2.1\r\n") + nameLines[encoding])) << card;
        // The export for phones leaves empty properties out.
        EXPECT_EQ(encoding != Utf8Qp, card.find("TEL;CELL:\r\n") != std::string::npos);
        EXPECT_EQ("END:VCARD", card.substr(card.size() - 9));
    }
}

TEST_F(VcardExchangeTest, FilesThatCannotBeWrittenAreCounted) {
    StartWith(ThreePeople());
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, PathOf("missing").c_str());
        PressButton(dialog, IDOK);
    });
    answers.ExpectMessage(L"有 3 个联系人没有输出成功！\n请检查输出目录是否存在、能否写入，以及路径是否太长。", L"错误",
                          Warning, IDOK);
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_FALSE(FileExists(PathOf("missing")));
}

TEST_F(VcardExchangeTest, TheTipExplainsTheEncodingsAndCancelWritesNothing) {
    StartWith(ThreePeople());
    PathString out = Folder("out");
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, out.c_str());
        SendMessageW(dialog, WM_COMMAND, IDC_TIP_BUTTON, 0);  // returns once the tip is answered
        PressButton(dialog, IDCANCEL);
    });
    answers.ExpectMessage(L"关于QP编码，请参考“QUOTED-PRINTABLE”编码规范\n编码的选择与使用目的有关，对于Nokia手机推荐使用 "
                          L"UTF-8编码，对于电脑来说推荐不编码",
                          L"Tip", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(FilesIn(out).empty());
}

TEST_F(VcardExchangeTest, TheBrowseButtonPutsThePickedFolderInTheBox) {
    StartWith(ThreePeople());
    PathString out = Folder("picked");
    ChosenDirectory.clear();
    FolderBrowserAnswer browser(out);
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        PressButton(dialog, IDC_EXPORT_BROWSE);
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"选择路径"}), browser.titles);
    EXPECT_EQ(out, ChosenDirectory);
    EXPECT_EQ(3u, FilesIn(out).size());
}

TEST_F(VcardExchangeTest, CancellingTheBrowserKeepsWhatWasTyped) {
    StartWith(ThreePeople());
    PathString out = Folder("typed");
    ChosenDirectory = L"C:\\earlier";
    FolderBrowserAnswer browser(L"");
    ModalAnswers answers;
    answers.ExpectDialog(ExportCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, out.c_str());
        PressButton(dialog, IDC_EXPORT_BROWSE);
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_EXPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1u, browser.titles.size());
    EXPECT_EQ(L"C:\\earlier", ChosenDirectory);
    EXPECT_EQ(3u, FilesIn(out).size());
}

// ---- Import of one file

TEST_F(VcardExchangeTest, ImportingAFileAddsItsNamedCardsAsRows) {
    StartWith({Person("old")});
    WriteFileBytes(PathOf("cards.vcf"), Card("N:\xD5\xC5;\xC8\xFD") + Card("X-QQ:1") + Card("N:Li;Si"));
    ModalAnswers answers;
    answers.ExpectFileDialog(L"导入vcf", PathOf("cards.vcf"));
    SendCommand(IDM_IMPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"old", L"张三", L"LiSi"}), ColumnTexts(List()));
    EXPECT_EQ(PathOf("default.txl"), App.document.currentPath);
}

// The cards' categories make groups: the group filter offers them at
// once and stays on the group it was showing, from a file or a folder.
TEST_F(VcardExchangeTest, NewGroupsJoinTheGroupFilterWhichKeepsItsChoice) {
    StartWith({Contact("old", 2), Contact("other", 0)});
    ChooseInCombo(App.groupFilter, 3);  // 朋友
    ASSERT_EQ((std::vector<std::wstring>{L"old"}), ColumnTexts(List()));
    WriteFileBytes(PathOf("cards.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Li;Si\r\nCATEGORIES:Choir\r\nEND:VCARD\r\n"
                                        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Wu;Di\r\nCATEGORIES:\xE6\x9C\x8B\xE5\x8F\x8B\r\n"
                                        "END:VCARD\r\n");  // 朋友
    ModalAnswers answers;
    answers.ExpectFileDialog(L"导入vcf", PathOf("cards.vcf"));
    SendCommand(IDM_IMPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(L"Choir", ComboTexts(App.groupFilter).back());
    EXPECT_EQ(3, ComboSelection(App.groupFilter));
    EXPECT_EQ((std::vector<std::wstring>{L"old", L"WuDi"}), ColumnTexts(List()));

    PathString cards = Folder("cards");
    WriteFileBytes(cards + L"\\a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ma;Li\r\nCATEGORIES:Band\r\nEND:VCARD\r\n");
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, cards.c_str());
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有分组 -", L"默认分组", L"家人", L"朋友", L"同事", L"同学", L"Choir", L"Band"}),
              ComboTexts(App.groupFilter));
    EXPECT_EQ(3, ComboSelection(App.groupFilter));
    ChooseInCombo(App.groupFilter, 7);
    EXPECT_EQ((std::vector<std::wstring>{L"MaLi"}), ColumnTexts(List()));
}

TEST_F(VcardExchangeTest, CancellingTheFileChooserImportsNothing) {
    StartWith({Person("old")});
    ModalAnswers answers;
    answers.ExpectFileDialogCancelled(L"导入vcf");
    SendCommand(IDM_IMPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RowCount(List()));
}

TEST_F(VcardExchangeTest, AFileBeyondTheBooksCapacitySaysHowManyWereLeftOut) {
    StartWith(Crowd(TestBookCapacity - 2));
    App.document.contacts.capacity = TestBookCapacity;
    std::string cards;
    for (int i = 0; i < 5; ++i) cards += Card(("N:new;" + std::to_string(i)).c_str());
    WriteFileBytes(PathOf("five.vcf"), cards);
    ModalAnswers answers;
    answers.ExpectFileDialog(L"导入vcf", PathOf("five.vcf"));
    answers.ExpectMessage(BookFullText(3), L"注意", Warning, IDOK);
    SendCommand(IDM_IMPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TestBookCapacity, RowCount(List()));
    EXPECT_EQ(L"new1", CellText(List(), TestBookCapacity - 1, 0));
}

// ---- Import of a folder

TEST_F(VcardExchangeTest, ATrimmedFolderPathImportsEachVcfFileInIt) {
    StartWith({});
    PathString cards = Folder("cards");
    WriteFileBytes(cards + L"\\a.vcf", Card("N:a;1") + Card("N:a;2"));
    WriteFileBytes(cards + L"\\b.VCF", Card("N:b;1"));
    WriteFileBytes(cards + L"\\c.txt", Card("N:c;1"));
    ModalAnswers answers;
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        EXPECT_EQ(L"", WindowText(GetDlgItem(dialog, IDC_DIRECTORY_EDIT)));
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, (L"  " + cards + L"  ").c_str());
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(cards, ChosenDirectory);
    EXPECT_EQ((std::vector<std::wstring>{L"a1", L"a2", L"b1"}), ColumnTexts(List()));
}

TEST_F(VcardExchangeTest, AnEmptyFolderPathKeepsTheDirectoryDialogOpen) {
    StartWith({});
    PathString cards = Folder("cards");
    WriteFileBytes(cards + L"\\a.vcf", Card("N:a;1"));
    ModalAnswers answers;
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, L"   ");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        // Still open: the path typed now is the one imported.
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, cards.c_str());
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"a1"}), ColumnTexts(List()));
}

TEST_F(VcardExchangeTest, CancellingTheDirectoryDialogImportsNothingAndLeavesTheList) {
    StartWith({Person("old")});
    PathString cards = Folder("cards");
    WriteFileBytes(cards + L"\\a.vcf", Card("N:a;1"));
    AppendRecord(App.document.contacts, Person("unlisted"));
    ModalAnswers answers;
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, cards.c_str());
        PressButton(dialog, IDCANCEL);
    });
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(2, RecordCount(App.document.contacts));
    EXPECT_EQ((std::vector<std::wstring>{L"old"}), ColumnTexts(List()));
}

TEST_F(VcardExchangeTest, TheDirectoryDialogsBrowseButtonFillsItsBox) {
    StartWith({});
    PathString cards = Folder("cards");
    WriteFileBytes(cards + L"\\a.vcf", Card("N:a;1"));
    FolderBrowserAnswer browser(cards);
    ModalAnswers answers;
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        PressButton(dialog, IDC_DIRECTORY_BROWSE);
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"选择路径"}), browser.titles);
    EXPECT_EQ((std::vector<std::wstring>{L"a1"}), ColumnTexts(List()));
}

TEST_F(VcardExchangeTest, AFolderBeyondTheBooksCapacitySaysHowManyWereLeftOut) {
    StartWith(Crowd(TestBookCapacity - 1));
    App.document.contacts.capacity = TestBookCapacity;
    PathString cards = Folder("cards");
    WriteFileBytes(cards + L"\\a.vcf", Card("N:a;1") + Card("N:a;2"));
    WriteFileBytes(cards + L"\\b.vcf", Card("N:b;1"));
    ModalAnswers answers;
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, cards.c_str());
        PressButton(dialog, IDOK);
    });
    answers.ExpectMessage(BookFullText(2), L"注意", Warning, IDOK);
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TestBookCapacity, RowCount(List()));
}

// The shell's own folder browser opens with the title and can be cancelled.
TEST_F(VcardExchangeTest, TheSystemFolderBrowserCanBeCancelled) {
    StartWith({});
    ModalAnswers answers;
    bool titleShown = false;
    HWND directoryDialog = nullptr;
    answers.ExpectDialog(DirectoryCaption, [&](HWND dialog) {
        directoryDialog = dialog;
        PressButton(dialog, IDC_DIRECTORY_BROWSE);
    });
    answers.ExpectDialog(L"", [&](HWND browser) {
        titleShown = FindWindowExW(browser, nullptr, L"Static", L"选择路径") != nullptr;
        PressButton(browser, IDCANCEL);
        EXPECT_EQ(L"", WindowText(GetDlgItem(directoryDialog, IDC_DIRECTORY_EDIT)));
        PressButton(directoryDialog, IDCANCEL);
    });
    SendCommand(IDM_IMPORT_VCF_DIRECTORY);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(titleShown);
}
