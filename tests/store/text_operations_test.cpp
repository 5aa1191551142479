#include <gtest/gtest.h>

#include <random>
#include <string>

#include "store/text_operations.h"

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

namespace {

// TakeComponent as it was first written, a byte at a time: the faster one
// must give the same component, result and cursor.
const char* const EmptyCursor = "";

int ByteByByte(const char* text, char* out, const char** cursor, char delimiter, size_t capacity) {
    if (capacity == 0) return 0;
    for (size_t n = 0;; ++n) {
        char c = text[n];
        if (c == delimiter) {
            out[n] = '\0';
            if (delimiter != '\0' && cursor) *cursor = text + n + 1;
            return 0;
        }
        if (c == '\0') {
            out[n] = '\0';
            if (cursor) *cursor = text + n;
            return 1;
        }
        if (n + 1 == capacity) {
            out[n] = '\0';
            if (cursor) *cursor = EmptyCursor;
            return 0;
        }
        out[n] = c;
    }
}

}  // namespace

TEST(TakeComponent, AgreesWithAByteByByteCopyOnRandomTexts) {
    std::mt19937 random(6);
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 12, ' ');
        for (char& c : text) c = "ab;;-"[random() % 5];
        char delimiter = "\0;-"[random() % 3];
        size_t capacity = 1 + random() % 10;
        char expected[16], actual[16];
        static const char unset[] = "unset";
        const char* expectedCursor = unset;
        const char* actualCursor = unset;
        int expectedResult = ByteByByte(text.c_str(), expected, &expectedCursor, delimiter, capacity);
        int actualResult = TakeComponent(text.c_str(), actual, &actualCursor, delimiter, capacity);
        ASSERT_EQ(expectedResult, actualResult) << text;
        ASSERT_STREQ(expected, actual) << text;
        // A cut leaves each at its own empty text; otherwise both point into the text.
        if (expectedCursor == EmptyCursor) {
            ASSERT_STREQ("", actualCursor) << text;
        } else {
            ASSERT_EQ(expectedCursor, actualCursor) << text;
        }
    }
}

TEST(TakeComponent, MayWriteOverTheTextItTakes) {
    char text[] = "ab;cd";
    const char* cursor = text;
    EXPECT_EQ(0, TakeComponent(text, text, &cursor, ';', sizeof text));
    EXPECT_STREQ("ab", text);
    EXPECT_STREQ("cd", cursor);
}
