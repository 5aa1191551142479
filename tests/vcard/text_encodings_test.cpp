#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "test_support.h"
#include "vcard/text_encodings.h"

namespace {

std::string Encoded(const std::string& gbk, VcardEncoding encoding) {
    VcardText text;
    std::memset(text, 0, sizeof text);
    gbk.copy(text, VcardTextCapacity - 1);
    EncodeVcardValue(text, encoding);
    return text;
}

std::string Decoded(const std::string& value, VcardEncoding encoding) {
    VcardText text;
    std::memset(text, 0, sizeof text);
    value.copy(text, VcardTextCapacity - 1);
    DecodeVcardValue(text, encoding);
    return text;
}

std::string Utf8ToGbkOf(const std::vector<uint16_t>& values) {
    UnitString units;
    size_t n = 0;
    for (; n < values.size() && n < UnitStringCapacity; ++n) units.units[n] = values[n];
    if (n < UnitStringCapacity) units.units[n] = 0;
    char out[256];
    Utf8ToGbk(units, out, sizeof out);
    return out;
}

}  // namespace

TEST(VcardEncoding, IsRecognisedFromThePropertyPart) {
    EXPECT_EQ(Plain, VcardEncodingOfProperty("N"));
    EXPECT_EQ(Plain, VcardEncodingOfProperty("N;CHARSET=UTF-8"));
    EXPECT_EQ(Utf8Qp, VcardEncodingOfProperty("N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8"));
    EXPECT_EQ(Utf8Qp, VcardEncodingOfProperty("N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE"));
    EXPECT_EQ(UnicodeQp, VcardEncodingOfProperty("N;ENCODING=QUOTED-PRINTABLE"));
    EXPECT_EQ(Plain, VcardEncodingOfProperty("N;encoding=quoted-printable"));
}

TEST(VcardEncoding, ValuesAndParameters) {
    EXPECT_EQ(Utf8Qp, VcardEncodingFromValue(1));
    EXPECT_EQ(Plain, VcardEncodingFromValue(-1));
    EXPECT_EQ(Plain, VcardEncodingFromValue(3));
    EXPECT_STREQ("", VcardEncodingParameters(Plain));
    EXPECT_STREQ(";ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8", VcardEncodingParameters(Utf8Qp));
    EXPECT_STREQ(";ENCODING=QUOTED-PRINTABLE", VcardEncodingParameters(UnicodeQp));
}

TEST(Utf8Qp, EncodesEveryNonAsciiCharacterAsThreeBytes) {
    EXPECT_EQ("=E5=BC=A0", Encoded(Gbk("张"), Utf8Qp));
    EXPECT_EQ("=E4=B8=89", Encoded(Gbk("三"), Utf8Qp));
    EXPECT_EQ("=E0=82=B7", Encoded("\xA1\xA4", Utf8Qp));  // U+00B7, two bytes in real UTF-8
    EXPECT_EQ("=E5=BC=A0;=E4=B8=89", Encoded(Gbk("张;三"), Utf8Qp));
    EXPECT_EQ("a=b c", Encoded("a=b c", Utf8Qp));
}

TEST(Utf8Qp, DecodesComponentsBackToGbk) {
    EXPECT_EQ("\xD5\xC5", Decoded("=E5=BC=A0", Utf8Qp));
    EXPECT_EQ("\xC8\xFD", Decoded("=E4=B8=89", Utf8Qp));
    EXPECT_EQ("\xA1\xA4", Decoded("=E0=82=B7", Utf8Qp));
    EXPECT_EQ("ZhangSan", Decoded("Zhang San", Utf8Qp));
    EXPECT_EQ("=", Decoded("=3D", Utf8Qp));
}

TEST(Utf8Qp, EncodesOnlyTheFirstThirtyThreeCharacters) {
    UnitString units;
    GbkToUtf8(std::string(40, 'x').c_str(), units);
    EXPECT_EQ(MaxUtf8Characters, UnitCount(units));
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += Gbk("张");
    GbkToUtf8(chinese.c_str(), units);
    EXPECT_EQ(99, UnitCount(units));
    // 99 units would need 297 characters: the encoder stops at 84 escapes.
    EXPECT_EQ(252u, Encoded(chinese, Utf8Qp).size());
}

TEST(Utf8Qp, UserDefinedCharactersSurvive) {
    // AAA1 is the first code of GBK's user-defined area, U+E000.
    EXPECT_EQ("=EE=80=80", Encoded("\xAA\xA1", Utf8Qp));
    EXPECT_EQ("\xAA\xA1", Decoded("=EE=80=80", Utf8Qp));
}

TEST(Utf8ToGbk, DecodesOnlyThreeByteSequences) {
    // A two-byte sequence stays two units, neither of which GBK has.
    EXPECT_EQ("??", Utf8ToGbkOf({0xC3, 0xA9}));
    EXPECT_EQ("\xD5\xC5", Utf8ToGbkOf({0xE5, 0x3C, 0x20}));  // continuation bytes not checked
    EXPECT_EQ("?", Utf8ToGbkOf({0xED, 0xA0, 0x80}));          // a lone surrogate
    EXPECT_EQ("a", Utf8ToGbkOf({'a', 0xE0, 0x80, 0x80, 'b'}));  // U+0000 ends the text
}

TEST(Utf8ToGbk, AThreeByteLeadNearTheEndIsLeftOut) {
    EXPECT_EQ("ab", Utf8ToGbkOf({'a', 'b', 0xE5}));
    EXPECT_EQ("ab", Utf8ToGbkOf({'a', 'b', 0xE5, 0xBC}));
    // A UnitString without a terminator: nothing past its 100 units is read.
    std::vector<uint16_t> full(UnitStringCapacity, 'a');
    full[98] = 0xE5;
    full[99] = 0xBC;
    EXPECT_EQ(std::string(98, 'a'), Utf8ToGbkOf(full));
    full[97] = 0xE5;
    full[98] = 0xBC;
    full[99] = 0xA0;
    EXPECT_EQ(std::string(97, 'a') + "\xD5\xC5", Utf8ToGbkOf(full));
}

TEST(UnicodeQp, WritesEachHighByteAfterFF) {
    EXPECT_EQ("=FF=D5=FF=C5", Encoded(Gbk("张"), UnicodeQp));
    EXPECT_EQ("=FF=D5=FF=C5;=FF=C8=FF=FD", Encoded(Gbk("张;三"), UnicodeQp));
    EXPECT_EQ("\xD5\xC5", Decoded("=FF=D5=FF=C5", UnicodeQp));
    EXPECT_EQ("\xE3", Decoded("=C4=E3", UnicodeQp));
    EXPECT_EQ("ZhangSan1380000", Decoded("Zhang San 138-0000", UnicodeQp));
}

TEST(UnicodeQp, ALongTextIsCutAtTheUnitString) {
    UnitString units;
    WidenGbkBytes(std::string(150, '\xB0').c_str(), units);
    EXPECT_EQ(UnitStringCapacity - 1, UnitCount(units));
    EXPECT_EQ(0xFFB0, units.units[0]);
    // 41 pairs fill 246 characters; the 42nd is begun at 246 and fits.
    EXPECT_EQ(252u, Encoded(std::string(150, '\xB0'), UnicodeQp).size());
}

TEST(UnitsToBytes, KeepsTheLowByteOfEachUnit) {
    UnitString units = {{0xFFD5, 0x12C5, 'a', 0}};
    char out[256];
    UnitsToBytes(units, out, sizeof out);
    EXPECT_STREQ("\xD5\xC5" "a", out);
    char small[2];
    UnitsToBytes(units, small, sizeof small);
    EXPECT_STREQ("\xD5", small);
}

TEST(PlainEncoding, LeavesTheTextAlone) {
    EXPECT_EQ(Gbk("张;三 =E5"), Encoded(Gbk("张;三 =E5"), Plain));
    EXPECT_EQ(Gbk("张;三 =E5"), Decoded(Gbk("张;三 =E5"), Plain));
}
