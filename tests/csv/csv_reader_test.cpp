#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>

#include "csv/csv_format.h"
#include "csv/csv_reader.h"
#include "platform/gb18030.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

// Answers the mapping question from a script, in turn, and remembers what
// was asked; once the script runs out every column is ignored.
struct ScriptedAnswers {
    std::vector<ColumnMappingChoice> answers;
    std::vector<std::string> asked;
};

ColumnMappingChoice AnswerInTurn(void* context, const std::string& title) {
    auto* script = static_cast<ScriptedAnswers*>(context);
    script->asked.push_back(title);
    if (script->asked.size() > script->answers.size()) return ColumnMappingChoice{IgnoreColumn, NoField};
    return script->answers[script->asked.size() - 1];
}

ColumnMappingQuestion Asking(ScriptedAnswers& script) { return ColumnMappingQuestion{AnswerInTurn, &script}; }

const ColumnMappingQuestion NeverAsked = {nullptr, nullptr};

std::vector<std::string> Titles(std::initializer_list<const char*> utf8) {
    std::vector<std::string> titles;
    for (const char* title : utf8) titles.push_back(Gbk(title));
    return titles;
}

class CsvImport : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("contacts.csv");
    ContactStore store;
    GroupList groups = DefaultGroups();

    static GroupList DefaultGroups() {
        GroupList list;
        SetDefaultGroups(list);
        return list;
    }

    CsvImportResult Import(const std::string& bytes, const ColumnMappingQuestion& question = NeverAsked) {
        WriteFileBytes(path, bytes);
        return ImportCsvFile(path, store, groups, question);
    }

    std::string Field(int n, ContactField field) { return FieldValue(*RecordAt(store, n), field); }
    std::string Name(int n) { return Field(n, Surname) + Field(n, GivenName); }
};

}  // namespace

TEST(CsvTitles, ComeFromTheFieldTableInFieldOrder) {
    const auto& titles = CsvFieldTitles();
    ASSERT_EQ(27u, titles.size());
    EXPECT_EQ(Gbk("姓"), titles[Surname]);
    EXPECT_EQ(Gbk("出生年"), titles[BirthYear]);
    EXPECT_EQ("QQ", titles[QQNumber]);
    EXPECT_EQ(Gbk("职务"), titles[JobTitle]);
    // The address titles use the full-width colon, GBK A3 BA.
    EXPECT_EQ(Gbk("住宅") + "\xA3\xBA" + Gbk("国家"), titles[HomeCountry]);
    EXPECT_EQ(Gbk("工作：传真"), CsvFieldTitle(WorkFax));
    EXPECT_EQ("", CsvFieldTitle(-1));
    EXPECT_EQ("", CsvFieldTitle(27));
}

TEST(CsvHeader, ACommaOrLineFeedStoresATitle) {
    EXPECT_EQ(Titles({"姓", "名"}), ParseCsvHeader(Gbk("姓,名\n")));
    // Without a line end the text after the last comma is no title.
    EXPECT_EQ(Titles({"姓"}), ParseCsvHeader(Gbk("姓,名")));
    EXPECT_EQ(Titles({}), ParseCsvHeader(Gbk("姓")));
    // Empty titles count; spaces around a title go; a CR anywhere is dropped.
    EXPECT_EQ(Titles({"姓", "", "名"}), ParseCsvHeader(Gbk(" 姓 ,,\r名\r\n")));
    EXPECT_EQ(Titles({""}), ParseCsvHeader("\n"));
    // Quoted titles, as spreadsheets write them, lose their quotes.
    EXPECT_EQ(Titles({"姓", "名", "a,b"}), ParseCsvHeader(Gbk("\"姓\",\" 名 \",\"a,b\"\r\n")));
}

TEST(CsvHeader, KeepsItsFirstTitlesAsLongAsTheWidestField) {
    std::string line;
    for (int i = 0; i < CsvMaxColumns + 10; ++i) line += "t" + std::to_string(i) + ",";
    std::vector<std::string> titles = ParseCsvHeader(line + "\n");
    ASSERT_EQ(static_cast<size_t>(CsvMaxColumns), titles.size());
    EXPECT_EQ("t" + std::to_string(CsvMaxColumns - 1), titles.back());
    EXPECT_GE(CsvMaxColumns, 256);

    EXPECT_EQ(std::string(127, 'x'), ParseCsvHeader(std::string(140, 'x') + "\n")[0]);
    // 126 letters and a double-byte character: the character does not fit whole.
    EXPECT_EQ(std::string(126, 'x'), ParseCsvHeader(std::string(126, 'x') + Gbk("张") + "\n")[0]);
}

TEST(CsvMapping, MatchesTitlesExactlyWithoutAsking) {
    ScriptedAnswers script;
    ColumnMap map = MapCsvColumns(Titles({"姓", "QQ", "住宅：国家", "qq", "住宅:国家", "姓名"}), Asking(script));
    EXPECT_EQ((std::vector<int>{Surname, QQNumber, HomeCountry, NoField, NoField, NoField}), MappedFields(map));
    // Case, the half-width colon and a longer title each raise the question.
    EXPECT_EQ(Titles({"qq", "住宅:国家", "姓名"}), script.asked);
}

TEST(CsvMapping, TheThreeAnswers) {
    ScriptedAnswers script;
    script.answers = {{MapToField, Mobile}, {IgnoreColumn, NoField}, {IgnoreRemaining, NoField}};
    ColumnMap map = MapCsvColumns(Titles({"Phone", "姓", "Note", "Other", "名", "More"}), Asking(script));
    // After "ignore this and the rest" nothing is asked or matched, not even 名.
    EXPECT_EQ((std::vector<int>{Mobile, Surname, NoField, NoField, NoField, NoField}), MappedFields(map));
    EXPECT_EQ(Titles({"Phone", "Note", "Other"}), script.asked);
}

TEST(CsvMapping, AFieldOutsideTheTableGoesNowhere) {
    ScriptedAnswers script;
    script.answers = {{MapToField, 27}, {MapToField, -5}};
    EXPECT_EQ((std::vector<int>{NoField, NoField}), MappedFields(MapCsvColumns(Titles({"a", "b"}), Asking(script))));
    EXPECT_EQ((std::vector<int>{NoField, GivenName}), MappedFields(MapCsvColumns(Titles({"a", "名"}), NeverAsked)));
}

TEST(CsvMapping, AnEmptyTitleRaisesNoQuestion) {
    ScriptedAnswers script;
    // Older exports end the header with a comma.
    ColumnMap map = MapCsvColumns(Titles({"姓", "", "Phone", ""}), Asking(script));
    EXPECT_EQ((std::vector<int>{Surname, NoField, NoField, NoField}), MappedFields(map));
    EXPECT_EQ(Titles({"Phone"}), script.asked);
}

TEST(CsvMapping, PromptNamesTheTitle) {
    EXPECT_EQ(Gbk("请选择一项与文件中的 Name 表头对应"), CsvMappingPrompt("Name"));
}

TEST(CsvCell, GenderIsFemaleAsOtherProgramsWriteIt) {
    for (const char* text : {"女", " 女", "女性", "F", "f", "female", "Female", "FEMALE "}) {
        ContactRecord record = EmptyRecord();
        ApplyCsvCell(Gender, Gbk(text), record);
        EXPECT_EQ(1, record.Gender) << text;
    }
    ContactRecord record = EmptyRecord();
    for (const char* text : {"男", "M", "male", "", "女士", "Unspecified", "未指定"}) {
        record.Gender = 1;
        ApplyCsvCell(Gender, Gbk(text), record);
        EXPECT_EQ(0, record.Gender) << text;
    }
}

TEST(CsvCell, AWholeDateInTheYearColumnIsRead) {
    struct Case {
        const char* cell;
        const char* year;
        const char* month;
        const char* day;
    };
    const Case cases[] = {
        {"19850307", "1985", "3", "7"},     {"1985-03-07", "1985", "3", "7"},   {"1985/03/07", "1985", "3", "7"},
        {"1985.03.07", "1985", "3", "7"},   {"1985-3-7", "1985", "3", "7"},     {"1966/3/9", "1966", "3", "9"},
        {"1985/3/17", "1985", "3", "17"},   {"1985年3月7日", "1985", "3", "7"}, {"--04-22", "", "4", "22"},
        {" --04-22", "", "4", "22"},
        {"1985", "1985", "m", "d"},         // the year alone, as Corvelle writes it; month and day stay
        {"0/0/00", "", "m", "d"},           // Outlook's empty date
        {"0/0/0000", "", "m", "d"},
        // No date: the start goes into the year, cut to the field, never spilled.
        {"85/3/7", "85/3", "m", "d"},       {"19850307x", "1985", "m", "d"}, {"1985年", "1985", "m", "d"},
        {"1985-13-07", "1985", "m", "d"},   {"5/17/1990", "5/17", "m", "d"},
    };
    for (const Case& c : cases) {
        ContactRecord record = EmptyRecord();
        SetField(record, BirthMonth, "m");
        SetField(record, BirthDay, "d");
        ApplyCsvCell(BirthYear, Gbk(c.cell), record);
        EXPECT_EQ(Gbk(c.year), FieldValue(record, BirthYear)) << c.cell;
        EXPECT_EQ(c.month, FieldValue(record, BirthMonth)) << c.cell;
        EXPECT_EQ(c.day, FieldValue(record, BirthDay)) << c.cell;
    }
}

TEST(CsvCell, TextIsCutToItsFieldAtAWholeCharacter) {
    ContactRecord record = EmptyRecord();
    SetField(record, GivenName, "keep");
    ApplyCsvCell(Surname, Gbk("张三李四王六"), record);
    EXPECT_EQ(Gbk("张三李四"), FieldValue(record, Surname));
    EXPECT_EQ("keep", FieldValue(record, GivenName));
    ApplyCsvCell(BirthMonth, "123", record);
    EXPECT_EQ("12", FieldValue(record, BirthMonth));
    EXPECT_EQ("", FieldValue(record, BirthDay));
}

TEST(CsvCell, NoFieldTakesNothing) {
    ContactRecord record = Person("x", "y");
    ContactRecord before = record;
    for (int field : {NoField, 27, 1000}) ApplyCsvCell(field, "text", record);
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

TEST_F(CsvImport, AppendsALinePerContactAfterTheExistingOnes) {
    AppendRecord(store, Person("old"));
    CsvImportResult result = Import(Gbk("姓,名,性别\r\n张,三,女\r\n李,四,男\n王,五"));
    EXPECT_TRUE(result.read);
    EXPECT_EQ(3, result.imported);
    EXPECT_EQ(0, result.notImported);
    ASSERT_EQ(4, RecordCount(store));
    EXPECT_EQ("old", Field(0, Surname));
    EXPECT_EQ(Gbk("三"), Field(1, GivenName));
    EXPECT_EQ(1, RecordAt(store, 1)->Gender);
    EXPECT_EQ(Gbk("王"), Field(3, Surname));
    EXPECT_EQ(Gbk("五"), Field(3, GivenName));  // the last line needs no line end
    EXPECT_EQ(0, RecordAt(store, 3)->GroupIndex);
}

TEST_F(CsvImport, TrimsTheLineButNotTheCells) {
    Import(Gbk("姓,名\n 张 , 三 \n"));
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ(Gbk("张 "), Field(0, Surname));
    EXPECT_EQ(Gbk(" 三"), Field(0, GivenName));
}

TEST_F(CsvImport, OnlyLinesThatNameNobodyAddNothing) {
    CsvImportResult result = Import(Gbk("姓,名,公司\n,三\n\n   \n\"\",,\n\"张\",\"三\"\n,,某某公司\n"));
    EXPECT_EQ(3, result.imported);
    ASSERT_EQ(3, RecordCount(store));
    // A given name alone names its contact, a company a contact without a name.
    EXPECT_EQ(Gbk("三"), Name(0));
    EXPECT_EQ(Gbk("张三"), Name(1));
    EXPECT_EQ(Gbk("某某公司"), Field(2, Company));
    EXPECT_NE("", Name(2));
}

TEST_F(CsvImport, TheSameContactTwiceIsAddedOnce) {
    AppendRecord(store, Person(Gbk("李"), Gbk("四")));
    CsvImportResult result = Import(Gbk("姓,名\n张,三\n李,四\n张,三\n张,四\n"));
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ(2, result.duplicates);
    ASSERT_EQ(3, RecordCount(store));
    EXPECT_EQ(Gbk("张四"), Name(2));
    // Importing the file again adds nothing.
    EXPECT_EQ(0, Import(Gbk("姓,名\n张,三\n李,四\n张,四\n")).imported);
}

TEST_F(CsvImport, QuotedCellsHoldCommasQuotesLineBreaksAndSpaces) {
    Import(Gbk("姓,名,公司,住宅：街道,职务\r\n"
               "\"张,三\",\"a \"\"b\"\"\",\"1\r\n2\n3\r4\",\" x \",\"y \"  \r\n"
               "李,\"四\"五,6\"7,\"\",\"\"\"\"\n"));
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ(Gbk("张,三"), Field(0, Surname));
    EXPECT_EQ("a \"b\"", Field(0, GivenName));
    // No field holds a line break: each (CR LF, LF, CR) becomes a space.
    EXPECT_EQ("1 2 3 4", Field(0, Company));
    // Quoted spaces stay, at the end of the line too.
    EXPECT_EQ(" x ", Field(0, HomeStreet));
    EXPECT_EQ("y ", Field(0, JobTitle));
    // Text behind the closing quote is kept; a quote inside an unquoted
    // cell is an ordinary byte.
    EXPECT_EQ(Gbk("四五"), Field(1, GivenName));
    EXPECT_EQ("6\"7", Field(1, Company));
    EXPECT_EQ("", Field(1, HomeStreet));
    EXPECT_EQ("\"", Field(1, JobTitle));
}

TEST_F(CsvImport, AQuoteThatNeverClosesRunsToTheEndOfTheFile) {
    Import(Gbk("姓,名,公司\n张,三\n李,\"四\n王,五"));
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ(Gbk("四 王,五"), Field(1, GivenName));
    EXPECT_EQ("", Field(1, Company));

    // However long the rest of the file, only a cut cell of it is kept.
    CsvImportResult result = Import(Gbk("姓,公司\n张,\"") + std::string(3 * CsvLineLimit, 'x') + Gbk("\n李\n"));
    EXPECT_EQ(1, result.imported);
    EXPECT_EQ(std::string(29, 'x'), Field(2, Company));
}

TEST_F(CsvImport, Utf8FilesWithOrWithoutTheByteOrderMark) {
    // As a spreadsheet saves "CSV UTF-8"; the emoji and the Thai, which GBK
    // lacks, take four bytes each.
    const std::string utf8 = "姓,名,公司\r\n王,小明,\"Café, 😀ก\"\r\n";
    for (const std::string& file : {"\xEF\xBB\xBF" + utf8, utf8}) {
        ClearRecords(store);
        Import(file);
        ASSERT_EQ(1, RecordCount(store));
        EXPECT_EQ(Gbk("王"), Field(0, Surname));
        EXPECT_EQ(Gbk("小明"), Field(0, GivenName));
        EXPECT_EQ(Gbk("Café, 😀ก"), Field(0, Company));
    }
    // A byte-order mark and nothing else is an empty file.
    EXPECT_FALSE(Import("\xEF\xBB\xBF").read);
}

// Google puts marks of writing direction around some numbers: numbers
// lose them; other texts keep every character they had.
TEST_F(CsvImport, NumbersLoseTheInvisibleMarksAroundThem) {
    const std::string ltr = "\xE2\x80\xAA", pop = "\xE2\x80\xAC", zeroWidth = "\xE2\x80\x8B", bom = "\xEF\xBB\xBF";
    Import("姓,手机,QQ,工作：传真,昵称\n张," + ltr + "+86 138" + pop + "," + zeroWidth + "10001," + bom + "010-1" +
           "," + ltr + "x" + pop + "\n");
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("+86 138", Field(0, Mobile));
    EXPECT_EQ("10001", Field(0, QQNumber));
    EXPECT_EQ("010-1", Field(0, WorkFax));
    EXPECT_EQ(Gbk((ltr + "x" + pop).c_str()), Field(0, Nickname));
    Import("Last Name,Phone 1 - Label,Phone 1 - Value,Phone 2 - Value\nLi,Mobile," + ltr + "+1 555" + pop + "," + ltr +
           "2" + pop + "\n");
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ("+1 555", Field(1, Mobile));
    EXPECT_EQ("2", Field(1, HomePhone));
}

TEST_F(CsvImport, GbkThatLooksLikeUtf8StaysGbk) {
    // Each of these characters is, in GBK, a well-formed two-byte UTF-8
    // sequence; the file is GBK because its last line is not.
    const std::string lookalike = Gbk("聙聭垄鲁艀艖");
    ScriptedAnswers script;
    script.answers = {{MapToField, Surname}};
    std::string file = "Name,QQ\n";
    for (int i = 0; i < 300; ++i) file += lookalike.substr(0, 8) + "," + std::to_string(i) + "\n";
    Import(file + Gbk("张,2\n"), Asking(script));
    ASSERT_EQ(301, RecordCount(store));
    EXPECT_EQ(lookalike.substr(0, 8), Field(0, Surname));
    EXPECT_EQ(Gbk("张"), Field(300, Surname));
}

TEST_F(CsvImport, ExtraCellsAreIgnoredAndTheLaterColumnWins) {
    Import(Gbk("姓,名,名\n张,三,四,五,六\n李\n"));
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ(Gbk("四"), Field(0, GivenName));
    EXPECT_EQ("", Field(1, GivenName));
}

TEST_F(CsvImport, CellsPastTheLastColumnKeptAreIgnored) {
    std::string header = Gbk("姓");
    for (int i = 1; i < CsvMaxColumns; ++i) header += ",x" + std::to_string(i);
    header += Gbk(",名\n");  // one title too many
    std::string line = Gbk("张");
    for (int i = 1; i < CsvMaxColumns; ++i) line += ",";
    Import(header + line + Gbk(",三\n"));
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("", Field(0, GivenName));
}

TEST_F(CsvImport, ACellKeepsAWholeEmailAddressAndIsCutAtAWholeCharacter) {
    std::string longest(127, 'e');
    std::string wide = "a" + std::string(70 * 2, '\0');
    for (int i = 0; i < 70; ++i) wide.replace(1 + 2 * i, 2, Gbk("张"));
    Import(Gbk("姓,邮箱\n") + Gbk("张,") + longest + "x\n" + Gbk("李,") + wide + "\n");
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ(longest, Field(0, Email));
    // a and 63 characters make 127 bytes; the 64th would end at byte 129.
    EXPECT_EQ(wide.substr(0, 127), Field(1, Email));
}

TEST_F(CsvImport, ALongLineStaysOneContact) {
    // A line the writer makes for a contact with long addresses.
    std::string street(48, 's');
    Import(Gbk("姓,住宅：街道,工作：街道,邮箱,公司\n张,") + street + "," + street + "," + std::string(49, 'e') + ",c" +
           std::string(200, ' ') + "," + "\n" + Gbk("李\n"));
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ(street, Field(0, WorkStreet));
    EXPECT_EQ(std::string(49, 'e'), Field(0, Email));
    EXPECT_EQ("c", Field(0, Company).substr(0, 1));
    EXPECT_EQ(Gbk("李"), Field(1, Surname));
}

TEST_F(CsvImport, ALineOverTheLimitLosesItsTailButNotTheNextLine) {
    std::string huge = Gbk("张,") + std::string(CsvLineLimit, 'x') + Gbk(",三\n");
    Import(Gbk("姓,手机,名\n") + huge + Gbk("李,1,四\n"));
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ(Gbk("张"), Field(0, Surname));
    EXPECT_EQ("", Field(0, GivenName));
    EXPECT_EQ(Gbk("四"), Field(1, GivenName));
}

TEST_F(CsvImport, OnlyCrLfIsALineEnd) {
    // A CR alone stays in its cell (where a field, of one line, makes it a
    // space); CR LF and LF end lines alike.
    Import(Gbk("姓,名\r\n张,a\rb\r\n李,c\n"));
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ("a b", Field(0, GivenName));
    EXPECT_EQ("c", Field(1, GivenName));
}

TEST_F(CsvImport, IgnoringTheRestAtTheFirstColumnImportsNothing) {
    ScriptedAnswers script;
    script.answers = {{IgnoreRemaining, NoField}};
    CsvImportResult result = Import(Gbk("Name,姓,Phone\nx,张,1\n"), Asking(script));
    EXPECT_TRUE(result.read);
    EXPECT_EQ(0, result.imported);
    EXPECT_EQ(0, RecordCount(store));
    EXPECT_EQ(Titles({"Name"}), script.asked);
}

// A file that a recognised program's titles mostly name: its other titles
// map by Corvelle's own, and a title that neither knows is asked about;
// the titles a layout knowingly leaves out are not.
TEST_F(CsvImport, BesideAKnownLayoutCorvellesTitlesMapAndUnknownOnesAreAsked) {
    struct Case {
        const char* file;
        ContactField field;  // the field of the column that a layout alone would drop
        const char* value;
    } cases[] = {
        {"姓,名,手机,电子邮件地址,单位,商务电话,住宅电话\n王,小明,13800000000,w@x.cn,甲,1,2\n", Mobile, "13800000000"},
        {"姓,名,手机,QQ,邮箱,家庭电话,单位,备注,爱好\n王,小明,1,10001,w@x.cn,2,甲,,书\n", Email, "w@x.cn"},
        {"First Name,Last Name,Mobile Phone,E-mail Address,QQ,Company\nMing,Wang,1,w@x.cn,10001,Acme\n", QQNumber,
         "10001"},
        {"First Name,Last Name,Phone 1 - Value,Website 1 - Value,Website 1 - Label,Labels,爱好\nMing,Wang,1,w.cn,,,书\n",
         Mobile, "1"},
    };
    for (const Case& c : cases) {
        ClearRecords(store);
        ScriptedAnswers script;
        CsvImportResult result = Import(Gbk(c.file), Asking(script));
        ASSERT_EQ(1, result.imported) << c.file;
        EXPECT_NE(nullptr, MapCsvColumns(ParseCsvHeader(Gbk(c.file)), NeverAsked).layout) << c.file;
        EXPECT_EQ(c.value, Field(0, c.field)) << c.file;
        bool unknownTitle = std::strstr(c.file, "爱好") != nullptr;
        EXPECT_EQ(unknownTitle ? Titles({"爱好"}) : std::vector<std::string>(), script.asked) << c.file;
    }
    // A Google export of its own titles only asks nothing; its phones still find their fields.
    ScriptedAnswers none;
    Import("Last Name,Phone 1 - Label,Phone 1 - Value,Website 1 - Value\nLi,Mobile,2,w.cn\n", Asking(none));
    EXPECT_TRUE(none.asked.empty());
    EXPECT_EQ("2", Field(1, Mobile));
    // The answer maps the column beside the layout's.
    ScriptedAnswers mapped;
    mapped.answers = {{MapToField, Nickname}};
    ClearRecords(store);
    Import(Gbk("First Name,Last Name,Mobile Phone,Company,Job Title,外号\nMing,Wang,1,Acme,,小明\n"), Asking(mapped));
    EXPECT_EQ(Gbk("小明"), Field(0, Nickname));
    EXPECT_EQ("1", Field(0, Mobile));
}

TEST_F(CsvImport, AMappedColumnFillsItsField) {
    ScriptedAnswers script;
    script.answers = {{MapToField, Surname}, {MapToField, BirthYear}};
    Import(Gbk("Name,Birthday\n张,1985-03-07\n"), Asking(script));
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ(Gbk("张"), Field(0, Surname));
    EXPECT_EQ("3", Field(0, BirthMonth));
}

TEST_F(CsvImport, AnEmptyOrMissingFileIsNotRead) {
    CsvImportResult result = Import("");
    EXPECT_FALSE(result.read);
    EXPECT_EQ(0, result.imported);
    EXPECT_FALSE(ImportCsvFile(folder.Path("missing.csv"), store, groups, NeverAsked).read);
    EXPECT_FALSE(ImportCsvFile(folder.Path(""), store, groups, NeverAsked).read);  // a folder
    EXPECT_EQ(0, RecordCount(store));
    // A header alone is a file that was read.
    EXPECT_TRUE(Import(Gbk("姓,名")).read);
}

TEST_F(CsvImport, StopsAtTheStoreCapacityAndCountsWhatWasLeft) {
    store.capacity = 64;
    for (int i = 0; i < store.capacity - 2; ++i) AppendRecord(store, Person("p"));
    CsvImportResult result = Import(Gbk("姓\na\nb\n\nc\nd\ne\n"));
    EXPECT_TRUE(result.read);
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ(3, result.notImported);
    EXPECT_EQ(store.capacity, RecordCount(store));
    EXPECT_EQ("b", FieldValue(*RecordAt(store, store.capacity - 1), Surname));
}

TEST_F(CsvImport, DamagedFilesLeaveWellFormedRecords) {
    // Bytes of every kind, commas and line ends included, under a header
    // that maps every field.
    std::string header;
    for (const std::string& title : CsvFieldTitles()) header += title + ",";
    unsigned state = 12345;
    std::string noise;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        unsigned byte = (state >> 16) & 0xFF;
        noise += static_cast<char>(byte % 7 == 0 ? ',' : byte % 31 == 0 ? '\n' : byte);
    }
    CsvImportResult result = Import(header + "\n" + noise);
    EXPECT_TRUE(result.read);
    EXPECT_GT(result.imported, 0);
    EXPECT_LE(RecordCount(store), store.capacity);
    for (const auto& record : store.records) EXPECT_TRUE(FieldsTerminated(*record));
}

TEST_F(CsvImport, Utf16FilesOfEitherByteOrder) {
    // 张,三 and a character beyond the basic plane (a surrogate pair); the odd last byte of a damaged file is dropped.
    const std::u16string text = u"姓,名,公司\r\n张,三,\"A\U0001F600\"\r\n";
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t unit : text) {
        little += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    }
    for (const std::string& file : {little, big + "x"}) {
        ClearRecords(store);
        Import(file);
        ASSERT_EQ(1, RecordCount(store));
        EXPECT_EQ(Gbk("张"), Field(0, Surname));
        EXPECT_EQ(Gbk("三"), Field(0, GivenName));
        EXPECT_EQ(Gbk("A😀"), Field(0, Company));
    }
    // A lone surrogate is no character.
    ClearRecords(store);
    std::string lone = "\xFF\xFE";
    for (char16_t unit : u"姓,名\nb,\xD800" u"c\n") {
        if (unit != 0) lone += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    Import(lone);
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("b", Field(0, Surname));
    EXPECT_EQ(Gbk("\uFFFDc"), Field(0, GivenName));
}

TEST_F(CsvImport, HugeHeadersAndCellsAreHandled) {
    // 100,000 columns: the header keeps its first ones, the rest is ignored.
    std::string header = Gbk("姓,名");
    std::string line = Gbk("张,三");
    for (int i = 0; i < 100000; ++i) {
        header += ",c" + std::to_string(i);
        line += ",x";
    }
    ScriptedAnswers script;
    script.answers = {{IgnoreRemaining, NoField}};
    EXPECT_EQ(1, Import(header + "\n" + line + "\n", Asking(script)).imported);
    EXPECT_EQ(1u, script.asked.size());
    // A cell of 10 MB keeps what its field holds.
    EXPECT_EQ(1, Import(Gbk("姓,公司\n李,") + std::string(10 << 20, 'y') + "\n").imported);
    EXPECT_EQ(std::string(29, 'y'), Field(1, Company));
}

// A long note, address or company arrives whole in its item or its whole
// form, the field holding its cut form; a cell past the reader's limit is
// cut there and the import says so.
TEST_F(CsvImport, LongCellsArriveWholeUpToTheLimit) {
    std::string note, company, street;
    for (int i = 0; i < 300; ++i) note += Gbk("备注") + std::to_string(i);
    for (int i = 0; i < 40; ++i) company += Gbk("公司");
    for (int i = 0; i < 60; ++i) street += Gbk("路") + std::to_string(i);
    std::string huge(CsvCellLimit + 10, 'x');
    CsvImportResult result = Import(Gbk("姓,公司,住宅：街道,备注1\r\n") + Gbk("张,") + company + "," + street + ",\"" + note +
                                    "\"\r\n" + Gbk("李,c,s,") + huge + "\r\n");
    ASSERT_EQ(2, RecordCount(store));
    const ContactDetails& details = DetailsOf(store, RecordAt(store, 0));
    ASSERT_EQ(1u, details.items.size());
    EXPECT_EQ(note, details.items[0].parts[0]);
    EXPECT_EQ(company, WholeFieldValue(*RecordAt(store, 0), details, Company));
    EXPECT_EQ(street, WholeFieldValue(*RecordAt(store, 0), details, HomeStreet));
    ContactRecord cut = EmptyRecord();
    SetField(cut, Company, company);
    EXPECT_EQ(FieldValue(cut, Company), Field(0, Company));
    EXPECT_EQ(std::string(CsvCellLimit, 'x'), DetailsOf(store, RecordAt(store, 1)).items.at(0).parts[0]);
    EXPECT_EQ(1, result.cutRows);
}

// Progress hears each line of the file's count before it is read (the
// header is line 1); a cancel keeps what came in.
TEST_F(CsvImport, ProgressCountsTheLinesAndACancelKeepsWhatWasImported) {
    WriteFileBytes(path, "\xD0\xD5\r\n" "A\r\n" "B\r\n" "C\r\n" "D\r\n");
    std::string heard;
    CsvImportResult result = ImportCsvFile(path, store, groups, NeverAsked, [&](int done, int total) {
        heard += std::to_string(done) + "/" + std::to_string(total) + " ";
        return done < 3;
    });
    EXPECT_EQ("1/5 2/5 3/5 ", heard);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(2, RecordCount(store));
    EXPECT_EQ("A", Name(0));
    EXPECT_EQ("B", Name(1));
}

// The reader takes the file in blocks: wherever a block ends (inside a
// quoted cell, a line break, a character of four UTF-8 bytes or a
// surrogate pair) the rows come out the same, in every encoding.
TEST_F(CsvImport, RowsComeOutWholeWhereverTheFileIsCutIntoBlocks) {
    const std::u16string pieces[] = {u"张", u"王", u"a", u"\"", u",", u"\r\n", u"😀", u"𬎆", u" ", u"区", u"\n", u"é"};
    std::mt19937 random(2702);
    std::u16string text = u"姓,名,公司\r\n";
    std::vector<std::u16string> companies;
    for (int row = 0; row < 3000; ++row) {
        std::u16string company;
        for (int n = static_cast<int>(random() % 120); n > 0; --n) company += pieces[random() % std::size(pieces)];
        std::u16string read;  // a line break in a cell is read as LF
        for (char16_t unit : company) {
            if (unit != u'\r') read += unit;
        }
        companies.push_back(read);
        std::u16string quoted;
        for (char16_t unit : company) quoted += unit == u'"' ? u"\"\"" : std::u16string(1, unit);
        std::string number = std::to_string(row);
        text += pieces[random() % 2] + u"," + std::u16string(number.begin(), number.end()) + u",\"" + quoted + u"\"\r\n";
    }
    std::string utf8 = "\xEF\xBB\xBF" + Utf16ToUtf8(text), little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t unit : text) {
        little += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    }
    ASSERT_GT(utf8.size(), 4u << 16);
    for (const std::string& file : {utf8, little, big}) {
        ClearRecords(store);
        Import(file);
        ASSERT_EQ(3000, RecordCount(store));
        for (int row = 0; row < 3000; ++row) {
            const ContactRecord& record = *RecordAt(store, row);
            ASSERT_EQ(std::to_string(row), FieldValue(record, GivenName));
            ASSERT_EQ(Utf16ToGb18030(companies[row]), WholeFieldValue(record, DetailsOf(store, &record), Company))
                << "row " << row;
        }
    }
}
