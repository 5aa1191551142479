#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "vcard/quoted_printable.h"

TEST(QuotedPrintable, EscapesStandForBytesAndEverythingElseForItself) {
    EXPECT_EQ("\xE5\xBC\xA0", DecodeQpBytes("=E5=BC=A0"));
    EXPECT_EQ("\xE5\xBC", DecodeQpBytes("=e5=bc"));
    EXPECT_EQ("Zhang San 138-0000; 1.5", DecodeQpBytes("Zhang San 138-0000; 1.5"));
    EXPECT_EQ("a=b", DecodeQpBytes("a=3Db"));
    EXPECT_EQ(std::string("a\0b", 3), DecodeQpBytes("a=00b"));
    // An "=" that starts no escape is kept, also at the very end.
    for (const char* text : {"a=G1", "ab=", "ab=4"}) EXPECT_EQ(text, DecodeQpBytes(text)) << text;
}

TEST(QuotedPrintable, PairsAreRecognisedOnlyWhenEveryEscapeIsOne) {
    EXPECT_TRUE(IsQpPairs("=FF=D5=FF=C5;=FF=C8=FF=FD"));
    EXPECT_TRUE(IsQpPairs("a=00=3Db=FF=88@"));
    EXPECT_FALSE(IsQpPairs("=D5=C5=C8=FD"));       // GBK bytes, as old phones write them
    EXPECT_FALSE(IsQpPairs("=FF=D5=C5"));          // a single escape among pairs
    EXPECT_FALSE(IsQpPairs("Zhang San"));          // no escape at all
    EXPECT_EQ(Gbk("张") + ";" + Gbk("三"), DecodeQpPairs("=FF=D5=FF=C5;=FF=C8=FF=FD"));
    EXPECT_EQ(Gbk("園") + " =", DecodeQpPairs("=FF=88@ =00=3D"));
}

TEST(QuotedPrintable, EncodersEscapeWhatAReaderWouldLose) {
    EXPECT_EQ("=E5=BC=A0 a=3Db;c\\=20", EncodeQpBytes("\xE5\xBC\xA0 a=b;c\\ "));
    EXPECT_EQ("", EncodeQpBytes(""));
    // Unicode-QP escapes both bytes of every double-byte character, so a
    // second byte that is ASCII ("@" in 園, "\" in 乗) cannot be misread.
    EXPECT_EQ("=FF=D5=FF=C5", EncodeQpPairs(Gbk("张")));
    EXPECT_EQ("=FF=88=00=40", EncodeQpPairs(Gbk("園")));
    EXPECT_EQ("a=00=3D=00=20", EncodeQpPairs("a= "));
}

TEST(ByteToHex, WritesTwoUpperCaseDigitsOfTheLowByte) {
    char out[3];
    ByteToHex(0x0A, out);
    EXPECT_STREQ("0A", out);
    ByteToHex(0x1C5, out);
    EXPECT_STREQ("C5", out);
}
