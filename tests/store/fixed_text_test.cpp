#include <gtest/gtest.h>

#include <cstring>

#include "store/fixed_text.h"
#include "test_support.h"

TEST(FixedText, CutsAtAWholeDoubleByteCharacter) {
    char field[10];
    // 张三李四王 is ten bytes: only four characters fit in nine.
    CopyToField(field, sizeof field, Gbk("张三李四王"));
    EXPECT_EQ(Gbk("张三李四"), std::string(field));
    // An ASCII letter first shifts the boundary: a1 + 4 characters = 9 bytes.
    CopyToField(field, sizeof field, "a" + Gbk("张三李四王"));
    EXPECT_EQ("a" + Gbk("张三李四"), std::string(field));
    CopyToField(field, sizeof field, "ab" + Gbk("张三李四王"));
    EXPECT_EQ("ab" + Gbk("张三李"), std::string(field));
}

TEST(FixedText, CutsAtAWholeFourByteCharacter) {
    char field[10];
    CopyToField(field, sizeof field, Gbk("𬎆𬎆"));  // eight bytes: both fit
    EXPECT_EQ(Gbk("𬎆𬎆"), std::string(field));
    CopyToField(field, sizeof field, "ab" + Gbk("𬎆𬎆"));
    EXPECT_EQ("ab" + Gbk("𬎆"), std::string(field));
    CopyToField(field, sizeof field, Gbk("𬎆张三𬎆"));
    EXPECT_EQ(Gbk("𬎆张三"), std::string(field));
    CopyToField(field, sizeof field, Gbk("张三李𬎆"));  // six bytes, then four that do not fit
    EXPECT_EQ(Gbk("张三李"), std::string(field));
}

TEST(FixedText, AlwaysTerminatesAndZeroesTheRest) {
    char field[5];
    std::memset(field, 'x', sizeof field);
    CopyToField(field, sizeof field, "ab");
    EXPECT_EQ(std::string("ab\0\0\0", 5), std::string(field, 5));
    CopyToField(field, sizeof field, "abcdefgh");
    EXPECT_EQ(std::string("abcd\0", 5), std::string(field, 5));
}

TEST(FixedText, ALoneLeadByteAtTheEndCountsAsOneByte) {
    char field[4];
    CopyToField(field, sizeof field, std::string("ab\xD5", 3));
    EXPECT_EQ(std::string("ab\xD5"), std::string(field));
}

TEST(FixedText, FieldStringStopsAtTheWidth) {
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ("abcd", FieldString(unterminated, 4));
    EXPECT_EQ("ab", FieldString("ab\0cd", 5));
}

TEST(FixedText, ProgramTextsAreGbk) {
    EXPECT_EQ("\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9", GbkText(u"默认分组"));
    EXPECT_EQ("\xD5\xC5\xC8\xFD", Gbk("张三"));
}
