#include <gtest/gtest.h>

#include "platform/file_names.h"

namespace {

std::string Ensured(const char* name) {
    PathString path = PathFromAscii(name);
    EnsureExtension(path, PathFromAscii(".txl"));
    return PathToUtf8(path);
}

}  // namespace

TEST(EnsureExtension, AddsTheExtensionToANameWithoutOne) {
    EXPECT_EQ("abc.txl", Ensured("abc"));
    EXPECT_EQ("C:\\book\\abc.txl", Ensured("C:\\book\\abc"));
    EXPECT_EQ(".txl", Ensured(""));
}

TEST(EnsureExtension, DropsALoneFinalDotFirst) {
    EXPECT_EQ("abc.txl", Ensured("abc."));
    EXPECT_EQ("C:\\book\\abc.txl", Ensured("C:\\book\\abc."));
}

TEST(EnsureExtension, KeepsANameThatHasAnyExtension) {
    EXPECT_EQ("abc.dat", Ensured("abc.dat"));
    EXPECT_EQ("abc.txl", Ensured("abc.txl"));
    EXPECT_EQ("abc..", Ensured("abc.."));
}

// Any dot followed by a character counts, also one in a folder name.
TEST(EnsureExtension, ADotInAFolderNameCountsAsAnExtension) {
    EXPECT_EQ("D:\\ver1.0\\abc", Ensured("D:\\ver1.0\\abc"));
    EXPECT_EQ("D:\\ver1.0\\abc.", Ensured("D:\\ver1.0\\abc."));
}

TEST(EnsureExtension, PathsLongerThanTheProgramTakesDoNotFit) {
    EXPECT_TRUE(PathFits(PathString(PathCapacity - 1, 'a')));
    EXPECT_FALSE(PathFits(PathString(PathCapacity, 'a')));
}
