#include <gtest/gtest.h>

#include <filesystem>

#include "csv/csv_format.h"
#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "test_support.h"

namespace {

std::string HeaderLine() {
    return Gbk("姓,名,性别,出生年,出生月,出生日,QQ,邮箱,手机,昵称,住宅：国家,住宅：省,住宅：市,住宅：街道,"
               "住宅：邮编,住宅：电话,住宅：传真,工作：国家,工作：省,工作：市,工作：街道,工作：邮编,工作：电话,"
               "工作：传真,公司,部门,职务\r\n");
}

ColumnMappingChoice FailIfAsked(void*, const std::string& title) {
    ADD_FAILURE() << "asked about " << title;
    return ColumnMappingChoice{IgnoreColumn, NoField};
}

// Every text field holds a distinct value of up to 49 bytes (the longest
// a cell brings back), the birthday as the editor writes it.
ContactRecord FullRecord(int gender) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (!info.isText) continue;
        std::string value = Gbk("张") + std::to_string(f) + std::string(60, 'v');
        SetField(record, info.field, value.substr(0, std::min(info.width - 1, 49)));
    }
    SetField(record, BirthYear, "1985");
    SetField(record, BirthMonth, "3");
    SetField(record, BirthDay, "7");
    record.Gender = gender;
    record.GroupIndex = 0;
    return record;
}

class CsvExport : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("out.csv");
    ContactStore store;

    std::string Export(bool onlyTicked) {
        EXPECT_TRUE(ExportCsvFile(path, store, onlyTicked));
        return ReadFileBytes(path);
    }
};

}  // namespace

TEST_F(CsvExport, AnEmptyStoreWritesTheHeaderAlone) {
    EXPECT_EQ(HeaderLine(), Export(false));
    EXPECT_EQ(HeaderLine(), Export(true));
}

TEST_F(CsvExport, EveryLineHasTwentySevenCells) {
    AppendRecord(store, Person(Gbk("张")));
    EXPECT_EQ(HeaderLine() + Gbk("张,,男") + std::string(24, ',') + "\r\n", Export(false));
}

TEST_F(CsvExport, OnlyTheTickedContactsWhateverTheListShows) {
    for (const char* name : {"a", "b", "c", "d"}) AppendRecord(store, Person(name));
    RecordAt(store, 1)->CheckFlag = 1;  // ticked but filtered out of the list
    RecordAt(store, 2)->CheckFlag = 2;  // only 1 counts as ticked
    RecordAt(store, 2)->ShownFlag = 1;
    RecordAt(store, 3)->CheckFlag = 1;
    RecordAt(store, 3)->ShownFlag = 1;
    std::string rest = Gbk(",,男") + std::string(24, ',') + "\r\n";
    EXPECT_EQ(HeaderLine() + "b" + rest + "d" + rest, Export(true));
    EXPECT_EQ(HeaderLine() + "a" + rest + "b" + rest + "c" + rest + "d" + rest, Export(false));
}

TEST(CsvCellText, GenderBirthdayAndCut) {
    ContactRecord record = Person("x");
    record.Gender = 1;
    EXPECT_EQ(Gbk("女"), CsvCellText(Gender, record));
    record.Gender = 2;  // shown as female in the list, but only 1 is written as 女
    EXPECT_EQ(Gbk("男"), CsvCellText(Gender, record));

    SetField(record, BirthYear, "1985");
    SetField(record, BirthMonth, "03");
    EXPECT_EQ("1985", CsvCellText(BirthYear, record));
    EXPECT_EQ("03", CsvCellText(BirthMonth, record));
    EXPECT_EQ("", CsvCellText(BirthDay, record));

    SetField(record, Email, std::string(127, 'e'));
    EXPECT_EQ(std::string(127, 'e'), CsvCellText(Email, record));
    SetField(record, Company, Gbk("张三李"));
    EXPECT_EQ(Gbk("张三"), CsvCellText(Company, record, 6));
    EXPECT_EQ("", CsvCellText(Company, record, 0));
}

TEST(CsvQuotedCell, QuotesWhatWouldSplitOrBeTrimmed) {
    for (const char* text : {"", "plain", "a;b=c\\d 'e' f", "ab\tc", "张三 李四"}) {
        EXPECT_EQ(Gbk(text), CsvQuotedCell(Gbk(text))) << text;
    }
    EXPECT_EQ("\"a,b\"", CsvQuotedCell("a,b"));
    EXPECT_EQ("\"say \"\"hi\"\"\"", CsvQuotedCell("say \"hi\""));
    EXPECT_EQ("\"\"\"\"", CsvQuotedCell("\""));
    EXPECT_EQ("\"1\r\n2\"", CsvQuotedCell("1\r\n2"));
    EXPECT_EQ("\"1\r2\"", CsvQuotedCell("1\r2"));
    EXPECT_EQ("\" x\"", CsvQuotedCell(" x"));
    EXPECT_EQ("\"y \"", CsvQuotedCell("y "));
    EXPECT_EQ("\" \"", CsvQuotedCell(" "));
}

TEST_F(CsvExport, TheWidestEmailAddressIsWrittenWhole) {
    ContactRecord record = Person("a,b");
    const std::string email = std::string(122, 'e') + ",tail";  // all the field's 127 bytes
    SetField(record, Email, email);
    AppendRecord(store, record);
    std::string rest = ",\"" + email + "\"" + std::string(19, ',') + "\r\n";
    EXPECT_EQ(HeaderLine() + Gbk("\"a,b\",,男,,,,") + rest, Export(false));
}

TEST_F(CsvExport, ImportsAgainWithoutAQuestion) {
    AppendRecord(store, FullRecord(1));
    AppendRecord(store, FullRecord(0));
    AppendRecord(store, Person(Gbk("李")));
    ASSERT_TRUE(ExportCsvFile(path, store, false));

    ContactStore again;
    GroupList groups;
    CsvImportResult result = ImportCsvFile(path, again, groups, ColumnMappingQuestion{FailIfAsked, nullptr});
    EXPECT_EQ(3, result.imported);
    ASSERT_EQ(3, RecordCount(again));
    for (int n = 0; n < 3; ++n) {
        const ContactRecord& before = *RecordAt(store, n);
        const ContactRecord& after = *RecordAt(again, n);
        EXPECT_EQ(before.Gender, after.Gender);
        for (int f = 0; f < ContactFieldCount; ++f) {
            if (!FieldInfo(f).isText) continue;
            EXPECT_EQ(FieldValue(before, FieldInfo(f).field), FieldValue(after, FieldInfo(f).field)) << n << " " << f;
        }
    }
}

TEST_F(CsvExport, AFailedWriteKeepsTheOldFile) {
    WriteFileBytes(path, "old");
    AppendRecord(store, Person("a"));
    // The file cannot even be opened: a folder stands where it would be made.
    std::filesystem::create_directory(std::filesystem::path(path + PathFromAscii(".saving")));
    EXPECT_FALSE(ExportCsvFile(path, store, false));
    EXPECT_EQ("old", ReadFileBytes(path));
    EXPECT_FALSE(ExportCsvFile(folder.Path(""), store, false));
}

#ifndef _WIN32
TEST_F(CsvExport, AWriteThatFailsAfterTheOpenIsReported) {
    WriteFileBytes(path, "old");
    AppendRecord(store, Person("a"));
    // Every write to /dev/full fails for want of space.
    std::filesystem::create_symlink("/dev/full", std::filesystem::path(path + ".saving"));
    EXPECT_FALSE(ExportCsvFile(path, store, false));
    EXPECT_EQ("old", ReadFileBytes(path));
}
#endif
