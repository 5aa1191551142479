#include <gtest/gtest.h>

#include <cstring>

#include "store/little_endian.h"
#include "store/fixed_text.h"
#include "store/settings_file.h"
#include "test_support.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("txl.dat");
    DisplaySettings settings = {};
};

std::string FlagBytes(int32_t value) {
    std::string bytes;
    for (int i = 0; i < ColumnFlagCount; ++i) PutInt32(bytes, value);
    return bytes;
}

}  // namespace

TEST_F(SettingsFile, AMissingFileGivesTheDefaults) {
    LoadSettings(settings, path);
    const int32_t expected[ColumnFlagCount] = {1, 1, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < ColumnFlagCount; ++i) EXPECT_EQ(expected[i], settings.ColumnFlags[i]) << i;
    EXPECT_STREQ("default.txl", settings.DefaultFileName);
}

TEST_F(SettingsFile, WrittenFileIs364BytesWithZeroReservedWords) {
    settings = DefaultSettings();
    settings.ColumnFlags[HomeFaxColumn] = 1;
    CopyToField(settings.DefaultFileName, DefaultFileNameWidth, Gbk("我的.txl"));
    ASSERT_EQ(1, SaveSettings(settings, path));
    std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(364u, bytes.size());
    EXPECT_EQ(std::string(40, '\0'), bytes.substr(68, 40));
    EXPECT_EQ(Gbk("我的.txl"), bytes.substr(108, Gbk("我的.txl").size()));

    DisplaySettings read = {};
    LoadSettings(read, path);
    EXPECT_EQ(0, std::memcmp(settings.ColumnFlags, read.ColumnFlags, sizeof read.ColumnFlags));
    EXPECT_EQ(Gbk("我的.txl"), std::string(read.DefaultFileName));
}

TEST_F(SettingsFile, ReservedWordsAreIgnoredAndFlagsReadAsStored) {
    std::string name = "book.txl";
    WriteFileBytes(path, FlagBytes(2) + std::string(40, '\x7F') + name + std::string(256 - name.size(), '\0'));
    LoadSettings(settings, path);
    EXPECT_EQ(2, settings.ColumnFlags[0]);
    EXPECT_STREQ("book.txl", settings.DefaultFileName);
}

TEST_F(SettingsFile, AShortFileChangesOnlyWhatItHolds) {
    std::string two;
    PutInt32(two, 1);
    PutInt32(two, 1);
    WriteFileBytes(path, two + "\x01\x00");  // two flags and half of a third
    LoadSettings(settings, path);
    EXPECT_EQ(1, settings.ColumnFlags[0]);
    EXPECT_EQ(1, settings.ColumnFlags[1]);
    EXPECT_EQ(0, settings.ColumnFlags[2]);
    // No name in the file: the default book rather than the directory itself.
    EXPECT_STREQ("default.txl", settings.DefaultFileName);

    WriteFileBytes(path, FlagBytes(0) + std::string(40, '\0') + "abc");
    LoadSettings(settings, path);
    EXPECT_STREQ("abc", settings.DefaultFileName);
}

TEST_F(SettingsFile, AnUnterminatedNameKeepsItsWholeCharacters) {
    std::string name = "a" + std::string(254, 'n') + "\xD5";  // 256 bytes, half a character last
    WriteFileBytes(path, FlagBytes(1) + std::string(40, '\0') + name);
    LoadSettings(settings, path);
    EXPECT_EQ(std::string("a") + std::string(254, 'n'), std::string(settings.DefaultFileName));
}

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFile) {
    WriteFileBytes(path, "old");
    settings = DefaultSettings();
    EXPECT_EQ(0, SaveSettings(settings, folder.Path("missing-folder/txl.dat")));
    std::filesystem::create_directory(std::filesystem::path(folder.Path("taken")));
    EXPECT_EQ(0, SaveSettings(settings, folder.Path("taken")));
    EXPECT_EQ("old", ReadFileBytes(path));
}

TEST_F(SettingsFile, TheSettingsFileLivesInTheGivenFolderWhateverIsCurrent) {
    ScratchFolder elsewhere;
    CurrentDirectoryScope scope(elsewhere.Root());
    EXPECT_EQ(path, SettingsPath(folder.Root().native()));
}
