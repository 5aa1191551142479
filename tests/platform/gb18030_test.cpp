// The book's encoding, GB 18030-2022: every character both ways, checked
// against glibc's iconv natively and against its fingerprint under Wine,
// so that a book reads the same everywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/gb18030.h"
#include "platform/gbk.h"
#include "platform/platform.h"

#ifndef _WIN32
#include <iconv.h>
#endif

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

std::u16string Utf16Of(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

std::string FourByteCode(unsigned count) {
    int b4 = 0x30 + count % 10;
    count /= 10;
    int b3 = 0x81 + count % 126;
    count /= 126;
    int b2 = 0x30 + count % 10;
    count /= 10;
    return Bytes({static_cast<int>(0x81 + count), b2, b3, b4});
}

const unsigned FourByteCodes = 126 * 10 * 126 * 10;

const std::string ReplacementCode = Bytes({0x84, 0x31, 0xA4, 0x37});

#ifndef _WIN32
std::string Utf16Le(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) bytes += Bytes({unit & 0xFF, unit >> 8});
    return bytes;
}

// iconv's answer, or empty when it has none.
std::string Iconv(const char* to, const char* from, const std::string& input) {
    iconv_t cd = iconv_open(to, from);
    char buffer[64];
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft != 0) return std::string();
    return std::string(buffer, out - buffer);
}
#endif

}  // namespace

TEST(Gb18030, EveryCharacterAndEveryCodeConvertsAsIconvDoes) {
    Fingerprint toBytes;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string code = Utf16ToGb18030(Utf16Of(c));
        toBytes.AddBytes(code);
#ifndef _WIN32
        if (c % 0x1000 == 0 || c < 0x30000) {  // the planes beyond are counted alike
            std::string expected = Iconv("GB18030", "UTF-16LE", Utf16Le(Utf16Of(c)));
            // The private-use characters the 2022 edition gave up have no code.
            ASSERT_EQ(expected.empty() ? ReplacementCode : expected, code) << std::hex << static_cast<unsigned>(c);
        }
#endif
    }
    Fingerprint toUnicode;
    for (int b = 0; b < 0x100; ++b) toUnicode.AddUnits(Gb18030ToUtf16(Bytes({b})));
    for (int lead = GbkFirstLead; lead <= GbkLastLead; ++lead) {
        for (int trail = GbkFirstTrail; trail <= GbkLastTrail; ++trail) {
            std::string code = Bytes({lead, trail});
            std::u16string units = Gb18030ToUtf16(code);
            toUnicode.AddUnits(units);
#ifndef _WIN32
            if (trail != GbkNoTrail) {
                ASSERT_EQ(Iconv("UTF-16LE", "GB18030", code), Utf16Le(units)) << std::hex << lead << " " << trail;
            }
#endif
        }
    }
    for (unsigned count = 0; count < FourByteCodes; ++count) {
        std::string code = FourByteCode(count);
        std::u16string units = Gb18030ToUtf16(code);
        toUnicode.AddUnits(units);
#ifndef _WIN32
        if (count < 0x10000 || count % 0x100 == 0) {
            std::string expected = Iconv("UTF-16LE", "GB18030", code);
            if (expected.empty()) {
                ASSERT_EQ(u"\uFFFD", units) << count;  // no character
            } else {
                ASSERT_EQ(expected, Utf16Le(units)) << count;
            }
        }
#endif
    }
    // Fingerprints of the results iconv agrees with above.
    EXPECT_EQ(10936629552263283840ull, toBytes.hash);
    EXPECT_EQ(7105937658599936902ull, toUnicode.hash);
}

TEST(Gb18030, GbkTextIsUnchangedAndRareCharactersHaveFourBytes) {
    for (int lead = GbkFirstLead; lead <= GbkLastLead; ++lead) {
        for (int trail = GbkFirstTrail; trail <= GbkLastTrail; ++trail) {
            if (trail == GbkNoTrail) continue;
            std::string code = Bytes({lead, trail});
            ASSERT_EQ(code, Utf16ToGbk(GbkToUtf16(code))) << std::hex << lead << " " << trail;
        }
    }
    EXPECT_EQ(u"\u5F20\u4E09", GbkToUtf16(Bytes({0xD5, 0xC5, 0xC8, 0xFD})));
    EXPECT_EQ(Bytes({0xFE, 0x59}), Utf16ToGbk(u"\u9FB4"));
    EXPECT_EQ(Bytes({0xC1, 0xF5, 0xFE, 0x9F}), Utf16ToGbk(u"刘䶮"));  // 䶮 is one of GBK's own
    EXPECT_EQ(Bytes({0x82, 0x32, 0x89, 0x37}), Utf16ToGbk(u"㻞"));  // 㻞: four bytes
    EXPECT_EQ(u"𬎆", GbkToUtf16(Utf16ToGbk(u"𬎆")));
    EXPECT_EQ(4u, Utf16ToGbk(u"𬎆").size());
    EXPECT_EQ(u"\uE000", GbkToUtf16(Bytes({0xAA, 0xA1})));  // self-made characters stay private use
    EXPECT_EQ(u"\u20AC", GbkToUtf16(Bytes({0x80})));  // as code page 936 wrote "€"
    EXPECT_EQ(Bytes({0xA2, 0xE3}), Utf16ToGbk(u"\u20AC"));
    EXPECT_EQ("M\xC3\xBCller 😀", Gb18030ToUtf8(Utf8ToGb18030("M\xC3\xBCller 😀")));
}

TEST(Gb18030, ABrokenSequenceNeverTakesTheNextCharacter) {
    EXPECT_EQ(u"\uFFFD", GbkToUtf16(Bytes({0xFF})));
    EXPECT_EQ(u"a\uFFFD", GbkToUtf16(Bytes({'a', 0x81})));            // cut off by the end
    EXPECT_EQ(u"\uFFFD0", GbkToUtf16(Bytes({0x81, '0'})));             // a digit, then the end
    EXPECT_EQ(u"\uFFFD0\u5F20", GbkToUtf16(Bytes({0x81, '0', 0xD5, 0xC5})));  // not four bytes
    EXPECT_EQ(u"\uFFFD01", GbkToUtf16(Bytes({0x81, '0', '1'})));
    EXPECT_EQ(u"\uFFFD", GbkToUtf16(Bytes({0xFE, 0x39, 0xFE, 0x39})));  // beyond U+10FFFF
    EXPECT_EQ(u"\uFFFD\u5F20\uFFFD", GbkToUtf16(Bytes({0xFF, 0xD5, 0xC5, 0xD5})));
    EXPECT_EQ(ReplacementCode + "x", Utf16ToGbk(u"\xD800x"));
    EXPECT_EQ(ReplacementCode + ReplacementCode, Utf16ToGbk(u"\xDC00\xD800"));
    EXPECT_EQ(ReplacementCode + Utf16ToGbk(u"\U0001F600"), Utf16ToGbk(u"\xD83D\xD83D\xDE00"));
}

TEST(Gb18030, CharacterLengthsStepOverWholeCharacters) {
    std::string text = Utf16ToGbk(u"a张𬎆\uFFFD");
    std::string broken = text + Bytes({0x81, 0x30});
    const unsigned char* p = reinterpret_cast<const unsigned char*>(broken.data());
    EXPECT_EQ(1u, Gb18030CharacterLength(p, broken.size()));
    EXPECT_EQ(2u, Gb18030CharacterLength(p + 1, broken.size() - 1));
    EXPECT_EQ(4u, Gb18030CharacterLength(p + 3, broken.size() - 3));
    EXPECT_EQ(4u, Gb18030CharacterLength(p + 7, broken.size() - 7));
    EXPECT_EQ(1u, Gb18030CharacterLength(p + 11, 2));
    EXPECT_EQ(1u, Gb18030CharacterLength(p + 3, 3));  // cut short
}

TEST(Gb18030, PathsKeepEveryCharacter) {
    std::string name = Utf16ToGbk(u"a张𬎆.txl");
    EXPECT_EQ(name, PathToGbk(PathFromGbk(name)));
}
