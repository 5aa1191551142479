#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "vcard/vcard_reader.h"
#include "vcard/vcard_writer.h"

namespace {

ContactRecord ZhangSan() {
    ContactRecord record = Person(Gbk("张"), Gbk("三"));
    SetField(record, Mobile, "13800000000");
    return record;
}

// The record a card's text gives, read as a file is read.
ContactRecord Parsed(const std::string& cardText) {
    VcardCard card = NewVcardCard();
    size_t start = 0;
    while (start < cardText.size()) {
        size_t end = cardText.find("\r\n", start);
        if (end == std::string::npos) end = cardText.size();
        ParseVcardLine(cardText.substr(start, end - start).c_str(), card);
        start = end + 2;
    }
    FinishVcardCard(card);
    return card.record;
}

class VcardWriter : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("out.vcf");

    ContactRecord WriteAndRead(const ContactRecord& record, VcardEncoding encoding) {
        EXPECT_EQ(VcardWritten, WriteVcardFile(path, &record, encoding));
        Document book;
        ContactStore& store = book.contacts;
        EXPECT_EQ(1, ReadVcardFile(path, book).imported);
        return RecordCount(store) == 1 ? *RecordAt(store, 0) : EmptyRecord();
    }
};

}  // namespace

TEST(VcardFileText, WritesEveryLineWithCrLfAndNoneAfterTheLast) {
    std::string expected = Gbk("BEGIN:VCARD\r\nVERSION:2.1\r\nN:张;三\r\nX-WAB-GENDER:2\r\nORG:;\r\nTITLE:\r\n") +
                           "TEL;WORK:\r\nTEL;HOME:\r\nTEL;WORK;FAX:\r\nTEL;HOME;FAX:\r\nTEL;CELL:13800000000\r\n"
                           "ADR;WORK:;;;;;;\r\nADR;HOME:;;;;;;\r\nEMAIL;PREF;INTERNET:\r\nX-QQ:\r\nBDAY:--\r\n"
                           "END:VCARD";
    EXPECT_EQ(expected, VcardFileText(ZhangSan(), Plain));
}

TEST(VcardFileText, PlainAndUnicodeQpEncodeOnlyNameCompanyAndTitle) {
    ContactRecord record = ZhangSan();
    SetField(record, WorkStreet, Gbk("长安街"));
    std::string plain = VcardFileText(record, Plain);
    std::string unicode = VcardFileText(record, UnicodeQp);
    EXPECT_NE(std::string::npos, unicode.find("\r\nN;ENCODING=QUOTED-PRINTABLE:=FF=D5=FF=C5;=FF=C8=FF=FD\r\n"));
    EXPECT_NE(std::string::npos, unicode.find("\r\nTITLE;ENCODING=QUOTED-PRINTABLE:\r\n"));
    std::string rawPart = plain.substr(plain.find("TEL;WORK:"));
    EXPECT_EQ(rawPart, unicode.substr(unicode.find("TEL;WORK:")));
    EXPECT_NE(std::string::npos, rawPart.find(Gbk("ADR;WORK:;;长安街;;;;\r\n")));
}

TEST(VcardFileText, ForPhonesEveryChineseValueIsUtf8AndEmptyOnesAreLeftOut) {
    ContactRecord record = ZhangSan();
    SetField(record, WorkStreet, Gbk("长安街"));
    SetField(record, Nickname, Gbk("小张"));
    SetField(record, Email, "zhang=san@example.com");
    std::string expected =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=A0;=E4=B8=89\r\n"
        "X-WAB-GENDER:2\r\nNICKNAME;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=B0=8F=E5=BC=A0\r\n"
        "TEL;CELL:13800000000\r\n"
        "ADR;WORK;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:;;=E9=95=BF=E5=AE=89=E8=A1=97;;;;\r\n"
        "EMAIL;PREF;INTERNET:zhang=san@example.com\r\nEND:VCARD";
    EXPECT_EQ(expected, VcardFileText(record, Utf8Qp));
}

// A nickname ends the plain and Unicode-QP cards; the group the phone's.
TEST(VcardFileText, TheNicknameAndTheGroupComeLastBeforeTheEnd) {
    Document book = NewDocument();
    ContactRecord record = ZhangSan();
    SetField(record, Nickname, Gbk("小张"));
    record.GroupIndex = 2;
    EXPECT_NE(std::string::npos, VcardFileText(record, Plain, &book.groups).find(Gbk("BDAY:--\r\nNICKNAME:小张\r\nEND:VCARD")));
    EXPECT_NE(std::string::npos, VcardFileText(record, UnicodeQp).find("BDAY:--\r\nNICKNAME;ENCODING=QUOTED-PRINTABLE:"
                                                                       "=FF=D0=FF=A1=FF=D5=FF=C5\r\nEND:VCARD"));
    std::string phone = VcardFileText(record, Utf8Qp, &book.groups);
    EXPECT_NE(std::string::npos, phone.find("\r\nCATEGORIES;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E6=9C=8B=E5=8F=8B"
                                            "\r\nEND:VCARD"));  // 朋友
    record.GroupIndex = 5;  // no group of the book
    EXPECT_EQ(std::string::npos, VcardFileText(record, Utf8Qp, &book.groups).find("CATEGORIES"));
    record.GroupIndex = 0;  // the first group, which every contact without one is in
    EXPECT_EQ(std::string::npos, VcardFileText(record, Utf8Qp, &book.groups).find("CATEGORIES"));
}

TEST(VcardFileText, GenderAndBirthday) {
    ContactRecord record = ZhangSan();
    record.Gender = 1;
    EXPECT_NE(std::string::npos, VcardFileText(record, Plain).find("X-WAB-GENDER:1\r\n"));
    record.Gender = 2;
    EXPECT_NE(std::string::npos, VcardFileText(record, Plain).find("X-WAB-GENDER:2\r\n"));
    SetField(record, BirthYear, "1985");
    SetField(record, BirthMonth, "3");
    SetField(record, BirthDay, "7");
    EXPECT_NE(std::string::npos, VcardFileText(record, Plain).find("\r\nBDAY:1985-3-7\r\nEND:VCARD"));
    // A part missing: the forms of vCard's dates, in every encoding.
    struct Partial {
        const char* year;
        const char* month;
        const char* day;
        const char* written;
    } partials[] = {{"", "4", "22", "--0422"}, {"", "12", "05", "--1205"}, {"1990", "5", "", "1990-05"},
                    {"1990", "", "", "1990"},  {"", "5", "", "--05"},      {"", "", "9", "---09"},
                    {"1990", "", "9", "1990--9"}};
    for (const Partial& p : partials) {
        SetField(record, BirthYear, p.year);
        SetField(record, BirthMonth, p.month);
        SetField(record, BirthDay, p.day);
        for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
            EXPECT_NE(std::string::npos, VcardFileText(record, encoding).find("\r\nBDAY:" + std::string(p.written) + "\r\n"))
                << p.written << ", encoding " << encoding;
        }
        ContactRecord read = Parsed(VcardFileText(record, Plain));
        EXPECT_EQ(p.year, FieldValue(read, BirthYear)) << p.written;
        EXPECT_EQ(std::stoi(p.month[0] ? p.month : "0"), std::stoi("0" + FieldValue(read, BirthMonth))) << p.written;
        EXPECT_EQ(std::stoi(p.day[0] ? p.day : "0"), std::stoi("0" + FieldValue(read, BirthDay))) << p.written;
    }
}

TEST(VcardFileText, ALineEndInAFieldCannotStartALine) {
    ContactRecord record = ZhangSan();
    // A field holds one line; a whole form or an item keeps its breaks, escaped.
    SetField(record, Email, "a\r\nEND:VCARD\nb");
    ContactDetails details;
    details.items.push_back(MakeItem(ItemKind::Note, "", "c\r\nEND:VCARD\nd"));
    SetWholeField(record, details, Company, "e\r\nEND:VCARD");
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        std::string text = VcardFileText(record, encoding, nullptr, &details);
        EXPECT_NE(std::string::npos, text.find("EMAIL;PREF;INTERNET:a END:VCARD b\r\n")) << text;
        EXPECT_EQ(text.size() - 9, text.find("\nEND:VCARD") + 1) << text;
        EXPECT_EQ(encoding == Utf8Qp ? "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:c=0D=0AEND:VCARD=0D=0Ad\r\n"
                                     : "NOTE:c\\nEND:VCARD\\nd\r\n",
                  text.substr(text.find("NOTE"), text.find("\r\n", text.find("NOTE")) + 2 - text.find("NOTE")));
    }
}

TEST_F(VcardWriter, WritesReplacesAndReports) {
    ContactRecord record = ZhangSan();
    EXPECT_EQ(VcardWritten, WriteVcardFile(path, &record, Plain));
    EXPECT_EQ(VcardFileText(record, Plain), ReadFileBytes(path));
    SetField(record, Mobile, "1");
    EXPECT_EQ(VcardWritten, WriteVcardFile(path, &record, Utf8Qp));
    EXPECT_EQ(VcardFileText(record, Utf8Qp), ReadFileBytes(path));
    EXPECT_EQ(VcardNoRecord, WriteVcardFile(path, nullptr, Plain));
    EXPECT_EQ(VcardNotWritten, WriteVcardFile(folder.Path("missing/out.vcf"), &record, Plain));
    EXPECT_FALSE(FileExists(folder.Path("missing")));
}

TEST_F(VcardWriter, EveryEncodingReadsBackUnchanged) {
    ContactRecord record = FilledRecord();
    SetField(record, Nickname, "");  // only the phone form carries it, checked below
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        ContactRecord read = WriteAndRead(record, encoding);
        for (int f = 0; f < ContactFieldCount; ++f) {
            const ContactFieldInfo& info = FieldInfo(f);
            if (!info.isText) continue;
            EXPECT_EQ(FieldValue(record, info.field), FieldValue(read, info.field)) << "field " << f << ", encoding "
                                                                                     << encoding;
        }
        EXPECT_EQ(1, read.Gender);
        EXPECT_EQ(0, read.GroupIndex);
    }
}

TEST_F(VcardWriter, EveryFormCarriesTheNickname) {
    ContactRecord record = Person("Zhang", "San Feng");
    SetField(record, Nickname, "Xiao");
    record.GroupIndex = 3;
    record.Gender = 5;
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        ContactRecord read = WriteAndRead(record, encoding);
        EXPECT_EQ("San Feng", FieldValue(read, GivenName));
        EXPECT_EQ("Xiao", FieldValue(read, Nickname));
        EXPECT_EQ(0, read.GroupIndex);
        EXPECT_EQ(0, read.Gender);
    }
}

TEST_F(VcardWriter, AnEmptyBirthdayStaysEmpty) {
    ContactRecord read = WriteAndRead(ZhangSan(), Plain);
    EXPECT_EQ("", FieldValue(read, BirthYear));
    EXPECT_EQ("", FieldValue(read, BirthMonth));
    EXPECT_EQ("", FieldValue(read, BirthDay));
}

TEST_F(VcardWriter, Utf8QpWritesTheWholeOrganisation) {
    ContactRecord record = ZhangSan();
    SetField(record, Company, std::string(29, 'c'));
    SetField(record, Department, std::string(13, 'd'));
    ContactRecord read = WriteAndRead(record, Utf8Qp);
    EXPECT_EQ(std::string(29, 'c'), FieldValue(read, Company));
    EXPECT_EQ(std::string(13, 'd'), FieldValue(read, Department));
    read = WriteAndRead(record, UnicodeQp);
    EXPECT_EQ(std::string(13, 'd'), FieldValue(read, Department));
}
