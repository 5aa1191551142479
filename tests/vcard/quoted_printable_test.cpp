#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vcard/quoted_printable.h"

namespace {

std::vector<uint16_t> Units(const UnitString& units) {
    return std::vector<uint16_t>(units.units, units.units + UnitCount(units));
}

UnitString MakeUnits(const std::vector<uint16_t>& values) {
    UnitString units;
    size_t n = 0;
    for (; n < values.size() && n < UnitStringCapacity - 1; ++n) units.units[n] = values[n];
    units.units[n] = 0;
    return units;
}

std::vector<uint16_t> DecodeBytes(const char* text) {
    UnitString units;
    DecodeQpBytes(text, units);
    return Units(units);
}

std::vector<uint16_t> DecodePairs(const char* text) {
    UnitString units;
    DecodeQpPairs(text, units);
    return Units(units);
}

std::string EncodeBytes(const std::vector<uint16_t>& values) {
    char out[256];
    EncodeQpBytes(MakeUnits(values), out, sizeof out);
    return out;
}

std::string EncodePairs(const std::vector<uint16_t>& values) {
    char out[256];
    EncodeQpPairs(MakeUnits(values), out, sizeof out);
    return out;
}

// A text in a heap block of exactly its size, so that a read past its
// terminator is caught by the address sanitizer.
std::unique_ptr<char[]> Exact(const std::string& text) {
    std::unique_ptr<char[]> block(new char[text.size() + 1]);
    text.copy(block.get(), text.size());
    block[text.size()] = '\0';
    return block;
}

}  // namespace

TEST(HexPairValue, ReadsDigitsOfEitherCase) {
    EXPECT_EQ(0xE5, HexPairValue('E', '5'));
    EXPECT_EQ(0x3D, HexPairValue('3', 'D'));
    EXPECT_EQ(0xBC, HexPairValue('b', 'c'));
    EXPECT_EQ(0, HexPairValue('\0', 'F'));
    EXPECT_EQ(0xA, HexPairValue('A', '\0'));
    EXPECT_EQ(0x05, HexPairValue('G', '5'));  // not a digit: counts as 0
}

TEST(ByteToHex, WritesTwoUpperCaseDigits) {
    char out[3];
    ByteToHex(0x0A, out);
    EXPECT_STREQ("0A", out);
    ByteToHex(0xFF, out);
    EXPECT_STREQ("FF", out);
    ByteToHex(0x1C5, out);  // only the low byte
    EXPECT_STREQ("C5", out);
}

TEST(DecodeQp, KeepsOnlyEscapesDigitsAndLetters) {
    EXPECT_EQ(std::vector<uint16_t>({'Z', 'h', 'a', 'n', 'g', 'S', 'a', 'n'}), DecodeBytes("Zhang San"));
    EXPECT_EQ(std::vector<uint16_t>({'1', '3', '8', '0', '0', '0', '0'}), DecodeBytes("138-0000"));
    EXPECT_EQ(std::vector<uint16_t>({'1', '5'}), DecodePairs("1.5"));
    EXPECT_EQ(std::vector<uint16_t>({'a', 'b'}), DecodeBytes("a\xD5\xC5;\tb"));
    EXPECT_EQ(std::vector<uint16_t>({'='}), DecodeBytes("=3D"));
    EXPECT_EQ(std::vector<uint16_t>({0xE5, 0xBC, 0xA0}), DecodeBytes("=E5=BC=A0"));
    EXPECT_EQ(std::vector<uint16_t>({0xE5, 0xBC}), DecodeBytes("=e5=bc"));
    EXPECT_TRUE(DecodeBytes("").empty());
}

TEST(DecodeQp, PairsGiveSixteenBitUnits) {
    EXPECT_EQ(std::vector<uint16_t>({0xFFD5, 0xFFC5}), DecodePairs("=FF=D5=FF=C5"));
    // Ordinary single escapes read as pairs lose every first byte.
    EXPECT_EQ(std::vector<uint16_t>({0xC4E3}), DecodePairs("=C4=E3"));
}

TEST(DecodeQp, AZeroEscapeEndsTheString) {
    EXPECT_EQ(std::vector<uint16_t>({'a'}), DecodeBytes("a=00b"));
}

TEST(DecodeQp, AnEscapeCutShortEndsTheValueWithoutReadingPastIt) {
    auto softBreak = Exact("ab=");
    EXPECT_EQ(std::vector<uint16_t>({'a', 'b'}), DecodeBytes(softBreak.get()));
    auto halfEscape = Exact("ab=4");
    EXPECT_EQ(std::vector<uint16_t>({'a', 'b'}), DecodeBytes(halfEscape.get()));
    auto afterOne = Exact("ab=41=4");
    EXPECT_EQ(std::vector<uint16_t>({'a', 'b', 'A'}), DecodeBytes(afterOne.get()));
    for (const char* text : {"ab=", "ab=F", "ab=FF", "ab=FF=", "ab=FF=C"}) {
        auto exact = Exact(text);
        EXPECT_EQ(std::vector<uint16_t>({'a', 'b'}), DecodePairs(exact.get())) << text;
    }
}

TEST(DecodeQp, AnEscapeWithoutHexDigitsIsDroppedLikePunctuation) {
    EXPECT_EQ(std::vector<uint16_t>({'a', 'G', '1', 'b'}), DecodeBytes("a=G1b"));
    EXPECT_EQ(std::vector<uint16_t>({'G', 'G', 'H', 'H', 'x', 'y', 'z'}), DecodePairs("=GG=HHxyz"));
}

TEST(DecodeQp, StopsWhenTheUnitStringIsFull) {
    std::string many;
    for (int i = 0; i < 150; ++i) many += "=E5";
    EXPECT_EQ(static_cast<size_t>(UnitStringCapacity - 1), DecodeBytes(many.c_str()).size());
    EXPECT_EQ(static_cast<size_t>(UnitStringCapacity - 1), DecodePairs((many + many).c_str()).size());
}

TEST(EncodeQp, EscapesOnlyValuesOfEightyAndAbove) {
    EXPECT_EQ("=E5=BC=A0", EncodeBytes({0xE5, 0xBC, 0xA0}));
    EXPECT_EQ("a=b;c", EncodeBytes({'a', '=', 'b', ';', 'c'}));
    EXPECT_EQ("=FF=D5=FF=C5", EncodePairs({0xFFD5, 0xFFC5}));
    EXPECT_EQ("x=00=80", EncodePairs({'x', 0x80}));
    EXPECT_EQ("", EncodeBytes({}));
}

TEST(EncodeQp, BeginsNoUnitAfterTwoHundredFiftyOneCharacters) {
    std::vector<uint16_t> ascii(99, 'a');
    std::vector<uint16_t> high(99, 0xE5);
    EXPECT_EQ(std::string(99, 'a'), EncodeBytes(ascii));
    // 83 escapes make 249 characters; the 84th is begun, the 85th is not.
    EXPECT_EQ(252u, EncodeBytes(high).size());
}

TEST(EncodeQp, APairNeverRunsPastTheBuffer) {
    // 250 characters written, then a six-character pair: it would need 257
    // bytes with the terminator, so it is left out.
    std::vector<uint16_t> values(4, 'a');
    for (int i = 0; i < 41; ++i) values.push_back(0xFFC5);
    values.push_back(0xFFD5);
    values.push_back('z');
    std::string encoded = EncodePairs(values);
    EXPECT_EQ(250u, encoded.size());
    EXPECT_EQ("=FF=C5", encoded.substr(244));

    char small[12];
    EncodeQpPairs(MakeUnits({'a', 0xFFC5, 0xFFC5}), small, sizeof small);
    EXPECT_STREQ("a=FF=C5", small);
}
