// The two sides of the code-page seam (the system's code page 936 on
// Windows, iconv on Linux) must give the same text for every input, so
// that a book, a vCard or a CSV file reads the same everywhere. The same
// tests run in both builds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/gbk.h"
#include "platform/platform.h"

namespace {

// FNV-1a over every conversion result, separated so that no two result
// lists hash alike by shifting a unit from one result to the next.
struct Fingerprint {
    uint64_t hash = 1469598103934665603ull;
    void Add(unsigned value) {
        hash ^= value;
        hash *= 1099511628211ull;
    }
    void AddUnits(const std::u16string& units) {
        for (char16_t unit : units) Add(unit);
        Add(0x10000);
    }
    void AddBytes(const std::string& bytes) {
        for (char byte : bytes) Add(static_cast<unsigned char>(byte));
        Add(0x100);
    }
};

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes += static_cast<char>(value);
    return bytes;
}

}  // namespace

TEST(CodePage936, ConvertsChineseBothWays) {
    EXPECT_EQ(u"\u5F20\u4E09", GbkToUtf16(Bytes({0xD5, 0xC5, 0xC8, 0xFD})));
    EXPECT_EQ(Bytes({0xD5, 0xC5, 0xC8, 0xFD}), Utf16ToGbk(u"\u5F20\u4E09"));
    EXPECT_EQ(u"\u00B7", GbkToUtf16(Bytes({0xA1, 0xA4})));
    EXPECT_EQ(u"\u20AC", GbkToUtf16(Bytes({0x80})));
    EXPECT_EQ(std::u16string(u"a\0b", 3), GbkToUtf16(std::string("a\0b", 3)));
}

TEST(CodePage936, BytesWithoutACharacterBecomeOneQuestionMarkEach) {
    EXPECT_EQ(u"?", GbkToUtf16(Bytes({0xFF})));
    EXPECT_EQ(u"a?", GbkToUtf16(Bytes({'a', 0x81})));       // a lead byte cut off by the end
    EXPECT_EQ(u"?0", GbkToUtf16(Bytes({0x81, '0'})));       // a lead byte without a trail byte
    EXPECT_EQ(u"?\u5F20?", GbkToUtf16(Bytes({0xFF, 0xD5, 0xC5, 0xD5})));
}

TEST(CodePage936, UserDefinedCodesAreThePrivateUseArea) {
    EXPECT_EQ(u"\uE000", GbkToUtf16(Bytes({0xAA, 0xA1})));
    EXPECT_EQ(u"\uE234", GbkToUtf16(Bytes({0xF8, 0xA1})));
    EXPECT_EQ(u"\uE4C6", GbkToUtf16(Bytes({0xA1, 0x40})));
    EXPECT_EQ(u"\uE864", GbkToUtf16(Bytes({0xFE, 0xA0})));
    EXPECT_EQ(Bytes({0xAA, 0xA1}), Utf16ToGbk(u"\uE000"));
    EXPECT_EQ(Bytes({0xFE, 0xA0}), Utf16ToGbk(u"\uE864"));
    EXPECT_EQ("?", Utf16ToGbk(u"\uE865"));
}

TEST(CodePage936, CharactersWithoutACodeBecomeQuestionMarksNeverLookAlikes) {
    EXPECT_EQ("?", Utf16ToGbk(u"\u00A6"));  // broken bar: no "|"
    EXPECT_EQ("?", Utf16ToGbk(u"\u00AA"));  // no "a"
    EXPECT_EQ("?", Utf16ToGbk(u"\uF8F5"));  // no lone byte 0xFF
    EXPECT_EQ("a?b", Utf16ToGbk(u"a\U0001F600b"));  // one "?" for a surrogate pair
    EXPECT_EQ("?x", Utf16ToGbk(u"\xD800x"));
    EXPECT_EQ("??", Utf16ToGbk(u"\xDC00\xD800"));
    EXPECT_EQ("??", Utf16ToGbk(u"\xD83D\xD83D\xDE00"));
}

TEST(CodePage936, EveryCodeAndEveryUnitConvertsAlikeOnBothSystems) {
    Fingerprint toUnicode;
    for (int b = 0; b < 0x100; ++b) toUnicode.AddUnits(GbkToUtf16(Bytes({b})));
    for (int lead = GbkFirstLead; lead <= GbkLastLead; ++lead) {
        for (int trail = GbkFirstTrail; trail <= GbkLastTrail; ++trail) toUnicode.AddUnits(GbkToUtf16(Bytes({lead, trail})));
    }
    Fingerprint toGbk;
    for (int unit = 0; unit < 0x10000; ++unit) toGbk.AddBytes(Utf16ToGbk(std::u16string(1, static_cast<char16_t>(unit))));
    // Fingerprints of the Windows code page 936 tables.
    EXPECT_EQ(14295487038177568602ull, toUnicode.hash);
    EXPECT_EQ(11864958284431570624ull, toGbk.hash);
}

TEST(CodePage936, PathsFollowTheSameRules) {
    PathString path = PathFromGbk(Bytes({'a', 0xD5, 0xC5, 0xAA, 0xA1, 0xFF}));
    EXPECT_EQ(Bytes({'a', 0xD5, 0xC5, 0xAA, 0xA1, '?'}), PathToGbk(path));
}
