// The CSV commands: import with the column mapping dialog, export with its
// question, and every message they show.
#include <windows.h>
#include <windowsx.h>

#include "csv/csv_format.h"
#include "resources/resource.h"
#include "store/contact_store.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

const wchar_t MappingCaption[] = L"CSV对号入座";
const wchar_t ImportTitle[] = L"导入CSV文件";
const wchar_t ExportTitle[] = L"生成CSV文件";
const wchar_t ExportQuestion[] = L"请选择输出的项目：\n点击“是”输出所有项，“否”输出选中项";
const wchar_t ExportSucceeded[] = L"生成CSV文件成功！";
const UINT Warning = MB_OK | MB_ICONWARNING;
const UINT Information = MB_OK | MB_ICONINFORMATION;

std::wstring Prompt(const std::wstring& title) { return L"请选择一项与文件中的 " + title + L" 表头对应"; }

std::string FieldOf(int index, ContactField field) {
    return FieldValue(*RecordAt(App.document.contacts, index), field);
}

std::string HeaderLine() {
    std::string line;
    for (const std::string& title : CsvFieldTitles()) line += (line.empty() ? "" : ",") + title;
    return line + "\r\n";
}

// Lines of a file, split at CR LF.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

class CsvExchangeTest : public MainWindowTest {
protected:
    // Imports a file of these bytes; the expectations for what it asks are
    // set up beforehand.
    void Import(ModalAnswers& answers, const std::string& bytes) {
        WriteFileBytes(PathOf("in.csv"), bytes);
        answers.ExpectFileDialog(ImportTitle, PathOf("in.csv"));
    }
};

}  // namespace

// ---- Import and the mapping dialog

TEST_F(CsvExchangeTest, EachUnknownTitleIsAskedAboutUntilTheRestIsIgnored) {
    StartWith({});
    ModalAnswers answers;
    Import(answers, "Name,\xD0\xD5,Phone,Mobile,Nick\r\n"
                    "San,\xD5\xC5,010,138,nick\r\n");
    answers.ExpectDialog(MappingCaption, [](HWND dialog) {
        EXPECT_EQ(Prompt(L"Name"), WindowText(GetDlgItem(dialog, IDC_MAPPING_PROMPT)));
        HWND fields = GetDlgItem(dialog, IDC_MAPPING_FIELD_LIST);
        std::vector<std::wstring> titles = ComboTexts(fields);
        ASSERT_EQ(28u, titles.size());
        EXPECT_EQ(L"姓", titles[0]);
        EXPECT_EQ(L"住宅：国家", titles[10]);
        EXPECT_EQ(L"职务", titles[26]);
        EXPECT_EQ(L"其他信息", titles[27]);
        EXPECT_EQ(0, ComboSelection(fields));
        ComboBox_SetCurSel(fields, GivenName);
        PressButton(dialog, IDOK);  // "确定"
    });
    answers.ExpectDialog(MappingCaption, [](HWND dialog) {
        EXPECT_EQ(Prompt(L"Phone"), WindowText(GetDlgItem(dialog, IDC_MAPPING_PROMPT)));
        EXPECT_EQ(0, ComboSelection(GetDlgItem(dialog, IDC_MAPPING_FIELD_LIST)));
        ComboBox_SetCurSel(GetDlgItem(dialog, IDC_MAPPING_FIELD_LIST), 27);
        PressButton(dialog, IDOK);  // "其他信息": an item labelled "Phone"
    });
    answers.ExpectDialog(MappingCaption, [](HWND dialog) {
        EXPECT_EQ(Prompt(L"Mobile"), WindowText(GetDlgItem(dialog, IDC_MAPPING_PROMPT)));
        PressButton(dialog, IDC_IGNORE_REMAINING);  // "忽略该项及之后": Nick is not asked about
    });
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"张San"}), ColumnTexts(List()));
    const ContactDetails& details = DetailsOf(App.document.contacts, RecordAt(App.document.contacts, 0));
    ASSERT_EQ(1u, details.items.size());
    EXPECT_EQ("Phone", details.items[0].label);
    EXPECT_EQ("010", details.items[0].parts[0]);
    EXPECT_EQ("", FieldOf(0, HomePhone));
    EXPECT_EQ("", FieldOf(0, Mobile));
    EXPECT_EQ("", FieldOf(0, Nickname));
}

// Enter maps to the field the list shows ("姓" at first); Escape ignores.
TEST_F(CsvExchangeTest, EnterAndEscapeAnswerTheMappingDialog) {
    StartWith({});
    ModalAnswers answers;
    Import(answers, "A,B\r\nx,y\r\n");
    auto pressKey = [](UINT key) {
        return [key](HWND) {
            PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
            PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        };
    };
    answers.ExpectDialog(MappingCaption, pressKey(VK_RETURN));
    answers.ExpectDialog(MappingCaption, pressKey(VK_ESCAPE));
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    ASSERT_EQ(1, RecordCount(App.document.contacts));
    EXPECT_EQ("x", FieldOf(0, Surname));
    EXPECT_EQ("", FieldOf(0, GivenName));
}

TEST_F(CsvExchangeTest, TheTipExplainsTheBirthdayColumnAndTheDialogStays) {
    StartWith({});
    ModalAnswers answers;
    Import(answers, "\xD0\xD5,Birthday\r\n\xD5\xC5,19850307\r\n");
    answers.ExpectDialog(MappingCaption, [](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDC_TIP_BUTTON, 0);  // returns once the tip is answered
        ComboBox_SetCurSel(GetDlgItem(dialog, IDC_MAPPING_FIELD_LIST), BirthYear);
        PressButton(dialog, IDOK);
    });
    answers.ExpectMessage(L"如果表头是生日并且是年月日在一起，请对应到 出生年 项，系统将会自动识别日期。", L"Tip",
                          Information, IDOK);
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    ASSERT_EQ(1, RecordCount(App.document.contacts));
    // Written as the editor writes a date, without leading zeros.
    EXPECT_EQ("1985", FieldOf(0, BirthYear));
    EXPECT_EQ("3", FieldOf(0, BirthMonth));
    EXPECT_EQ("7", FieldOf(0, BirthDay));
}

// The columns are rebuilt, which puts the field filter back on all fields.
TEST_F(CsvExchangeTest, AFileWithKnownTitlesImportsWithoutAQuestion) {
    StartWith({Person("old")});
    ChooseInCombo(App.fieldFilter, 1);
    ModalAnswers answers;
    Import(answers, HeaderLine() + "\xD5\xC5,\xC8\xFD,\xC5\xAE\r\n,nobody\r\n");
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    // A line with only a given name is named by it.
    EXPECT_EQ((std::vector<std::wstring>{L"old", L"张三", L"nobody"}), ColumnTexts(List()));
    EXPECT_EQ(1, RecordAt(App.document.contacts, 1)->Gender);
    EXPECT_EQ(0, ComboSelection(App.fieldFilter));
}

TEST_F(CsvExchangeTest, AnEmptyFileCannotBeRead) {
    StartWith({Person("old")});
    ModalAnswers answers;
    Import(answers, "");
    answers.ExpectMessage(L"无法读取csv文件！", L"CSV", Warning, IDOK);
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RowCount(List()));
}

TEST_F(CsvExchangeTest, AnImportBeyondTheBooksCapacitySaysHowManyLinesWereLeftOut) {
    std::vector<ContactRecord> crowd;
    for (int i = 0; i < TestBookCapacity - 2; ++i) crowd.push_back(Person("p" + std::to_string(i)));
    StartWith(crowd);
    App.document.contacts.capacity = TestBookCapacity;
    ModalAnswers answers;
    Import(answers, "\xD0\xD5\r\na\r\nb\r\nc\r\nd\r\ne\r\n");
    answers.ExpectMessage(L"通讯录已满（最多 512 个联系人），文件中有 3 行未能导入！", L"CSV", Warning, IDOK);
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TestBookCapacity, RowCount(List()));
    EXPECT_EQ(L"b", CellText(List(), TestBookCapacity - 1, 0));
}

// ---- Export and its question

TEST_F(CsvExchangeTest, YesExportsEveryContactUnderTheHeader) {
    StartWith({Person(Gbk("张"), Gbk("三")), Person("b")});
    SetTicked(List(), 1, true);
    TypeInto(App.quickSearchBox, L"b");
    ModalAnswers answers;
    answers.ExpectFileDialog(ExportTitle, PathOf("out"));
    answers.ExpectMessage(ExportQuestion, L"生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION, IDYES);
    answers.ExpectMessage(ExportSucceeded, L"CSV", Information, IDOK);
    SendCommand(IDM_EXPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    std::vector<std::string> lines = LinesOf(ReadFileBytes(PathOf("out.csv")));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(HeaderLine(), lines[0] + "\r\n");
    EXPECT_EQ("\xD5\xC5,\xC8\xFD,\xC4\xD0" + std::string(24, ','), lines[1]);
    EXPECT_EQ(0u, lines[2].find("b,,"));
}

TEST_F(CsvExchangeTest, NoExportsOnlyTheTickedContacts) {
    StartWith({Person("a"), Person("b"), Person("c")});
    SetTicked(List(), 0, true);
    SetTicked(List(), 2, true);
    ModalAnswers answers;
    answers.ExpectFileDialog(ExportTitle, PathOf("ticked.csv"));
    answers.ExpectMessage(ExportQuestion, L"生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION, IDNO);
    answers.ExpectMessage(ExportSucceeded, L"CSV", Information, IDOK);
    SendCommand(IDM_EXPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    std::vector<std::string> lines = LinesOf(ReadFileBytes(PathOf("ticked.csv")));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ('a', lines[1][0]);
    EXPECT_EQ('c', lines[2][0]);
}

TEST_F(CsvExchangeTest, CancelAtTheQuestionWritesNoFile) {
    StartWith({Person("a")});
    ModalAnswers answers;
    answers.ExpectFileDialog(ExportTitle, PathOf("none.csv"));
    answers.ExpectMessage(ExportQuestion, L"生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION, IDCANCEL);
    SendCommand(IDM_EXPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_FALSE(FileExists(PathOf("none.csv")));
}

TEST_F(CsvExchangeTest, CancellingTheFileChooserAsksNothingMore) {
    StartWith({Person("a")});
    ModalAnswers answers;
    answers.ExpectFileDialogCancelled(ExportTitle);
    SendCommand(IDM_EXPORT_CSV);
    answers.ExpectFileDialogCancelled(ImportTitle);
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RowCount(List()));
}

// A file another program holds open cannot be replaced: the export says
// so, and the file keeps what it had.
TEST_F(CsvExchangeTest, AFileThatCannotBeReplacedIsReportedAsAFailure) {
    StartWith({Person("a")});
    WriteFileBytes(PathOf("held.csv"), "kept");
    HANDLE held = CreateFileW(PathOf("held.csv").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ModalAnswers answers;
    answers.ExpectFileDialog(ExportTitle, PathOf("held.csv"));
    answers.ExpectSystemMessage(IDYES);  // replace it
    answers.ExpectMessage(ExportQuestion, L"生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION, IDYES);
    answers.ExpectMessage(L"无效的文件名！\n生成CSV文件失败！", L"CSV", Warning, IDOK);
    SendCommand(IDM_EXPORT_CSV);
    CloseHandle(held);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ("kept", ReadFileBytes(PathOf("held.csv")));
}

// The save dialog's second file type writes UTF-8 with a byte-order mark,
// four-byte characters whole.
TEST_F(CsvExchangeTest, TheUtf8FileTypeWritesEveryCharacterWhole) {
    StartWith({Person(Gbk("刘"), Gbk("䶮")), Person(Gbk("𬎆"))});
    ModalAnswers answers;
    answers.ExpectFileDialogOfType(ExportTitle, 1, L"CSV UTF-8 (*.csv)", PathOf("utf8"));
    answers.ExpectMessage(ExportQuestion, L"生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION, IDYES);
    answers.ExpectMessage(ExportSucceeded, L"CSV", Information, IDOK);
    SendCommand(IDM_EXPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    std::vector<std::string> lines = LinesOf(ReadFileBytes(PathOf("utf8.csv")));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("\xEF\xBB\xBF\xE5\xA7\x93,", lines[0].substr(0, 7));  // the mark, then 姓
    EXPECT_EQ("\xE5\x88\x98,\xE4\xB6\xAE,", lines[1].substr(0, 8));  // 刘,䶮,
    EXPECT_EQ("\xF0\xAC\x8E\x86,,", lines[2].substr(0, 6));  // 𬎆, U+2C386
}

// What was exported imports again without a question.
TEST_F(CsvExchangeTest, AnExportedFileImportsBackUnasked) {
    ContactRecord full = Record({{Surname, Gbk("张")}, {GivenName, Gbk("三")}, {Company, Gbk("公司")}, {Email, "a@b.cn"}});
    StartWith({full});
    ModalAnswers answers;
    answers.ExpectFileDialog(ExportTitle, PathOf("round.csv"));
    answers.ExpectMessage(ExportQuestion, L"生成CSV", MB_YESNOCANCEL | MB_ICONINFORMATION, IDYES);
    answers.ExpectMessage(ExportSucceeded, L"CSV", Information, IDOK);
    SendCommand(IDM_EXPORT_CSV);
    ClearRecords(App.document.contacts);
    answers.ExpectFileDialog(ImportTitle, PathOf("round.csv"));
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    ASSERT_EQ(1, RecordCount(App.document.contacts));
    EXPECT_EQ(Gbk("公司"), FieldOf(0, Company));
    EXPECT_EQ("a@b.cn", FieldOf(0, Email));

    // Imported once more, it is in the book already.
    answers.ExpectFileDialog(ImportTitle, PathOf("round.csv"));
    answers.ExpectMessage(L"文件中有 1 个联系人已在通讯录中，没有再次导入。", L"CSV", Information, IDOK);
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RowCount(List()));
}

// A Google export, with its labels: every contact lands in its group, a
// new one at the end of the list and in the group filter.
TEST_F(CsvExchangeTest, AGoogleExportImportsIntoItsGroupsWithoutAQuestion) {
    StartWith({Person("old")});
    ModalAnswers answers;
    Import(answers, "\xEF\xBB\xBF" "First Name,Last Name,Labels,Phone 1 - Label,Phone 1 - Value\r\n"
                    "三,张,* myContacts ::: 同学会,Mobile,138\r\n"
                    "小红,,* myContacts,Work,139\r\n");
    SendCommand(IDM_IMPORT_CSV);
    EXPECT_TRUE(answers.AllAnswered());
    ASSERT_EQ(3, RecordCount(App.document.contacts));
    EXPECT_EQ("138", FieldOf(1, Mobile));
    EXPECT_EQ("139", FieldOf(2, WorkPhone));
    EXPECT_EQ(Gbk("同学会"), GroupName(App.document.groups, RecordAt(App.document.contacts, 1)->GroupIndex));
    EXPECT_EQ(0, RecordAt(App.document.contacts, 2)->GroupIndex);
    EXPECT_EQ(L"同学会", ComboTexts(App.groupFilter).back());
    EXPECT_EQ(3, RowCount(List()));
}
