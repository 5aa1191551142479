#include <gtest/gtest.h>

#include "vcard/text_operations.h"

TEST(TrimSpaces, CutsTrailingBlanksAndLineFeedsThenLeadingSpaces) {
    std::string text = "  abc \n";
    TrimSpaces(text);
    EXPECT_EQ("abc", text);
    for (std::string blank : {"\n", "   ", ""}) {
        TrimSpaces(blank);
        EXPECT_EQ("", blank);
    }
    std::string keeps = " a\r\t";
    TrimSpaces(keeps);
    EXPECT_EQ("a\r\t", keeps);
    char buffer[] = "\n  x  ";
    TrimSpaces(buffer);
    EXPECT_STREQ("\n  x", buffer);
}

TEST(ContainsToken, FindsTheFirstOccurrenceAnywhereCaseSensitively) {
    const char* text = "TEL;HOME;FAX;HOME";
    const char* cursor = nullptr;
    EXPECT_EQ(1, ContainsToken(text, "HOME", &cursor));
    EXPECT_STREQ(";FAX;HOME", cursor);
    EXPECT_EQ(1, ContainsToken(text, "FAX"));
    EXPECT_EQ(0, ContainsToken(text, "home", &cursor));
    EXPECT_STREQ(";FAX;HOME", cursor);  // left alone on failure
    EXPECT_EQ(0, ContainsToken("", "CELL"));
}

TEST(MatchPrefix, MatchesTheStartAndClearsTheCursorOnFailure) {
    const char* cursor = nullptr;
    EXPECT_EQ(1, MatchPrefix("NICKNAME", "N", &cursor));
    EXPECT_STREQ("ICKNAME", cursor);
    EXPECT_EQ(0, MatchPrefix("", "N", &cursor));
    EXPECT_EQ(nullptr, cursor);
    EXPECT_EQ(0, MatchPrefix("TE", "TEL", &cursor));
    EXPECT_EQ(0, MatchPrefix("n:x", "N", nullptr));
}

TEST(TakeComponent, SplitsAtTheDelimiterThenGivesEmptyComponents) {
    const char* cursor = "a;b;c";
    char out[256];
    EXPECT_EQ(0, TakeComponent(cursor, out, &cursor, ';', sizeof out));
    EXPECT_STREQ("a", out);
    EXPECT_EQ(0, TakeComponent(cursor, out, &cursor, ';', sizeof out));
    EXPECT_STREQ("b", out);
    EXPECT_EQ(1, TakeComponent(cursor, out, &cursor, ';', sizeof out));
    EXPECT_STREQ("c", out);
    EXPECT_EQ(1, TakeComponent(cursor, out, &cursor, ';', sizeof out));
    EXPECT_STREQ("", out);
}

TEST(TakeComponent, TheTerminatorAsDelimiterTakesTheWholeRest) {
    const char* text = "x;y;z";
    const char* cursor = text;
    char out[256];
    EXPECT_EQ(0, TakeComponent(text, out, &cursor, '\0', sizeof out));
    EXPECT_STREQ("x;y;z", out);
    EXPECT_EQ(text, cursor);
}

TEST(TakeComponent, AFullBufferIsTerminatedAndEndsTheComponents) {
    const char* cursor = "abcdef;g";
    char out[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(0, TakeComponent(cursor, out, &cursor, ';', sizeof out));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ(1, TakeComponent(cursor, out, &cursor, ';', sizeof out));
    EXPECT_STREQ("", out);
}
