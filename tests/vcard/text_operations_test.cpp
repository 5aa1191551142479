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
