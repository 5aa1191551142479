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

// Only the last part of the path counts, whatever the folders are called.
TEST(EnsureExtension, ADotInAFolderNameIsNoExtension) {
    EXPECT_EQ("D:\\ver1.0\\abc.txl", Ensured("D:\\ver1.0\\abc"));
    EXPECT_EQ("C:\\Users\\zhang.san\\abc.txl", Ensured("C:\\Users\\zhang.san\\abc."));
    EXPECT_EQ("D:\\ver1.0\\abc.dat", Ensured("D:\\ver1.0\\abc.dat"));
    EXPECT_EQ("D:/ver1.0/abc.txl", Ensured("D:/ver1.0/abc"));
    EXPECT_EQ("D:\\a.b/c.d\\abc.txl", Ensured("D:\\a.b/c.d\\abc"));
}

TEST(EnsureExtension, PathsLongerThanTheProgramTakesDoNotFit) {
    EXPECT_TRUE(PathFits(PathString(PathCapacity - 1, 'a')));
    EXPECT_FALSE(PathFits(PathString(PathCapacity, 'a')));
}
