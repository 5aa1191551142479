#include <gtest/gtest.h>

#include "platform/platform.h"

TEST(Utf8, ToUtf16AndBack) {
    const std::string utf8 = "A\xC3\xA9\xE5\xBC\xA0\xF0\x9F\x98\x80";  // A é 张 😀
    const std::u16string units = u"A\u00E9\u5F20\U0001F600";
    EXPECT_EQ(units, Utf8ToUtf16(utf8));
    EXPECT_EQ(utf8, Utf16ToUtf8(units));
}

TEST(Utf8, EachByteOfABrokenSequenceIsAReplacement) {
    EXPECT_EQ(u"\uFFFDa", Utf8ToUtf16("\x80" "a"));             // a lone continuation
    EXPECT_EQ(u"\uFFFD\uFFFD", Utf8ToUtf16("\xC0\xAF"));         // an overlong "/"
    EXPECT_EQ(u"\uFFFD\uFFFD\uFFFD", Utf8ToUtf16("\xED\xA0\x80"));  // a surrogate
    EXPECT_EQ(u"\uFFFD\uFFFD\uFFFD\uFFFD", Utf8ToUtf16("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_EQ(u"x\uFFFD\uFFFD", Utf8ToUtf16("x\xE5\xBC"));       // cut short
    EXPECT_EQ(u"\uFFFDy", Utf8ToUtf16("\xE5y"));
    // A lone surrogate has no UTF-8 form.
    EXPECT_EQ("\xEF\xBF\xBD" "a", Utf16ToUtf8(std::u16string{0xD800, u'a'}));
    EXPECT_EQ("\xEF\xBF\xBD", Utf16ToUtf8(std::u16string{0xDC00}));
}
