#include <gtest/gtest.h>

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
