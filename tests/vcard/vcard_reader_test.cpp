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

// The card that the lines build, finished as at its END:VCARD.
ContactRecord Parsed(std::initializer_list<std::string> lines) {
    VcardCard card = NewVcardCard();
    for (const std::string& line : lines) ParseVcardLine(line.c_str(), card);
    FinishVcardCard(card);
    return card.record;
}

int Applied(const std::string& line) {
    VcardCard card = NewVcardCard();
    return ParseVcardLine(line.c_str(), card);
}

class VcardReader : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("cards.vcf");
    Document book;
    ContactStore& store = book.contacts;

    VcardImportResult Import(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        return ReadVcardFile(path, book);
    }
    std::string Field(int n, ContactField field) { return FieldValue(*RecordAt(store, n), field); }
};

}  // namespace

TEST_F(VcardReader, ImportsEachNamedCardAsANewRecordOfGroupZero) {
    VcardImportResult result = Import(Card({Gbk("N:张;三"), "TEL;CELL:13800000000"}) + Card({Gbk("FN:李四")}) +
                                      Card({"TEL;CELL:1", "EMAIL:x@y"}) + Card({"X-QQ:1"}));
    EXPECT_EQ(3, result.imported);
    EXPECT_EQ(1, result.filesRead);
    ASSERT_EQ(3, RecordCount(store));
    EXPECT_EQ("x@y", Field(2, Surname));  // a card without a name takes its e-mail address
    EXPECT_EQ(Gbk("李"), Field(1, Surname));  // a card with only a formatted name
    EXPECT_EQ(Gbk("四"), Field(1, GivenName));
    const ContactRecord& record = *RecordAt(store, 0);
    EXPECT_EQ(Gbk("张"), Field(0, Surname));
    EXPECT_EQ(Gbk("三"), Field(0, GivenName));
    EXPECT_EQ("13800000000", Field(0, Mobile));
    EXPECT_EQ(0, record.GroupIndex);
    EXPECT_EQ(0, record.Gender);
    EXPECT_EQ(0, record.CheckFlag);
    EXPECT_EQ("", Field(0, Email));
}

TEST(ParseVcardLine, NameTakesTheFamilyAndTheGivenName) {
    for (const char* line : {"N:Zhang;San;;;", "N:Zhang;San;Middle;Dr.;Jr.", "N;ENCODING=QUOTED-PRINTABLE:Zhang;San;;;",
                             "item1.n;charset=utf-8:Zhang;San"}) {
        ContactRecord card = Parsed({line});
        EXPECT_EQ("Zhang", FieldValue(card, Surname)) << line;
        EXPECT_EQ("San", FieldValue(card, GivenName)) << line;
    }
    EXPECT_EQ("A;B\\", FieldValue(Parsed({"N:;A\\;B\\\\;C;;"}), Surname));
}

TEST(ParseVcardLine, ANameComesFromTheFormattedNameWhenNGivesNone) {
    struct Case {
        const char* formatted;
        const char* surname;
        const char* given;
    } cases[] = {{"王小明", "王", "小明"}, {"欧阳修", "欧阳", "修"}, {"欧阳", "欧", "阳"},
                 {"John Doe", "Doe", "John"}, {"Conference", "Conferenc", "e"}};
    for (const Case& c : cases) {
        ContactRecord card = Parsed({"N:;;;;", "FN;CHARSET=GBK:" + Gbk(c.formatted)});
        EXPECT_EQ(Gbk(c.surname), FieldValue(card, Surname)) << c.formatted;
        EXPECT_EQ(Gbk(c.given), FieldValue(card, GivenName)) << c.formatted;
    }
    ContactRecord company = Parsed({"FN:Acme Ltd", "ORG:Acme Ltd"});
    EXPECT_EQ("Acme Ltd", FieldValue(company, Surname));
    EXPECT_EQ("", FieldValue(company, GivenName));
    EXPECT_EQ("Li", FieldValue(Parsed({"FN:Wang Wu", "N:Li;Lei"}), Surname));  // N wins
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

TEST(ParseVcardLine, QuotedPrintableKeepsItsLiteralCharacters) {
    ContactRecord card = Parsed({"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Smith=20Jones;Mary-Ann",
                                 "ORG;ENCODING=QUOTED-PRINTABLE:=D5=C5=C8=FD Co.",  // GBK bytes, as old phones write
                                 "TITLE;ENCODING=QUOTED-PRINTABLE:ab=FF=C"});       // a damaged escape stays text
    EXPECT_EQ("Smith Jon", FieldValue(card, Surname));
    EXPECT_EQ("Mary-Ann", FieldValue(card, GivenName));
    EXPECT_EQ(Gbk("张三") + " Co.", FieldValue(card, Company));
    EXPECT_EQ("ab" + Gbk("\uFFFD") + "=C", FieldValue(card, JobTitle));
}

TEST(ParseVcardLine, VersionThreeAndFourAreUtf8) {
    for (const char* version : {"VERSION:3.0", "VERSION:4.0"}) {
        ContactRecord card = Parsed({version, "N:\xE7\x8E\x8B;\xE5\xB0\x8F\xE6\x98\x8E", "GENDER:F"});
        EXPECT_EQ(Gbk("王"), FieldValue(card, Surname)) << version;
        EXPECT_EQ(Gbk("小明"), FieldValue(card, GivenName)) << version;
        EXPECT_EQ(1, card.Gender) << version;
    }
    EXPECT_EQ(Gbk("王"), FieldValue(Parsed({"VERSION:3.0", "N;CHARSET=GBK:" + Gbk("王")}), Surname));
}

TEST(ParseVcardLine, NamesMatchInAnyCaseAsWholeWords) {
    EXPECT_EQ(1, Applied("n:Zhang"));
    ContactRecord card = Parsed({"NICKNAME:Xiao", "NOTE:x", "TELEX:1", "N;LANGUAGE=zh:Li;Lei"});
    EXPECT_EQ("Xiao", FieldValue(card, Nickname));
    EXPECT_EQ("Li", FieldValue(card, Surname));
    EXPECT_EQ("Lei", FieldValue(card, GivenName));
    EXPECT_EQ("", FieldValue(card, WorkPhone));
    EXPECT_EQ(0, Applied("X-QQ"));  // no ":" and so no value
    EXPECT_EQ(0, Applied("PHOTO;ENCODING=BASE64:TWFu"));
    EXPECT_EQ("10001", FieldValue(Parsed({"x-qq:10001"}), QQNumber));
}

TEST(ParseVcardLine, TelephoneTypesChooseTheField) {
    ContactRecord card = Parsed({"TEL;WORK:1", "TEL;WORK;FAX:2", "TEL;HOME:3", "TEL;HOME;FAX:4", "TEL;CELL:5",
                                 "TEL;VOICE:7", "TEL:8"});
    EXPECT_EQ("1", FieldValue(card, WorkPhone));
    EXPECT_EQ("2", FieldValue(card, WorkFax));
    EXPECT_EQ("3", FieldValue(card, HomePhone));
    EXPECT_EQ("4", FieldValue(card, HomeFax));
    EXPECT_EQ("5", FieldValue(card, Mobile));
    card = Parsed({"TEL;FAX:6", "TEL;TYPE=cell,voice:9", "TEL;WORK:", "tel;type=HOME;type=pref:10"});
    EXPECT_EQ("6", FieldValue(card, WorkFax));
    EXPECT_EQ("9", FieldValue(card, Mobile));
    EXPECT_EQ("10", FieldValue(card, HomePhone));
}

TEST(ParseVcardLine, ANumberWithoutAFieldOfItsOwnTakesTheFirstFreeOne) {
    // Untyped numbers wait for the card's end, so a later typed number
    // keeps its place; the first number of a type keeps its field.
    ContactRecord card = Parsed({"TEL;VOICE:1", "TEL;CELL:2", "TEL;TYPE=PAGER:3", "TEL;CELL:4"});
    EXPECT_EQ("2", FieldValue(card, Mobile));
    EXPECT_EQ("1", FieldValue(card, HomePhone));
    EXPECT_EQ("", FieldValue(card, WorkPhone));  // a pager and a second mobile are items
    card = Parsed({"TEL;VALUE=uri;TYPE=work:tel:+86-10-1234;ext=12", "TEL:tel:123", "TEL:123"});
    EXPECT_EQ("+86-10-1234,12", FieldValue(card, WorkPhone));
    EXPECT_EQ("123", FieldValue(card, Mobile));
    EXPECT_EQ("", FieldValue(card, HomePhone));  // the same number once
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
    // A second address of a type is an item, unless it is preferred.
    card = Parsed({"ADR;WORK;POSTAL:;;x;y;z;1;c", "ADR;PARCEL:pobox;ext;street"});
    EXPECT_EQ("x", FieldValue(card, WorkStreet));
    card = Parsed({"ADR;WORK;POSTAL:;;x;y;z;1;c", "ADR;PREF:pobox;ext;street"});
    EXPECT_EQ("street", FieldValue(card, WorkStreet));
    EXPECT_EQ("", FieldValue(card, WorkCity));
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
        {"BDAY:1990-05", "1990", "05", ""},  // no day is given, so none is made up
        {"BDAY:1990-05-", "1990", "05", ""},
        {"BDAY:1990", "1990", "", ""},
        {"BDAY;X-APPLE-OMIT-YEAR=1604:1604-04-07", "", "04", "07"},
        {"BDAY:1990-05-17T08:00:00", "1990", "05", "17"},
        {"BDAY:1990-5-7T08:00:00", "1990", "5", "7"},
        {"BDAY:--", "", "", ""},  // an empty birthday, as the export writes it
        {"BDAY:19900517", "1990", "05", "17"},
        {"BDAY;VALUE=DATE:--0517", "", "05", "17"},
        {"BDAY:--05-17", "", "05", "17"},
        {"BDAY:1990-05-17T08:00:00Z", "1990", "05", "17"},
        {"BDAY:1990-123-4567", "1990", "12", "45"},
        // No year: the forms of vCard 4.0, a bare month and day, and the
        // year 1604 that Apple and CardBook write for none.
        {"BDAY:02-10", "", "02", "10"},
        {"BDAY:--05", "", "05", ""},
        {"BDAY:---17", "", "", "17"},
        {"BDAY:16040101", "", "01", "01"},
        {"BDAY:1604-04-22", "", "04", "22"},
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
    EXPECT_EQ(1, Parsed({"GENDER:f;"}).Gender);
    EXPECT_EQ(0, Parsed({"GENDER:F", "GENDER:M"}).Gender);
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

TEST_F(VcardReader, ACardInsideACardIsACardOfItsOwn) {
    Import("begin:vCard\r\nN:Parent\r\nBEGIN:VCARD\r\nN:Child\r\nX-QQ:5\r\nEND:VCARD\r\nTEL:1\r\n"
           "END:VCARD\r\nBEGIN:VCARD\r\nN:Li;Lei END:VCARD\r\nend:vcard");
    ASSERT_EQ(3, RecordCount(store));
    EXPECT_EQ("Child", Field(0, Surname));
    EXPECT_EQ("5", Field(0, QQNumber));
    EXPECT_EQ("Parent", Field(1, Surname));
    EXPECT_EQ("1", Field(1, Mobile));
    EXPECT_EQ("Lei END:V", Field(2, GivenName));  // END:VCARD counts only as a whole line
}

TEST_F(VcardReader, FoldedAndSoftBrokenLinesAreJoined) {
    Import("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Li;Lei\r\n"
           "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;=E4=B8=AD=E5=85=B3=E6=9D=91=\r\n"
           "=E5=A4=A7=E8=A1=97;=E5=8C=97=E4=BA=AC\r\n"
           "NOTE;ENCODING=QUOTED-PRINTABLE:long=\r\nX-QQ:1=\r\n\r\n"
           "EMAIL:li@\r\n example.com\r\nEND:VCARD\r\n"
           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Wang;W\r\n u\r\nPHOTO;ENCODING=b:" + std::string(200000, 'A') +
           "\r\n " + std::string(80, 'B') + "\r\nX-QQ:7\r\nEND:VCARD\r\n"
           "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Two;Versions\r\nVERSION:3.0\r\nEMAIL:a@\r\n b.com\r\nEND:VCARD\r\n");
    ASSERT_EQ(3, RecordCount(store));
    EXPECT_EQ(Gbk("中关村大街"), Field(0, HomeStreet));
    EXPECT_EQ(Gbk("北京"), Field(0, HomeCity));
    EXPECT_EQ("", Field(0, QQNumber));                // inside the note
    EXPECT_EQ("li@ example.com", Field(0, Email));    // 2.1 keeps the fold's space
    EXPECT_EQ("Wu", Field(1, GivenName));             // 3.0 drops it
    EXPECT_EQ("7", Field(1, QQNumber));
    EXPECT_EQ("a@b.com", Field(2, Email));            // the later VERSION unfolds the lines after it
}

TEST_F(VcardReader, AnUnfinishedCardIsDroppedAndTheEarlierOnesStay) {
    VcardImportResult result = Import(Card({"N:Li;Lei"}) + "BEGIN:VCARD\r\nN:Cut;Off\r\nTEL;CELL:1");
    EXPECT_EQ(1, result.imported);
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ("Li", Field(0, Surname));
}

TEST_F(VcardReader, ALongLineIsOneLineWhateverItsLength) {
    std::string longLine = "EMAIL:" + std::string(VcardLineLimit + 5000, 'a') + "X-QQ:12345";
    Import(Card({"N:Li;Lei", longLine}));
    ASSERT_EQ(1, RecordCount(store));
    EXPECT_EQ(std::string(127, 'a'), Field(0, Email));
    EXPECT_EQ("", Field(0, QQNumber));
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
    VcardImportResult missing = ReadVcardFile(folder.Path("none.vcf"), book);
    EXPECT_EQ(1, missing.filesUnreadable);
    EXPECT_EQ(0, missing.filesRead);
    VcardImportResult empty = Import("");
    EXPECT_EQ(1, empty.filesRead);
    EXPECT_EQ(0, empty.imported);
    VcardImportResult directory = ReadVcardFile(PathString(folder.Root().native()), book);
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
    VcardCard card = NewVcardCard();
    for (int i = 0; i < 5000; ++i) {
        std::string line;
        int count = static_cast<int>(random() % 120);
        for (int j = 0; j < count; ++j) line += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        ParseVcardLine(line.c_str(), card);
        ASSERT_TRUE(FieldsTerminated(card.record)) << line;
    }
}

TEST_F(VcardReader, TheSameContactTwiceIsImportedOnce) {
    VcardImportResult first = Import(Card({"N:Li;Lei"}) + Card({"N:Li;Lei"}) + Card({"N:Li;Lei", "TEL;CELL:1"}));
    EXPECT_EQ(2, first.imported);
    EXPECT_EQ(1, first.duplicates);
    VcardImportResult second = ReadVcardFile(path, book);
    EXPECT_EQ(0, second.imported);
    EXPECT_EQ(3, second.duplicates);
    EXPECT_EQ(2, RecordCount(store));
}

TEST_F(VcardReader, StopsAtTheStoresCapacityAndCountsWhatWasLeftOut) {
    store.capacity = 64;
    for (int i = 0; i < store.capacity - 2; ++i) AppendRecord(store, Person("P"));
    VcardImportResult result = Import(Card({"N:A;1"}) + Card({"X-QQ:1"}) + Card({"N:B;2"}) +
                                      Card({"N:C;3"}) + Card({"N:D;4"}));
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ(2, result.notImported);
    EXPECT_EQ(store.capacity, RecordCount(store));
    EXPECT_EQ("B", Field(store.capacity - 1, Surname));
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

TEST(ParseVcardLine, EveryContactFromAPhoneIsNamedAndEveryNameWhole) {
    struct Case {
        std::vector<std::string> lines;
        const char* surname;
        const char* given;
    } cases[] = {
        {{Gbk("N:刘;玲;巧;;"), Gbk("FN:刘巧玲")}, "刘", "巧玲"},  // Android's family, given and middle name
        {{Gbk("N:欧阳;娜;娜;;")}, "欧阳", "娜娜"},
        {{Gbk("N:李;明;小;;"), Gbk("FN:李明小")}, "李", "明小"},  // the order FN shows
        {{"N:Smith;John;Paul;;"}, "Smith", "John"},  // other scripts keep the given name
        {{Gbk("N:;长沙黑车肖;;;"), Gbk("FN:长沙黑车肖")}, "长", "沙黑车肖"},
        {{Gbk("N:;中国南方航空客服;;;")}, "中国南方", "航空客服"},
        {{"N:;;;;", "FN:", Gbk("ORG:顺丰速运"), "TEL;WORK:95338"}, "顺丰速运", ""},
        {{"EMAIL:someone@example.com"}, "someone@e", "xample.co"},
        {{"TEL:10086"}, "10086", ""},
        {{Gbk("N:;老王 装修;;;")}, "老", "王 装修"},  // a Chinese name's spaces stay in it
    };
    for (const Case& c : cases) {
        VcardCard card = NewVcardCard();
        for (const std::string& line : c.lines) ParseVcardLine(line.c_str(), card);
        ASSERT_TRUE(FinishVcardCard(card)) << c.lines[0];
        EXPECT_EQ(Gbk(c.surname), FieldValue(card.record, Surname)) << c.lines[0];
        EXPECT_EQ(Gbk(c.given), FieldValue(card.record, GivenName)) << c.lines[0];
    }
    EXPECT_EQ(Gbk("顺丰速运"), FieldValue(Parsed({Gbk("ORG:顺丰速运")}), Company));  // also stays where it was
}

TEST(ParseVcardLine, TheFirstOrPreferredNumberOfATypeKeepsItsFieldAndTheOthersMoveOn) {
    const char* preferred = "TEL;type=IPHONE;type=CELL;type=VOICE;type=pref:1";
    const char* workMobile = "TEL;type=WORK;type=CELL;type=VOICE:2";
    for (const ContactRecord& card : {Parsed({preferred, workMobile}), Parsed({workMobile, preferred})}) {
        EXPECT_EQ("1", FieldValue(card, Mobile));
        EXPECT_EQ("2", FieldValue(card, WorkPhone));
    }
    ContactRecord dualSim = Parsed({"TEL;CELL:1", "TEL;CELL:2", "TEL;HOME;CELL:3", "TEL;CELL:1"});
    EXPECT_EQ("1", FieldValue(dualSim, Mobile));
    EXPECT_EQ("3", FieldValue(dualSim, HomePhone));  // a home mobile to the home phone
    EXPECT_EQ("", FieldValue(dualSim, WorkPhone));  // a second mobile is no work phone
}

TEST(ParseVcardLine, TheFirstEmailUnlessALaterOneIsPreferredAndQQFromIMPP) {
    EXPECT_EQ("a@x", FieldValue(Parsed({"EMAIL:a@x", "EMAIL;TYPE=WORK:b@x"}), Email));
    EXPECT_EQ("b@x", FieldValue(Parsed({"EMAIL:a@x", "EMAIL;TYPE=pref:b@x", "EMAIL;PREF:c@x"}), Email));
    EXPECT_EQ("10001", FieldValue(Parsed({"IMPP;X-SERVICE-TYPE=QQ;TYPE=OTHER:x-apple:10001"}), QQNumber));
    EXPECT_EQ("10002", FieldValue(Parsed({"IMPP:qq:10002"}), QQNumber));
    EXPECT_EQ("10004", FieldValue(Parsed({"IMPP;TYPE=QQ:10004"}), QQNumber));  // Nextcloud's form
    EXPECT_EQ("10005", FieldValue(Parsed({"IMPP;type=qq;type=pref:qq:10005"}), QQNumber));
    EXPECT_EQ("", FieldValue(Parsed({"IMPP;X-SERVICE-TYPE=Skype:skype:10003"}), QQNumber));
}

TEST(ParseVcardLine, LinesAreTrimmedButAnEncodedSpaceStays) {
    ContactRecord card = Parsed({"  N:Trail;Space   ", "TEL;CELL:1 \t", "ORG;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:A=20 "});
    EXPECT_EQ("Space", FieldValue(card, GivenName));
    EXPECT_EQ("1", FieldValue(card, Mobile));
    EXPECT_EQ("A ", FieldValue(card, Company));
}

TEST_F(VcardReader, AVersionCountsWhereverItStandsAndACardWithoutOneIsUtf8WhenItsTextIsUtf8) {
    const char* utf8Name = "N:\xE5\x90\xB4;\xE6\x99\x93\xE4\xB8\x9C;;;";  // 吴晓东
    std::string cards = "BEGIN:VCARD\r\nTEL:1\r\n" + std::string(utf8Name) + "\r\nVERSION:3.0\r\nEND:VCARD\r\n" +
                        "BEGIN:VCARD\r\nTEL:2\r\n" + utf8Name + "\r\nEND:VCARD\r\n" + "BEGIN:VCARD\r\nTEL:3\r\n" +
                        Gbk("N:吴;晓东") + "\r\nEND:VCARD\r\n";
    EXPECT_EQ(3, Import(cards).imported);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(Gbk("吴晓东"), Field(n, Surname) + Field(n, GivenName)) << n;
}

// With a byte-order mark or without one (macOS exports UTF-16BE so): every
// other byte of the first line is zero.
TEST_F(VcardReader, AUtf16FileOfEitherByteOrderIsRead) {
    std::u16string text = u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:吴;晓东\r\nTEL;CELL:1\r\nEND:VCARD\r\n";
    for (bool bigEndian : {false, true}) {
        for (bool marked : {true, false}) {
            std::string bytes = !marked ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (char16_t unit : text) {
                char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
                bytes += bigEndian ? std::string{high, low} : std::string{low, high};
            }
            Document fresh;
            WriteFileBytes(path, bytes);
            ASSERT_EQ(1, ReadVcardFile(path, fresh).imported) << bigEndian << marked;
            EXPECT_EQ(Gbk("晓东"), FieldValue(*RecordAt(fresh.contacts, 0), GivenName));
            EXPECT_EQ("1", FieldValue(*RecordAt(fresh.contacts, 0), Mobile));
        }
    }
    // Text that is no UTF-16: a zero byte further on changes nothing.
    Document fresh;
    WriteFileBytes(path, "BEGIN:VCARD\r\nN:A;1\r\nNOTE:a" + std::string(1, '\0') + "b\r\nEND:VCARD\r\n");
    EXPECT_EQ(1, ReadVcardFile(path, fresh).imported);
}

// Cards as some programs write them: BEGIN and END with a group's name,
// an address only as its label, marks of writing direction around numbers.
TEST_F(VcardReader, GroupedBoundariesLabelsAndInvisibleMarks) {
    std::string ltr = "\xE2\x80\xAA", pop = "\xE2\x80\xAC", zeroWidth = "\xE2\x80\x8B", bom = "\xEF\xBB\xBF";
    std::string cards = "home.begin:vcard\r\nVERSION:3.0\r\nN:Li;Lei\r\nTEL;TYPE=CELL:" + ltr + "+86 138 0000 0000" +
                        pop + "\r\nTEL;TYPE=HOME,FAX:" + zeroWidth + "010-1" + bom + "\r\nX-QQ:" + ltr + "10001" +
                        pop + "\r\nLABEL;TYPE=HOME:1 Main St\\nSpringfield\r\nhome.END:VCARD\r\n" +
                        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Wu;Di\r\nLABEL:Work Rd 2\r\nLABEL;TYPE=HOME:Home Rd 3\r\n"
                        "ADR;TYPE=HOME:;;Home St 4;;;;\r\nEND:VCARD\r\n";
    ASSERT_EQ(2, Import(cards).imported);
    EXPECT_EQ("+86 138 0000 0000", Field(0, Mobile));
    EXPECT_EQ("010-1", Field(0, HomeFax));
    EXPECT_EQ("10001", Field(0, QQNumber));
    EXPECT_EQ("1 Main St Springfield", Field(0, HomeStreet));
    EXPECT_EQ("", Field(0, WorkStreet));
    EXPECT_EQ("Work Rd 2", Field(1, WorkStreet));  // an untyped label is the work address
    EXPECT_EQ("Home St 4", Field(1, HomeStreet));  // a label never replaces an ADR
}

TEST_F(VcardReader, GroupCardsAreNoContactsAndCategoriesChooseTheGroup) {
    book = NewDocument();
    std::string cards = Card({"N:Friends", "X-ADDRESSBOOKSERVER-KIND:group"}) + Card({"FN:Team", "KIND:group"}) +
                        Card({"N:A;1", Gbk("CATEGORIES:myContacts,starred,家人,朋友")}) +
                        Card({"N:B;2", "CATEGORIES:Ball\\, team"}) + Card({"N:C;3", "CATEGORIES:starred"});
    for (int n = 0; n < MaxGroupsPerImport + 1; ++n) cards += Card({"N:G;" + std::to_string(n), "CATEGORIES:g" + std::to_string(n)});
    VcardImportResult result = Import(cards);
    EXPECT_EQ(3 + MaxGroupsPerImport + 1, result.imported);
    EXPECT_EQ(1, RecordAt(store, 0)->GroupIndex);  // the book's 家人
    EXPECT_EQ("Ball, team", GroupName(book.groups, RecordAt(store, 1)->GroupIndex));
    EXPECT_EQ(0, RecordAt(store, 2)->GroupIndex);
    EXPECT_EQ(5 + MaxGroupsPerImport, GroupCount(book.groups));
    EXPECT_EQ(0, RecordAt(store, RecordCount(store) - 1)->GroupIndex);  // past the groups one import makes
}
