// CSV files of other programs: each exporter's header with one row written
// in its form (its encoding, its quoting, its dates and labels) imports
// without a question, every field in its place; Thunderbird's own test
// files give what a careful user expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "csv/csv_dates.h"
#include "csv/csv_format.h"
#include "csv/csv_layouts.h"
#include "csv/csv_reader.h"
#include "test_support.h"

namespace {

const std::filesystem::path Interop = CORVELLE_CSV_INTEROP_DIR;

ColumnMappingChoice FailIfAsked(void*, const std::string& title) {
    ADD_FAILURE() << "asked about " << title;
    return ColumnMappingChoice{IgnoreColumn, NoField};
}
const ColumnMappingQuestion NoQuestion = {FailIfAsked, nullptr};

enum class Form { Utf8, Utf8Bom, Utf16Bom, Gbk };

// One exporter's file: its header from the shared folder, one row with
// these cells (UTF-8, by title; a title standing twice is given as
// "title#2" for its second column), and what the contact must hold.
struct ExporterCase {
    const char* headerFile;
    Form form;
    bool quoteAll;
    std::map<std::string, std::string> cells;
    std::map<ContactField, const char*> expected;
    const char* group;  // the group the contact lands in
};

std::vector<std::string> SplitHeader(const std::string& line, bool& trailingComma) {
    std::vector<std::string> titles;
    std::string title;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            titles.push_back(title);
            title.clear();
        } else if (c != '\r' && c != '\n') {
            title += c;
        }
    }
    trailingComma = title.empty();
    if (!trailingComma) titles.push_back(title);
    return titles;
}

std::string Encoded(const std::string& utf8, Form form) {
    switch (form) {
    case Form::Utf8: return utf8;
    case Form::Utf8Bom: return "\xEF\xBB\xBF" + utf8;
    case Form::Gbk: return Gbk(utf8.c_str());
    case Form::Utf16Bom: break;
    }
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The header line as the exporter writes it, and a row of the case's cells.
std::string ExporterFile(const ExporterCase& c) {
    std::ifstream in(Interop / "headers" / c.headerFile, std::ios::binary);
    std::string header;
    std::getline(in, header);
    bool trailingComma = false;
    std::vector<std::string> titles = SplitHeader(header, trailingComma);
    std::map<std::string, int> seen;
    std::string row;
    for (size_t i = 0; i < titles.size(); ++i) {
        int occurrence = ++seen[titles[i]];
        std::string key = occurrence == 1 ? titles[i] : titles[i] + "#" + std::to_string(occurrence);
        auto cell = c.cells.find(key);
        std::string text = cell == c.cells.end() ? std::string() : cell->second;
        if (i > 0) row += ",";
        row += c.quoteAll || text.find(',') != std::string::npos ? "\"" + text + "\"" : text;
    }
    if (trailingComma) row += ",";
    std::string line = header.substr(0, header.find_last_not_of("\r\n") + 1);
    return Encoded(line + "\r\n" + row + "\r\n", c.form);
}

const ExporterCase ExporterCases[] = {
    {"google-contacts-2023.txt", Form::Utf8Bom, false,
     {{"First Name", "玲"}, {"Middle Name", "巧"}, {"Last Name", "刘"}, {"Birthday", " --04-22"},
      {"Labels", "* myContacts ::: 同学会 ::: 家人"}, {"Organization Name", "某某公司"},
      {"E-mail 1 - Label", "Work"}, {"E-mail 1 - Value", "liu@work.example"},
      {"E-mail 2 - Label", "* Home"}, {"E-mail 2 - Value", "liu@home.example ::: old@home.example"},
      {"Phone 1 - Label", "Work"}, {"Phone 1 - Value", "010-1234"},
      {"Phone 2 - Label", "Mobile"}, {"Phone 2 - Value", "138 0000 0000 ::: 139 0000 0000"},
      {"Address 1 - Label", "Home"}, {"Address 1 - Street", "中关村大街1号"}, {"Address 1 - City", "北京"},
      {"Address 1 - Region", "北京市"}, {"Address 1 - Postal Code", "100080"}, {"Address 1 - Country", "中国"},
      {"Address 1 - Extended Address", "3单元"}, {"Address 1 - Formatted", "中关村大街1号 3单元 北京"}},
     {{Surname, "刘"}, {GivenName, "巧玲"}, {BirthYear, ""}, {BirthMonth, "4"}, {BirthDay, "22"},
      {Company, "某某公司"}, {Email, "liu@home.example"}, {WorkPhone, "010-1234"}, {Mobile, "138 0000 0000"},
      {HomePhone, ""}, {HomeStreet, "中关村大街1号 3单元"}, {HomeCity, "北京"},
      {HomeProvince, "北京市"}, {HomePostcode, "100080"}, {HomeCountry, "中国"}, {WorkStreet, ""}},
     "同学会"},
    {"google-contacts-legacy.txt", Form::Utf16Bom, false,
     {{"Name", "王小明"}, {"Birthday", "1975-12-12"}, {"Gender", "female"},
      {"Group Membership", "* My Contacts ::: 家人"}, {"E-mail 1 - Type", "* Other"},
      {"E-mail 1 - Value", "wang@example.com"}, {"Phone 1 - Type", "Home Fax"}, {"Phone 1 - Value", "010-5555"},
      {"Phone 2 - Type", "Pager"}, {"Phone 2 - Value", "12345"}, {"Address 1 - Type", "Other"},
      {"Address 1 - Street", "海淀路2号"}, {"Address 1 - City", "北京"}, {"Organization 1 - Name", "ACME"},
      {"Organization 1 - Title", "工程师"}},
     {{Surname, "王"}, {GivenName, "小明"}, {Gender, "1"}, {BirthYear, "1975"}, {BirthMonth, "12"},
      {BirthDay, "12"}, {Email, "wang@example.com"}, {HomeFax, "010-5555"}, {Mobile, ""},
      {WorkStreet, "海淀路2号"}, {WorkCity, "北京"}, {Company, "ACME"}, {JobTitle, "工程师"}},
     "家人"},
    {"google-outlook-csv-variant.txt", Form::Utf8, false,
     {{"First Name", "Ann"}, {"Last Name", "Lee"}, {"Birthday", "5/17/1990"}, {"E-mail Address", "ann@example.com"},
      {"Mobile Phone", "555-0100"}, {"Primary Phone", "555-0199"}, {"Home Street", "1 Main St"},
      {"Home Street 2", "Apt 2"}, {"Home City", "Springfield"}, {"Categories", "myContacts;Friends"},
      {"Company", "Initech"}, {"Job Title", "Engineer"}},
     {{Surname, "Lee"}, {GivenName, "Ann"}, {BirthYear, "1990"}, {BirthMonth, "5"}, {BirthDay, "17"},
      {Email, "ann@example.com"}, {Mobile, "555-0100"}, {HomePhone, "555-0199"}, {HomeStreet, "1 Main St Apt 2"},
      {HomeCity, "Springfield"}, {Company, "Initech"}, {JobTitle, "Engineer"}},
     "Friends"},
    {"outlook-com-en.txt", Form::Utf8Bom, false,
     {{"First Name", "Larsen"}, {"E-mail 2 Address", "larsen@example.com"}, {"Business Phone", "555-0101"},
      {"Home Country/Region", "Denmark"}, {"Birthday", "12/1/1970"}},
     {{Surname, "Larsen"}, {Email, "larsen@example.com"}, {WorkPhone, "555-0101"}, {HomeCountry, "Denmark"},
      {BirthYear, "1970"}, {BirthMonth, "12"}, {BirthDay, "1"}},
     "默认分组"},
    {"outlook-desktop-en.txt", Form::Utf8, true,
     {{"Title", "Mr."}, {"First Name", "John"}, {"Last Name", "Smith"}, {"Company", "Contoso"},
      {"Business Street", "1 Microsoft Way"}, {"Business Street 2", "Suite 5"}, {"Business City", "Redmond"},
      {"Business Country/Region", "USA"}, {"Other Street", "9 Side Rd"}, {"Home Phone", "555-0102"},
      {"Mobile Phone", "555-0103"}, {"Birthday", "0/0/00"}, {"Gender", "Male"},
      {"E-mail Address", "john@example.com"}, {"Categories", "VIP"}},
     {{Surname, "Smith"}, {GivenName, "John"}, {Company, "Contoso"}, {WorkStreet, "1 Microsoft Way Suite 5"},
      {WorkCity, "Redmond"}, {WorkCountry, "USA"}, {HomeStreet, "9 Side Rd"}, {HomePhone, "555-0102"},
      {Mobile, "555-0103"}, {BirthYear, ""}, {BirthMonth, ""}, {Gender, "0"}, {Email, "john@example.com"}},
     "VIP"},
    {"outlook-desktop-zh-CN.txt", Form::Gbk, true,
     {{"名", "三"}, {"姓", "张"}, {"单位", "某某公司"}, {"部门", "技术部"}, {"职务", "经理"},
      {"商务地址 街道", "建国路1号"}, {"商务地址 街道 2", "A座"}, {"商务地址 市/县", "北京"},
      {"商务地址 省/市/自治区", "北京市"}, {"商务地址 邮政编码", "100022"}, {"移动电话", "13800138000"},
      {"住宅电话", "010-87654321"}, {"商务传真", "010-1111"}, {"电子邮件地址", "zhang@example.com"},
      {"电子邮件 2 地址", "other@example.com"}, {"生日", "1966/3/9"}, {"性别", "女"}, {"类别", "同事"}},
     {{Surname, "张"}, {GivenName, "三"}, {Company, "某某公司"}, {Department, "技术部"}, {JobTitle, "经理"},
      {WorkStreet, "建国路1号 A座"}, {WorkCity, "北京"}, {WorkProvince, "北京市"}, {WorkPostcode, "100022"},
      {Mobile, "13800138000"}, {HomePhone, "010-87654321"}, {WorkFax, "010-1111"},
      {Email, "zhang@example.com"}, {BirthYear, "1966"}, {BirthMonth, "3"}, {BirthDay, "9"}, {Gender, "1"}},
     "同事"},
    {"qq-sync-assistant-ic.qq.com.txt", Form::Gbk, true,
     {{"姓", "李"}, {"名", "四"}, {"昵称", "小李"}, {"QQ", "10001"}, {"家庭电话", "0755-1234"}, {"单位", "腾讯"},
      {"工作电话", "0755-5678"}, {"电子邮件", "li@example.com"}, {"其他手机", "13900139000"},
      {"生日", "1985年3月7日"}, {"qq同步助手 分组", "朋友"}},
     {{Surname, "李"}, {GivenName, "四"}, {Nickname, "小李"}, {QQNumber, "10001"}, {HomePhone, "0755-1234"},
      {Company, "腾讯"}, {WorkPhone, "0755-5678"}, {Email, "li@example.com"}, {Mobile, "13900139000"},
      {BirthYear, "1985"}, {BirthMonth, "3"}, {BirthDay, "7"}},
     "朋友"},
    {"thunderbird-en-US.txt", Form::Utf8, false,
     {{"First Name", "Jane"}, {"Last Name", "Doe"}, {"Primary Email", "jane@example.com"},
      {"Home Address", "1 Elm St"}, {"Home Address 2", "Unit 3"}, {"Home City", "Portland"},
      {"Home ZipCode", "97201"}, {"Work Phone", "555-0104"}, {"Mobile Number", "555-0105"},
      {"Fax Number", "555-0106"}, {"Birth Year", "1980"}, {"Birth Month", "1"}, {"Birth Day", "2"}},
     {{Surname, "Doe"}, {GivenName, "Jane"}, {Email, "jane@example.com"}, {HomeStreet, "1 Elm St Unit 3"},
      {HomeCity, "Portland"}, {HomePostcode, "97201"}, {WorkPhone, "555-0104"}, {Mobile, "555-0105"},
      {WorkFax, "555-0106"}, {BirthYear, "1980"}, {BirthMonth, "1"}, {BirthDay, "2"}},
     "默认分组"},
    {"thunderbird-en-US-legacy.txt", Form::Utf8, false,
     {{"Display Name", "Acme Support"}, {"Organization", "Acme Support"}, {"Work Phone", "555-0107"}},
     {{Company, "Acme Support"}, {WorkPhone, "555-0107"}},
     "默认分组"},
    {"thunderbird-zh-CN-2024.txt", Form::Utf8, false,
     {{"名字", "小红"}, {"城市", "上海"}, {"城市#2", "杭州"}, {"邮政编码", "200000"}, {"邮政编码#2", "310000"},
      {"居住地省/自治区/直辖市", "上海市"}, {"工作地省/自治区/直辖市", "浙江省"}, {"移动电话号码", "13700137000"}},
     {{HomeCity, "上海"}, {WorkCity, "杭州"}, {HomePostcode, "200000"}, {WorkPostcode, "310000"},
      {HomeProvince, "上海市"}, {WorkProvince, "浙江省"}, {Mobile, "13700137000"}},
     "默认分组"},
    {"thunderbird-zh-CN-2021.txt", Form::Gbk, false,
     {{"名字", "五"}, {"姓氏", "王"}, {"省/自治区/直辖市", "广东省"}, {"省/自治区/直辖市#2", "江苏省"},
      {"出生年份", "1990"}, {"出生月份", "5"}, {"出生日", "6"}},
     {{Surname, "王"}, {GivenName, "五"}, {HomeProvince, "广东省"}, {WorkProvince, "江苏省"}, {BirthYear, "1990"},
      {BirthMonth, "5"}, {BirthDay, "6"}},
     "默认分组"},
    {"thunderbird-zh-CN-legacy.txt", Form::Gbk, false,
     {{"名字", "六"}, {"姓氏", "赵"}, {"国家", "中国"}, {"国家#2", "日本"}, {"家庭地址", "长安街"},
      {"工作地址", "银座"}},
     {{Surname, "赵"}, {GivenName, "六"}, {HomeCountry, "中国"}, {WorkCountry, "日本"}, {HomeStreet, "长安街"},
      {WorkStreet, "银座"}},
     "默认分组"},
    {"windows-live-mail-zh-CN.txt", Form::Gbk, false,
     {{"名字", "孙七"}, {"电子邮件地址", "sun@example.com"}, {"公司所在城市", "深圳"}, {"商务电话", "0755-9999"}},
     {{Surname, "孙"}, {GivenName, "七"}, {Email, "sun@example.com"}, {WorkCity, "深圳"},
      {WorkPhone, "0755-9999"}},
     "默认分组"},
    {"windows-live-mail-en.txt", Form::Utf8, false,
     {{"Name", "Bob Jones"}, {"Home Street", "2 Oak Ave"}, {"Business Fax", "555-0108"}},
     {{Surname, "Jones"}, {GivenName, "Bob"}, {HomeStreet, "2 Oak Ave"}, {WorkFax, "555-0108"}},
     "默认分组"},
};

std::string FieldOrGender(const ContactRecord& record, ContactField field) {
    return field == Gender ? std::to_string(record.Gender) : FieldValue(record, field);
}

std::string Name(const ContactRecord& record) { return FieldValue(record, Surname) + FieldValue(record, GivenName); }

class CsvLayoutImport : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_UNLESS_PRESENT(Interop);
        SetDefaultGroups(groups);
    }

    CsvImportResult Import(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        return ImportCsvFile(path, store, groups, NoQuestion);
    }

    CsvImportResult ImportShared(const std::string& name) {
        return ImportCsvFile((Interop / "thunderbird-tests" / name).native(), store, groups, NoQuestion);
    }

    ScratchFolder folder;
    PathString path = folder.Path("contacts.csv");
    ContactStore store;
    GroupList groups;
};

}  // namespace

TEST_F(CsvLayoutImport, EveryExporterImportsWithoutAQuestion) {
    for (const ExporterCase& c : ExporterCases) {
        ClearRecords(store);
        CsvImportResult result = Import(ExporterFile(c));
        ASSERT_EQ(1, result.imported) << c.headerFile;
        const ContactRecord& contact = *RecordAt(store, 0);
        for (const auto& [field, text] : c.expected) {
            EXPECT_EQ(Gbk(text), FieldOrGender(contact, field)) << c.headerFile << ", field " << field;
        }
        EXPECT_EQ(Gbk(c.group), GroupName(groups, contact.GroupIndex)) << c.headerFile;
    }
}

TEST_F(CsvLayoutImport, NamesComeFromTheGivenNameOrTheDisplayName) {
    // Only a given name, only a display name, a company without a person.
    const std::map<std::string, const char*> names = {
        {"thunderbird-zh-CN-2024.txt", "小红"}, {"windows-live-mail-zh-CN.txt", "孙七"},
        {"google-contacts-legacy.txt", "王小明"}, {"outlook-com-en.txt", "Larsen"},
        {"thunderbird-en-US-legacy.txt", "Acme Support"}};
    for (const ExporterCase& c : ExporterCases) {
        auto name = names.find(c.headerFile);
        if (name == names.end()) continue;
        ClearRecords(store);
        Import(ExporterFile(c));
        ASSERT_EQ(1, RecordCount(store)) << c.headerFile;
        EXPECT_EQ(Gbk(name->second), Name(*RecordAt(store, 0))) << c.headerFile;
    }
}

TEST_F(CsvLayoutImport, ColumnsInAnyOrderMissingOrAdded) {
    // Google writes numbered groups only when they hold data; newer
    // versions add columns. Shuffled, thinned out and extended, the
    // Google header still imports, asking only about the title it does
    // not know.
    std::ifstream in(Interop / "headers" / "google-contacts-2023.txt", std::ios::binary);
    std::string header;
    std::getline(in, header);
    bool trailing = false;
    std::vector<std::string> titles = SplitHeader(header, trailing);
    std::mt19937 random(7);
    for (int round = 0; round < 5; ++round) {
        std::vector<std::string> kept;
        for (const std::string& title : titles) {
            bool essential = title == "Last Name" || title == "Phone 1 - Value" || title == "Phone 1 - Label";
            if (essential || random() % 3 > 0) kept.push_back(title);
        }
        kept.push_back("Phone 9 - Label");
        kept.push_back("Phone 9 - Value");
        kept.push_back("Some Future Column");
        std::shuffle(kept.begin(), kept.end(), random);
        std::string head, row;
        for (const std::string& title : kept) {
            if (!head.empty()) {
                head += ",";
                row += ",";
            }
            head += title;
            std::string cell = title == "Last Name"         ? "Z" + std::to_string(round)
                               : title == "Phone 9 - Label" ? "Mobile"
                               : title == "Phone 9 - Value" ? "555-0109"
                                                            : "";
            row += cell;
        }
        ClearRecords(store);
        WriteFileBytes(path, head + "\n" + row + "\n");
        std::vector<std::string> asked;
        ColumnMappingQuestion recording = {[](void* context, const std::string& title) {
                                               static_cast<std::vector<std::string>*>(context)->push_back(title);
                                               return ColumnMappingChoice{IgnoreColumn, NoField};
                                           },
                                           &asked};
        ASSERT_EQ(1, ImportCsvFile(path, store, groups, recording).imported);
        EXPECT_EQ(std::vector<std::string>{"Some Future Column"}, asked);
        EXPECT_EQ("555-0109", FieldValue(*RecordAt(store, 0), Mobile));
    }
}

TEST(CsvLayouts, RecognisesNoLayoutInCorvellesOwnOrUnknownTitles) {
    std::vector<std::string> own(CsvFieldTitles().begin(), CsvFieldTitles().end());
    EXPECT_EQ(nullptr, RecogniseCsvLayout(own));
    EXPECT_EQ(nullptr, RecogniseCsvLayout({"Name", "Email"}));
    EXPECT_EQ(nullptr, RecogniseCsvLayout({Gbk("姓"), Gbk("名"), "Phone", "Note"}));
    // Titles that Corvelle's own share with a layout do not make the layout.
    EXPECT_EQ(nullptr, RecogniseCsvLayout({Gbk("电话号码"), Gbk("姓"), Gbk("备注"), Gbk("名")}));
    // More than half unknown: no layout, the user is asked.
    EXPECT_EQ(nullptr, RecogniseCsvLayout({"First Name", "Last Name", "Birthday", "a", "b", "c", "d"}));
    const CsvLayout* google = RecogniseCsvLayout({"First Name", "Last Name", "Labels", "Phone 3 - Value"});
    ASSERT_NE(nullptr, google);
    EXPECT_STREQ("Google Contacts", google->name);
    // Spaces, quotes and letter case are no obstacle; titles are trimmed and unquoted by the reader.
    EXPECT_NE(nullptr, RecogniseCsvLayout({"first name", "LAST NAME", "e-mail 1 - value", ""}));
}

TEST(CsvDates, EnglishOutlookWritesTheMonthFirst) {
    BirthdayDate date = {};
    ASSERT_EQ(CsvDateReading::Date, ReadCsvDate("5/17/1990", true, date));
    EXPECT_EQ(1990, date.year);
    EXPECT_EQ(5, date.month);
    EXPECT_EQ(17, date.day);
    EXPECT_EQ(CsvDateReading::NotADate, ReadCsvDate("5/17/1990", false, date));
    EXPECT_EQ(CsvDateReading::NotADate, ReadCsvDate("17/5/1990", true, date));
    EXPECT_EQ(CsvDateReading::NoDate, ReadCsvDate("0/0/00", true, date));
    EXPECT_EQ(CsvDateReading::NoDate, ReadCsvDate("0/0/0000", false, date));
    EXPECT_EQ(CsvDateReading::NotADate, ReadCsvDate("1990-02-30", false, date));
    ASSERT_EQ(CsvDateReading::Date, ReadCsvDate("--02-29", false, date));  // no year: any leap day
    EXPECT_EQ(0, date.year);
    EXPECT_EQ(CsvDateReading::NotADate, ReadCsvDate("1990-5-17-1", false, date));
}

TEST_F(CsvLayoutImport, ThunderbirdsOwnTestFiles) {
    ASSERT_EQ(2, ImportShared("unit_data_export.csv").imported);
    EXPECT_EQ("one", FieldValue(*RecordAt(store, 0), Surname));
    EXPECT_EQ("contact", FieldValue(*RecordAt(store, 0), GivenName));
    EXPECT_EQ("contact2@invalid", FieldValue(*RecordAt(store, 1), Email));
    EXPECT_EQ("\"worker\"", FieldValue(*RecordAt(store, 1), JobTitle));

    // A trailing comma, and the same contact in UTF-16.
    ClearRecords(store);
    ASSERT_EQ(1, ImportShared("unit_resources_basic_addressbook.csv").imported);
    EXPECT_EQ(0, ImportShared("unit_resources_utf16_addressbook.csv").imported);
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("johndoe@host.invalid", FieldValue(*RecordAt(store, 0), Email));
    EXPECT_EQ("Doe", FieldValue(*RecordAt(store, 0), Surname));

    // Every cell quoted, a company without a person.
    ClearRecords(store);
    ASSERT_EQ(1, ImportShared("unit_resources_quote.csv").imported);
    EXPECT_EQ("Acer America", FieldValue(*RecordAt(store, 0), Company));
    EXPECT_EQ("(800) 000-0000", FieldValue(*RecordAt(store, 0), WorkPhone));
    EXPECT_EQ("Acer America", Name(*RecordAt(store, 0)));

    ClearRecords(store);
    EXPECT_EQ(2, ImportShared("unit_resources_basic_csv_addressbook.csv").imported);
    // Shift_JIS is no encoding Corvelle reads: the contact comes, its text garbled.
    EXPECT_EQ(1, ImportShared("unit_resources_shiftjis_addressbook.csv").imported);

    // Separated by semicolons.
    ClearRecords(store);
    ASSERT_EQ(2, ImportShared("unit_resources_csv_semicolon.csv").imported);
    EXPECT_EQ("Doe", FieldValue(*RecordAt(store, 1), Surname));
    EXPECT_EQ("Jane", FieldValue(*RecordAt(store, 1), GivenName));
    EXPECT_EQ("jane@doe.invalid", FieldValue(*RecordAt(store, 1), Email));
}
