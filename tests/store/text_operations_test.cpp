#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "store/text_operations.h"

TEST(TrimSpacesAndTrailingLineFeeds, CutsTrailingBlanksAndLineFeedsThenLeadingSpaces) {
    std::string text = "  abc \n";
    TrimSpacesAndTrailingLineFeeds(text);
    EXPECT_EQ("abc", text);
    for (std::string blank : {"\n", "   ", ""}) {
        TrimSpacesAndTrailingLineFeeds(blank);
        EXPECT_EQ("", blank);
    }
    std::string keeps = " a\r\t";
    TrimSpacesAndTrailingLineFeeds(keeps);
    EXPECT_EQ("a\r\t", keeps);
}

TEST(Trims, EachTakesOnlyItsOwnBlanksFromBothEnds) {
    EXPECT_EQ("a \t b", TrimSpaces("  a \t b  "));
    EXPECT_EQ("\ta\t", TrimSpaces(" \ta\t "));
    EXPECT_EQ(L"c:\\a b", TrimSpaces(L"  c:\\a b "));
    EXPECT_EQ("a", TrimSpacesAndTabs(" \t a\t "));
    EXPECT_EQ("\ra\n", TrimSpacesAndTabs("\t\ra\n "));
    EXPECT_EQ("a b", TrimWhiteSpace("\r\n\t a b \r\n"));
    EXPECT_EQ("", TrimSpaces("   "));
    EXPECT_EQ("", TrimSpacesAndTabs(""));
    EXPECT_EQ("", TrimWhiteSpace(" \r\n\t"));
}

TEST(AsciiCase, FoldsOnlyAsciiLettersWhateverTheLocale) {
    EXPECT_EQ('a', AsciiLower('A'));
    EXPECT_EQ('Z', AsciiUpper('z'));
    EXPECT_EQ('@', AsciiLower('@'));
    EXPECT_EQ('[', AsciiUpper('['));
    EXPECT_EQ(L'q', AsciiLower(L'Q'));
    // "张" in GBK, then a byte of Latin-1's upper half: none of them a letter.
    EXPECT_EQ("\xD5\xC5\xC0", AsciiLowerCase("\xD5\xC5\xC0"));
    EXPECT_EQ("quoted-printable 1", AsciiLowerCase("Quoted-PRINTABLE 1"));
    EXPECT_TRUE(IsAsciiLetter('a') && IsAsciiLetter('Z'));
    EXPECT_FALSE(IsAsciiLetter('@') || IsAsciiLetter('[') || IsAsciiLetter('`') || IsAsciiLetter('{'));
    EXPECT_FALSE(IsAsciiLetter('\xC1'));
}

TEST(AsciiCase, ComparesWordsAndPrefixesInEitherCase) {
    EXPECT_TRUE(SameNoCase("Group", "gROUP"));
    EXPECT_FALSE(SameNoCase("Groups", "group"));
    EXPECT_FALSE(SameNoCase("\xC0", "\xE0"));
    EXPECT_TRUE(StartsWithNoCase("TEL:+86", "tel:"));
    EXPECT_FALSE(StartsWithNoCase("te", "tel"));
    EXPECT_TRUE(StartsWithNoCase("x", ""));
}

// The byte search that Windows builds use finds what memchr finds, at
// every length and alignment, the bytes around the one sought included.
TEST(FindByteInWords, FindsWhatMemchrFinds) {
    std::mt19937 random(1712);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 40, '\0');
        for (char& c : text) c = static_cast<char>("a\n\r\x80\xff\x01"[random() % 6]);
        size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        char sought = static_cast<char>("\n\r\x80\xff\x01z"[random() % 6]);
        const char* expected = static_cast<const char*>(std::memchr(text.data() + from, sought, text.size() - from));
        ASSERT_EQ(expected, FindByteInWords(text.data() + from, text.size() - from, sought)) << round;
    }
}
