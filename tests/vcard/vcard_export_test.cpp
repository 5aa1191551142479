#include <gtest/gtest.h>

#include <set>
#include <string>

#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "test_support.h"
#include "vcard/batch_import.h"
#include "vcard/vcard_export.h"
#include "vcard/vcard_writer.h"

namespace {

std::string FileNameOf(const ContactRecord& record) { return PathToGbk(VcardFileName(record)); }

class VcardExport : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString directory = folder.Path("out");
    ContactStore store;

    void SetUp() override { std::filesystem::create_directory(std::filesystem::path(directory)); }

    ContactRecord* Add(const std::string& surname, const std::string& givenName, bool ticked = false) {
        ContactRecord* record = AppendRecord(store, Person(surname, givenName));
        record->CheckFlag = ticked ? 1 : 0;
        return record;
    }
    // The names in the directory, as GBK, in name order.
    std::set<std::string> Files() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(directory))) {
            names.insert(PathToGbk(entry.path().filename().native()));
        }
        return names;
    }
    std::string FileText(const std::string& gbkName) {
        return ReadFileBytes(JoinPath(directory, PathFromGbk(gbkName)));
    }
};

}  // namespace

TEST(VcardFileName, IsSurnameAndGivenName) {
    EXPECT_EQ(Gbk("张三.vcf"), FileNameOf(Person(Gbk("张"), Gbk("三"))));
    EXPECT_EQ("Li.vcf", FileNameOf(Person("Li")));
    EXPECT_EQ(".vcf", FileNameOf(Person("")));
}

TEST(VcardFileName, ForbiddenCharactersBecomeUnderscores) {
    EXPECT_EQ("a_b_c_d_e_f_g_h__i.vcf", FileNameOf(Person("a\\b/c:d*e", "?f\"g<h>|i")));
    EXPECT_EQ(".._.._x.vcf", FileNameOf(Person("../..", "\\x")));
    EXPECT_EQ("a_b_c.vcf", FileNameOf(Person("a\tb", "\x7F" "c")));
    // The second byte of a GBK character may be "\" or "|": the character stays.
    std::string withBackslash = "\x95\x5C";
    std::string withBar = "\x95\x7C";
    EXPECT_EQ(withBackslash + withBar + ".vcf", FileNameOf(Person(withBackslash, withBar)));
}

TEST(VcardFileName, DeviceNamesGetALeadingUnderscore) {
    EXPECT_EQ("_CON.vcf", FileNameOf(Person("CON")));
    EXPECT_EQ("_nul.vcf", FileNameOf(Person("n", "ul")));
    EXPECT_EQ("_com1.x.vcf", FileNameOf(Person("com1.x")));
    EXPECT_EQ("_LPT9 .vcf", FileNameOf(Person("LPT9 ")));
    EXPECT_EQ("Console.vcf", FileNameOf(Person("Console")));
    EXPECT_EQ("COM.vcf", FileNameOf(Person("COM")));
    EXPECT_EQ("COM10.vcf", FileNameOf(Person("COM10")));
}

TEST(UniqueFileName, NumbersLaterNamesRegardlessOfCase) {
    std::set<PathString> used;
    auto unique = [&](const std::string& name) { return PathToGbk(UniqueFileName(PathFromGbk(name), used)); };
    EXPECT_EQ(Gbk("张三.vcf"), unique(Gbk("张三.vcf")));
    EXPECT_EQ(Gbk("张三(2).vcf"), unique(Gbk("张三.vcf")));
    EXPECT_EQ(Gbk("张三(3).vcf"), unique(Gbk("张三.vcf")));
    EXPECT_EQ(Gbk("张三(2)(2).vcf"), unique(Gbk("张三(2).vcf")));
    EXPECT_EQ("Li.vcf", unique("Li.vcf"));
    EXPECT_EQ("LI(2).vcf", unique("LI.vcf"));
    EXPECT_EQ("li(3).vcf", unique("li.vcf"));
}

TEST_F(VcardExport, WritesOneFilePerContactInScope) {
    Add(Gbk("张"), Gbk("三"), true);
    Add(Gbk("李"), Gbk("四"));
    Add("Wang", "Wu", true);
    EXPECT_TRUE(AnyRecordTicked(store));

    VcardExportResult ticked = ExportVcardFiles(store, directory, Utf8Qp, ExportTicked);
    EXPECT_EQ(2, ticked.written);
    EXPECT_EQ(0, ticked.failed);
    EXPECT_EQ(std::set<std::string>({Gbk("张三.vcf"), "WangWu.vcf"}), Files());
    const ContactDetails* first = &DetailsOf(store, RecordAt(store, 0));
    EXPECT_EQ(VcardFileText(*RecordAt(store, 0), Utf8Qp, nullptr, first), FileText(Gbk("张三.vcf")));

    VcardExportResult all = ExportVcardFiles(store, directory, Plain, ExportAll);
    EXPECT_EQ(3, all.written);
    EXPECT_EQ(std::set<std::string>({Gbk("张三.vcf"), Gbk("李四.vcf"), "WangWu.vcf"}), Files());
    // The earlier file was replaced.
    EXPECT_EQ(VcardFileText(*RecordAt(store, 0), Plain, nullptr, first), FileText(Gbk("张三.vcf")));
}

TEST_F(VcardExport, NothingTickedExportsNothingInTickedScope) {
    Add("Li", "Lei");
    EXPECT_FALSE(AnyRecordTicked(store));
    VcardExportResult result = ExportVcardFiles(store, directory, Plain, ExportTicked);
    EXPECT_EQ(0, result.written);
    EXPECT_TRUE(Files().empty());
    // Hidden contacts are exported too.
    RecordAt(store, 0)->ShownFlag = 0;
    EXPECT_EQ(1, ExportVcardFiles(store, directory, Plain, ExportAll).written);
}

TEST_F(VcardExport, ContactsWithTheSameNameGetFilesOfTheirOwn) {
    Add(Gbk("张"), Gbk("三"));
    SetField(*Add(Gbk("张三"), ""), Mobile, "2");
    SetField(*Add(Gbk("张"), Gbk("三")), Mobile, "3");
    EXPECT_EQ(3, ExportVcardFiles(store, directory, Plain, ExportAll).written);
    EXPECT_EQ(std::set<std::string>({Gbk("张三.vcf"), Gbk("张三(2).vcf"), Gbk("张三(3).vcf")}), Files());
    EXPECT_NE(std::string::npos, FileText(Gbk("张三(3).vcf")).find("TEL;CELL:3\r\n"));
    // A second export writes the same names again, replacing them.
    EXPECT_EQ(3, ExportVcardFiles(store, directory, Plain, ExportAll).written);
    EXPECT_EQ(3u, Files().size());
}

TEST_F(VcardExport, NoNameReachesOutsideTheDirectory) {
    Add("..", "/escape");
    Add("C:", "\\x");
    EXPECT_EQ(2, ExportVcardFiles(store, directory, Plain, ExportAll).written);
    EXPECT_EQ(std::set<std::string>({".._escape.vcf", "C__x.vcf"}), Files());
}

TEST_F(VcardExport, AnEmptyDirectoryOrAnEmptyStoreExportsNothing) {
    Add("Li", "Lei");
    CurrentDirectoryScope inFolder(folder.Root());
    VcardExportResult result = ExportVcardFiles(store, PathString(), Plain, ExportAll);
    EXPECT_EQ(0, result.written);
    EXPECT_EQ(0, result.failed);
    EXPECT_FALSE(FileExists(folder.Path("LiLei.vcf")));
    ContactStore empty;
    result = ExportVcardFiles(empty, directory, Plain, ExportAll);
    EXPECT_EQ(0, result.written + result.failed);
}

TEST_F(VcardExport, FilesThatCannotBeWrittenAreCounted) {
    Add("Li", "Lei");
    Add("Han", "Meimei");
    VcardExportResult result = ExportVcardFiles(store, folder.Path("missing"), Plain, ExportAll);
    EXPECT_EQ(0, result.written);
    EXPECT_EQ(2, result.failed);
    // A directory in the way of a file.
    std::filesystem::create_directory(std::filesystem::path(JoinPath(directory, PathFromAscii("LiLei.vcf"))));
    result = ExportVcardFiles(store, directory, Plain, ExportAll);
    EXPECT_EQ(1, result.written);
    EXPECT_EQ(1, result.failed);
}

TEST_F(VcardExport, APathTooLongIsSkippedNeverCut) {
    // A directory whose path leaves room for "Li.vcf" (250 bytes in all)
    // but not for "Liabcdefghi.vcf" (259 bytes).
    size_t subLength = 250 - PathToGbk(directory).size() - std::string("/d/Li.vcf").size() + 1;
    PathString deep = JoinPath(directory, PathFromAscii(std::string(subLength, 'd').c_str()));
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(deep)));
    ASSERT_EQ(250u, PathToGbk(JoinPath(deep, PathFromAscii("Li.vcf"))).size());

    Add("Li", "");
    Add("Li", "abcdefghi");
    VcardExportResult result = ExportVcardFiles(store, deep, Plain, ExportAll);
    EXPECT_EQ(1, result.written);
    EXPECT_EQ(1, result.failed);
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(deep))) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(std::set<std::string>({"Li.vcf"}), names);
}

TEST_F(VcardExport, ExportedFilesImportBackInStoreOrder) {
    for (const char* name : {"Zhao", "Qian", "Sun", "Li"}) Add(name, "X");
    ASSERT_EQ(4, ExportVcardFiles(store, directory, UnicodeQp, ExportAll).written);
    Document book;
    ContactStore& read = book.contacts;
    VcardImportResult result = ImportVcardDirectory(directory, book);
    EXPECT_EQ(4, result.imported);
    EXPECT_EQ(4, result.filesRead);
    // Name order: Li, Qian, Sun, Zhao.
    EXPECT_EQ("Li", FieldValue(*RecordAt(read, 0), Surname));
    EXPECT_EQ("Zhao", FieldValue(*RecordAt(read, 3), Surname));
}

// Every export of a book, vCard in each encoding (a file per contact, and
// all in one file) and CSV, imported into the same book adds nothing:
// contacts in any group, a given name alone or no name, partial birthdays.
TEST(ExportsImportedAgain, AddNothingToTheBookTheyCameFrom) {
    Document book = NewDocument();
    ContactStore& store = book.contacts;
    AppendRecord(store, Record({{Surname, Gbk("张")}, {GivenName, Gbk("三")}, {Mobile, "13800000000"}}));
    ContactRecord filled = FilledRecord();
    filled.GroupIndex = 1;
    AppendRecord(store, filled);
    ContactRecord friendOf = Record({{Surname, "Doe"}, {GivenName, "John Paul"}, {Email, "john@example.com"},
                                     {Nickname, "JP"}, {BirthMonth, "4"}, {BirthDay, "22"}});
    friendOf.GroupIndex = 2;
    AppendRecord(store, friendOf);
    ContactRecord aunt = Record({{GivenName, Gbk("大姑姑")}, {BirthYear, "1990"}, {BirthMonth, "5"}});
    aunt.GroupIndex = 3;
    AppendRecord(store, aunt);
    ContactRecord unnamed = Record({{HomePhone, "010-1"}, {BirthDay, "9"}});
    unnamed.GroupIndex = 4;
    AppendRecord(store, unnamed);
    const int count = RecordCount(store);

    ScratchFolder folder;
    for (VcardEncoding encoding : {Plain, UnicodeQp, Utf8Qp}) {
        PathString directory = folder.Path("cards" + std::to_string(encoding));
        std::filesystem::create_directory(std::filesystem::path(directory));
        ASSERT_EQ(count, ExportVcardFiles(store, directory, encoding, ExportAll, &book.groups).written);
        VcardImportResult files = ImportVcardDirectory(directory, book);
        EXPECT_EQ(0, files.imported) << "encoding " << encoding;
        EXPECT_EQ(count, files.duplicates) << "encoding " << encoding;
        PathString oneFile = folder.Path("all" + std::to_string(encoding) + ".vcf");
        ASSERT_TRUE(WriteVcardCardsFile(oneFile, store, encoding, &book.groups));
        EXPECT_EQ(0, ReadVcardFile(oneFile, book).imported) << "encoding " << encoding;
    }
    PathString csv = folder.Path("all.csv");
    ASSERT_TRUE(ExportCsvFile(csv, store, false));
    CsvImportResult fromCsv = ImportCsvFile(csv, store, book.groups, ColumnMappingQuestion{nullptr, nullptr});
    EXPECT_EQ(0, fromCsv.imported);
    EXPECT_EQ(count, fromCsv.duplicates);
    EXPECT_EQ(count, RecordCount(store));
    EXPECT_EQ(5, GroupCount(book.groups));
}

// Progress hears each file before it is written; a cancel keeps those written.
TEST_F(VcardExport, ProgressCountsTheFilesAndACancelKeepsThoseWritten) {
    Add("A", "1", true);
    Add("B", "2");
    Add("C", "3", true);
    Add("D", "4", true);
    std::string heard;
    VcardExportResult result = ExportVcardFiles(store, directory, Plain, ExportTicked, nullptr, [&](int done, int total) {
        heard += std::to_string(done) + "/" + std::to_string(total) + " ";
        return done < 2;
    });
    EXPECT_EQ("0/3 1/3 2/3 ", heard);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(2, result.written);
    EXPECT_EQ((std::set<std::string>{"A1.vcf", "C3.vcf"}), Files());
}

// A book of several megabytes is written a part at a time; the file is
// still every card in store order, each with its own details and an id
// made for a contact that had none.
TEST(VcardCardsFile, ALargeBookIsEveryCardInOrder) {
    Document book = NewDocument();
    ContactStore& store = book.contacts;
    for (int i = 0; i < 3000; ++i) {
        ContactRecord record = FilledRecord();
        SetField(record, Surname, "S" + std::to_string(i));
        ContactDetails details;  // most without an id, which the export makes
        if (i % 3 == 0) details.items.push_back(MakeItem(ItemKind::Note, "", "note " + std::to_string(i)));
        AppendContact(store, record, std::move(details));
    }
    ScratchFolder folder;
    PathString path = folder.Path("all.vcf");
    for (VcardEncoding encoding : {Plain, Utf8Qp}) {
        ASSERT_TRUE(WriteVcardCardsFile(path, store, encoding, &book.groups));
        EXPECT_EQ(store.records.size(), store.details.size());
        std::string expected;
        for (const auto& record : store.records) {
            expected += VcardFileText(*record, encoding, &book.groups, &DetailsOf(store, record.get())) + "\r\n";
        }
        EXPECT_TRUE(ReadFileBytes(path) == expected) << "encoding " << encoding;
    }
}
