#include <gtest/gtest.h>

#include <random>
#include <string>

#include "test_support.h"
#include "vcard/vcard_reader.h"

namespace {

// A card of the given lines, each ended by CR LF.
std::string Card(std::initializer_list<std::string> lines) {
    std::string text = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text + "END:VCARD\r\n";
}

// The card that the lines build, as ParseVcardLine leaves it.
ContactRecord Parsed(std::initializer_list<std::string> lines) {
    ContactRecord card = EmptyRecord();
    for (const std::string& line : lines) ParseVcardLine(line.c_str(), card);
    return card;
}

class VcardReader : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("cards.vcf");
    ContactStore store;

    VcardImportResult Import(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        return ReadVcardFile(path, store);
    }
    std::string Field(int n, ContactField field) { return FieldValue(*RecordAt(store, n), field); }
};

}  // namespace

TEST_F(VcardReader, ImportsEachNamedCardAsANewRecordOfGroupZero) {
    VcardImportResult result = Import(Card({Gbk("N:张;三"), "TEL;CELL:13800000000"}) + Card({Gbk("FN:李四")}));
    EXPECT_EQ(1, result.imported);
    EXPECT_EQ(1, result.filesRead);
    ASSERT_EQ(1, RecordCount(store));
    const ContactRecord& record = *RecordAt(store, 0);
    EXPECT_EQ(Gbk("张"), Field(0, Surname));
    EXPECT_EQ(Gbk("三"), Field(0, GivenName));
    EXPECT_EQ("13800000000", Field(0, Mobile));
    EXPECT_EQ(0, record.GroupIndex);
    EXPECT_EQ(0, record.Gender);
    EXPECT_EQ(0, record.CheckFlag);
    EXPECT_EQ("", Field(0, Email));
}

TEST(ParseVcardLine, NameKeepsTheRestOfAPlainValue) {
    ContactRecord card = Parsed({"N:Zhang;San;;;"});
    EXPECT_EQ("Zhang", FieldValue(card, Surname));
    EXPECT_EQ("San;;;", FieldValue(card, GivenName));
    card = Parsed({"N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Zhang;San;;;"});
    EXPECT_EQ("San", FieldValue(card, GivenName));
    card = Parsed({"N;ENCODING=QUOTED-PRINTABLE:Zhang;San;;;"});
    EXPECT_EQ("San", FieldValue(card, GivenName));
}

TEST(ParseVcardLine, DecodesBothQuotedPrintableForms) {
    for (const char* line : {"N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=A0;=E4=B8=89",
                             "N;ENCODING=QUOTED-PRINTABLE:=FF=D5=FF=C5;=FF=C8=FF=FD"}) {
        ContactRecord card = Parsed({line});
        EXPECT_EQ(Gbk("张"), FieldValue(card, Surname)) << line;
        EXPECT_EQ(Gbk("三"), FieldValue(card, GivenName)) << line;
    }
    ContactRecord card = Parsed({"ORG;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=3B;=E4=B8=89"});
    EXPECT_EQ(Gbk("张;"), FieldValue(card, Company));  // an escaped ";" never splits
    EXPECT_EQ(Gbk("三"), FieldValue(card, Department));
}

TEST(ParseVcardLine, AnEscapeCutShortAtTheEndLeavesTheRestOut) {
    ContactRecord card = Parsed({"N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=A0;=E4=B8=8"});
    EXPECT_EQ(Gbk("张"), FieldValue(card, Surname));
    EXPECT_EQ("", FieldValue(card, GivenName));
    card = Parsed({"TITLE;ENCODING=QUOTED-PRINTABLE:ab=FF=C"});
    EXPECT_EQ("ab", FieldValue(card, JobTitle));
}

TEST(ParseVcardLine, NamesMatchInUpperCaseAsWholeWords) {
    ContactRecord lower = EmptyRecord();
    EXPECT_EQ(0, ParseVcardLine("n:Zhang", lower));
    ContactRecord card = Parsed({"NICKNAME:Xiao", "NOTE:x", "TELEX:1", "N;LANGUAGE=zh:Li;Lei"});
    EXPECT_EQ("Xiao", FieldValue(card, Nickname));
    EXPECT_EQ("Li", FieldValue(card, Surname));
    EXPECT_EQ("Lei", FieldValue(card, GivenName));
    EXPECT_EQ("", FieldValue(card, WorkPhone));
    ContactRecord other = EmptyRecord();
    EXPECT_EQ(0, ParseVcardLine("X-QQ", other));  // no ":" and so no value
    EXPECT_EQ(0, ParseVcardLine("FN:Li Lei", other));
    EXPECT_EQ(1, ParseVcardLine("X-QQ:10001", other));
    EXPECT_EQ("10001", FieldValue(other, QQNumber));
}

TEST(ParseVcardLine, TelephoneTypesChooseTheField) {
    ContactRecord card = Parsed({"TEL;WORK:1", "TEL;WORK;FAX:2", "TEL;HOME:3", "TEL;HOME;FAX:4", "TEL;CELL:5",
                                 "TEL;VOICE:7", "TEL:8"});
    EXPECT_EQ("1", FieldValue(card, WorkPhone));
    EXPECT_EQ("2", FieldValue(card, WorkFax));
    EXPECT_EQ("3", FieldValue(card, HomePhone));
    EXPECT_EQ("4", FieldValue(card, HomeFax));
    EXPECT_EQ("5", FieldValue(card, Mobile));
    card = Parsed({"TEL;FAX:6", "TEL;TYPE=CELL:9", "TEL;WORK:"});
    EXPECT_EQ("6", FieldValue(card, WorkFax));
    EXPECT_EQ("9", FieldValue(card, Mobile));
    ContactRecord ignored = EmptyRecord();
    EXPECT_EQ(0, ParseVcardLine("TEL;VOICE:7", ignored));
    EXPECT_EQ(0, ParseVcardLine("TEL:8", ignored));
}

TEST(ParseVcardLine, AnEmptyValueNeverClearsAField) {
    ContactRecord card = Parsed({"TEL;WORK:010-1", "TEL;WORK:", "N:Li;Lei", "N:"});
    EXPECT_EQ("010-1", FieldValue(card, WorkPhone));
    EXPECT_EQ("Li", FieldValue(card, Surname));
}

TEST(ParseVcardLine, AddressesFillFiveFieldsInOrder) {
    ContactRecord card = Parsed({"ADR;HOME:;;Main St 1;Springfield;Hebei;050000;China", "ADR:;;a;b;c;d;e;f"});
    EXPECT_EQ("Main St 1", FieldValue(card, HomeStreet));
    EXPECT_EQ("Springfield", FieldValue(card, HomeCity));
    EXPECT_EQ("Hebei", FieldValue(card, HomeProvince));
    EXPECT_EQ("050000", FieldValue(card, HomePostcode));
    EXPECT_EQ("China", FieldValue(card, HomeCountry));
    EXPECT_EQ("a", FieldValue(card, WorkStreet));
    EXPECT_EQ("e;f", FieldValue(card, WorkCountry));
    // Missing components are empty, so the whole address is replaced.
    card = Parsed({"ADR;WORK;POSTAL:;;x;y;z;1;c", "ADR;PARCEL:pobox;ext;street"});
    EXPECT_EQ("street", FieldValue(card, WorkStreet));
    EXPECT_EQ("", FieldValue(card, WorkCity));
    EXPECT_EQ("", FieldValue(card, WorkCountry));
}

TEST(ParseVcardLine, Birthdays) {
    struct Case {
        const char* line;
        const char* year;
        const char* month;
        const char* day;
    } cases[] = {
        {"BDAY:1990-05-17", "1990", "05", "17"},
        {"BDAY:1990-5-7", "1990", "5", "7"},  // as the export writes single-digit days
        {"BDAY:1990-05", "1990", "05", "1"},
        {"BDAY:1990-05-", "1990", "05", "1"},
        {"BDAY:1990-05-17T08:00:00", "1990", "05", "17"},
        {"BDAY:1990-5-7T08:00:00", "1990", "5", "7"},
        {"BDAY:--", "", "", ""},  // an empty birthday, as the export writes it
        {"BDAY:19900517", "1990", "", "1"},
        {"BDAY:1990-123-4567", "1990", "12", "45"},
    };
    for (const Case& c : cases) {
        ContactRecord card = Parsed({c.line});
        EXPECT_EQ(c.year, FieldValue(card, BirthYear)) << c.line;
        EXPECT_EQ(c.month, FieldValue(card, BirthMonth)) << c.line;
        EXPECT_EQ(c.day, FieldValue(card, BirthDay)) << c.line;
        EXPECT_EQ("", FieldValue(card, QQNumber)) << c.line;  // the neighbour after BirthDay
    }
}

TEST(ParseVcardLine, Gender) {
    EXPECT_EQ(1, Parsed({"X-WAB-GENDER:1"}).Gender);
    EXPECT_EQ(0, Parsed({"X-WAB-GENDER:2"}).Gender);
    EXPECT_EQ(0, Parsed({"X-WAB-GENDER:1", "X-WAB-GENDER:female"}).Gender);
    EXPECT_EQ(1, Parsed({"X-WAB-GENDER;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=31"}).Gender);
}

TEST(ParseVcardLine, LongValuesAreCutAtAWholeCharacter) {
    std::string company;
    for (int i = 0; i < 20; ++i) company += Gbk("公");  // 40 bytes for a 30-byte field
    ContactRecord card = Parsed({"ORG:" + company + ";" + Gbk("部门"), "TITLE:" + std::string(300, 't')});
    EXPECT_EQ(company.substr(0, 28), FieldValue(card, Company));
    EXPECT_EQ(Gbk("部门"), FieldValue(card, Department));
    EXPECT_EQ(std::string(13, 't'), FieldValue(card, JobTitle));
    // A half character at the cut is left out, never kept as a lone lead byte.
    card = Parsed({"N:a" + Gbk("张三四五")});  // 9 bytes fit: a and four halves
    EXPECT_EQ("a" + Gbk("张三四五"), FieldValue(card, Surname));
    card = Parsed({"N:ab" + Gbk("张三四五")});
    EXPECT_EQ("ab" + Gbk("张三四"), FieldValue(card, Surname));
}

TEST(ParseVcardLine, OverlongPartsStayInTheirBuffers) {
    ContactRecord card = Parsed({"N" + std::string(300, ';') + ":Li;Lei", "EMAIL:" + std::string(304, 'e')});
    // The property part is cut to 255 bytes; the value still starts behind the first ":".
    EXPECT_EQ("Li", FieldValue(card, Surname));
    EXPECT_EQ("Lei", FieldValue(card, GivenName));
    EXPECT_EQ(std::string(127, 'e'), FieldValue(card, Email));
    EXPECT_EQ("", FieldValue(card, Mobile));
}

TEST_F(VcardReader, LinesAndCardsAreReadOneAtATime) {
    // A card without a name is dropped, whatever else it holds; a second
    // BEGIN:VCARD goes on with the card being built.
    VcardImportResult result = Import(Card({"TEL;CELL:1", "EMAIL:x@y"}) +
                                      Card({"N:Li;Lei", "BEGIN:VCARD", "X-QQ:5", "  TEL;CELL:2  "}) +
                                      "begin:vcard\r\nN:Wang;Wu\r\nend:vcard\r\n");
    EXPECT_EQ(1, result.imported);
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("5", Field(0, QQNumber));
    EXPECT_EQ("2", Field(0, Mobile));
}

TEST_F(VcardReader, AnUnfinishedCardIsDroppedAndTheEarlierOnesStay) {
    VcardImportResult result = Import(Card({"N:Li;Lei"}) + "BEGIN:VCARD\r\nN:Cut;Off\r\nTEL;CELL:1");
    EXPECT_EQ(1, result.imported);
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("Li", Field(0, Surname));
}

TEST_F(VcardReader, ALongPhysicalLineIsReadAsSeveral) {
    // 311 bytes make the first line; the rest is a line of its own.
    std::string longLine = "EMAIL:" + std::string(305, 'a') + "X-QQ:12345";
    Import(Card({"N:Li;Lei", longLine}));
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ(std::string(127, 'a'), Field(0, Email));
    EXPECT_EQ("12345", Field(0, QQNumber));
}

TEST_F(VcardReader, AcceptsEveryLineEnd) {
    Import("BEGIN:VCARD\nN:Li;Lei\nEND:VCARD\n"
           "BEGIN:VCARD\rN:Wang;Wu\rTEL;CELL:1\rEND:VCARD\r"
           "BEGIN:VCARD\r\r\nN:Zhao;Liu\r\n\r\nEND:VCARD");
    ASSERT_EQ(3, RecordCount(store));
    EXPECT_EQ("Lei", Field(0, GivenName));
    EXPECT_EQ("Wu", Field(1, GivenName));
    EXPECT_EQ("1", Field(1, Mobile));
    EXPECT_EQ("Liu", Field(2, GivenName));
}

TEST_F(VcardReader, LinesAndLineEndsThatCrossTheReadersBlocksAreWhole) {
    // The file is read in blocks of 4,096 bytes: padding lines of every
    // length move each CR LF, and each card, across a block's end.
    std::string bytes;
    int cards = 0;
    for (int pad = 0; bytes.size() < 3 * 4096; ++pad, ++cards) {
        bytes += Card({"X-PAD:" + std::string(pad % 200, 'p'), "N:Li;" + std::to_string(cards), "TEL;CELL:7"});
    }
    Import(bytes);
    ASSERT_EQ(cards, RecordCount(store));
    for (int n = 0; n < cards; ++n) {
        ASSERT_EQ(std::to_string(n), Field(n, GivenName));
        ASSERT_EQ("7", Field(n, Mobile));
    }
}

TEST_F(VcardReader, AMissingFileOrOneWithoutCardsImportsNothing) {
    VcardImportResult missing = ReadVcardFile(folder.Path("none.vcf"), store);
    EXPECT_EQ(1, missing.filesUnreadable);
    EXPECT_EQ(0, missing.filesRead);
    VcardImportResult empty = Import("");
    EXPECT_EQ(1, empty.filesRead);
    EXPECT_EQ(0, empty.imported);
    VcardImportResult directory = ReadVcardFile(PathString(folder.Root().native()), store);
    EXPECT_EQ(0, directory.imported);
    EXPECT_EQ(0, RecordCount(store));
}

TEST_F(VcardReader, DamagedFilesAreReadSafely) {
    std::string damaged = Card({std::string("N:Li\0Lei", 8), "TEL;CELL:\xFF\xFE\x81", std::string(700, ':'),
                                "ADR;HOME:" + std::string(400, ';'), "BDAY:-", "BDAY:" + std::string(300, '-')});
    damaged += std::string("\0\0\x1A\r\n", 5) + Card({"N:\xD5", "ORG:\x81;\x81"});
    Import(damaged);
    ASSERT_EQ(2, RecordCount(store));
    EXPECT_EQ("Li", Field(0, Surname));
    EXPECT_EQ(std::string(17, ';'), Field(0, HomeCountry));  // the country takes the whole rest
    EXPECT_EQ("\xD5", Field(1, Surname));
    for (int n = 0; n < 2; ++n) EXPECT_TRUE(FieldsTerminated(*RecordAt(store, n)));
}

TEST(ParseVcardLine, RandomLinesNeverLeaveAFieldUnterminated) {
    const char* pieces[] = {"N", "ORG", "TEL", "ADR", "BDAY", "X-WAB-GENDER", "EMAIL", ";HOME", ";FAX", ";CELL",
                            ";ENCODING=QUOTED-PRINTABLE", ";CHARSET=UTF-8", ":", ";", "-", "=", "=E5", "=FF",
                            "\xD5", "\xC5", "a", "1", " "};
    std::mt19937 random(20240601);
    ContactRecord card = EmptyRecord();
    for (int i = 0; i < 5000; ++i) {
        std::string line;
        int count = static_cast<int>(random() % 120);
        for (int j = 0; j < count; ++j) line += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        line.resize(std::min<size_t>(line.size(), VcardLineLength));
        ParseVcardLine(line.c_str(), card);
        ASSERT_TRUE(FieldsTerminated(card)) << line;
    }
}

TEST_F(VcardReader, ImportingTwiceAddsEveryContactTwice) {
    Import(Card({"N:Li;Lei"}));
    ReadVcardFile(path, store);
    EXPECT_EQ(2, RecordCount(store));
}

TEST_F(VcardReader, StopsAtTheStoresCapacityAndCountsWhatWasLeftOut) {
    for (int i = 0; i < MaxRecords - 2; ++i) AppendRecord(store, Person("P"));
    VcardImportResult result = Import(Card({"N:A;1"}) + Card({"FN:nameless"}) + Card({"N:B;2"}) +
                                      Card({"N:C;3"}) + Card({"N:D;4"}));
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ(2, result.notImported);
    EXPECT_EQ(MaxRecords, RecordCount(store));
    EXPECT_EQ("B", Field(MaxRecords - 1, Surname));
}

TEST(VcardImportResult, AddsUp) {
    VcardImportResult total;
    AddImportResult(total, VcardImportResult{1, 0, 3, 0});
    AddImportResult(total, VcardImportResult{0, 1, 0, 0});
    AddImportResult(total, VcardImportResult{1, 0, 2, 5});
    EXPECT_EQ(2, total.filesRead);
    EXPECT_EQ(1, total.filesUnreadable);
    EXPECT_EQ(5, total.imported);
    EXPECT_EQ(5, total.notImported);
}
