#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "vcard/text_encodings.h"

TEST(VcardText, EncodesAContactsTextInEachForm) {
    EXPECT_EQ("=E5=BC=A0", EncodeVcardText(Gbk("张"), Utf8Qp));
    EXPECT_EQ("=C2=B7", EncodeVcardText(Gbk("·"), Utf8Qp));  // strict UTF-8, two bytes
    EXPECT_EQ("=FF=D5=FF=C5", EncodeVcardText(Gbk("张"), UnicodeQp));
    EXPECT_EQ(Gbk("张三"), EncodeVcardText(Gbk("张三"), Plain));
    // A line break: "\n" in the plain form, =0D=0A in the quoted-printable ones.
    EXPECT_EQ("a\\;b\\\\c\\nd\\ne", EncodeVcardText("a;b\\c\r\nd\ne", Plain));
    EXPECT_EQ("a=0D=0Ab=0D=0A=E5=BC=A0", EncodeVcardText("a\nb\r\n" + Gbk("张"), Utf8Qp));
    EXPECT_EQ("a=00=0D=00=0Ab=FF=D5=FF=C5", EncodeVcardText("a\r\nb" + Gbk("张"), UnicodeQp));
    EXPECT_EQ("a\\;b=3D", EncodeVcardText("a;b=", Utf8Qp));
}

TEST(VcardText, AnEscapedByteInsideAChineseCharacterStaysInIt) {
    // The second byte of 乗 is "\" and must not be doubled.
    std::string gbk = Gbk("乗;");
    ASSERT_EQ('\\', gbk[1]);
    EXPECT_EQ(gbk.substr(0, 2) + "\\;", EncodeVcardText(gbk, Plain));
    EXPECT_EQ(gbk, VcardTextToGbk(gbk.substr(0, 2) + "\\;", GbkCodePage));
}

TEST(VcardText, ReadsTheNamedCharacterSets) {
    EXPECT_EQ(Gbk("王小明"), VcardTextToGbk("\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E", Utf8CodePage));
    EXPECT_EQ(Gbk("·"), VcardTextToGbk("\xE0\x82\xB7", Utf8CodePage));  // as an earlier export wrote it
    EXPECT_EQ(Gbk("王"), VcardTextToGbk("\xA4\xFD", CodePageOfCharset("big5")));
    EXPECT_EQ(Gbk("東京"), VcardTextToGbk("\x93\x8C\x8B\x9E", CodePageOfCharset("Shift_JIS")));
    EXPECT_EQ(Gbk("王"), VcardTextToGbk("\xCD\xF5", CodePageOfCharset("GB18030")));
    EXPECT_EQ("Caf?", VcardTextToGbk("Caf\xE9", CodePageOfCharset("ISO-8859-1")).substr(0, 3) + "?");
    EXPECT_EQ(Gbk("😀"), VcardTextToGbk("\xF0\x9F\x98\x80", Utf8CodePage));  // four bytes in the book
    EXPECT_EQ(0u, CodePageOfCharset("X-UNKNOWN"));
}

TEST(VcardText, UndoesBackslashEscapesAndKeepsLineBreaks) {
    EXPECT_EQ("Smith, Jones; A\\B", VcardTextToGbk("Smith\\, Jones\\; A\\\\B", Utf8CodePage));
    EXPECT_EQ("Street4\nBuilding 6\nFloor 8", VcardTextToGbk("Street4\\nBuilding 6\\NFloor 8", Utf8CodePage));
    EXPECT_EQ("a\nb\nc\nd", VcardTextToGbk("a\r\nb\nc\rd", GbkCodePage));  // as quoted-printable gives them
    EXPECT_EQ("C:\\x", VcardTextToGbk("C:\\x", GbkCodePage));  // an unknown escape stays
}
