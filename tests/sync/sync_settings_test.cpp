// The settings file beside a book: what is written is read back, and a
// damaged or hostile file is refused whole without harm.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "sync/sync_engine.h"
#include "test_support.h"

namespace {

// UTF-8 of random characters: ASCII (with "=", ";", spaces), Chinese, and
// characters beyond U+FFFF.
std::string RandomUtf8(std::mt19937& random, int maxCharacters) {
    std::u16string units;
    int count = std::uniform_int_distribution<int>(0, maxCharacters)(random);
    for (int i = 0; i < count; ++i) {
        switch (random() % 3) {
            case 0: AppendCodePoint(units, std::uniform_int_distribution<char32_t>(0x20, 0x7E)(random)); break;
            case 1: AppendCodePoint(units, std::uniform_int_distribution<char32_t>(0x4E00, 0x9FA5)(random)); break;
            default: AppendCodePoint(units, std::uniform_int_distribution<char32_t>(0x20000, 0x2A6D6)(random)); break;
        }
    }
    return Utf16ToUtf8(units);
}

std::string RandomBase64(std::mt19937& random) {
    static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text(random() % 300, 'A');
    for (char& c : text) c = Digits[random() % 64];
    return text + (random() % 2 ? "==" : "");
}

bool Same(const SyncSettings& a, const SyncSettings& b) {
    return a.serverUrl == b.serverUrl && a.user == b.user && a.bookUrl == b.bookUrl &&
           a.protectedPassword == b.protectedPassword;
}

SyncSettings Sample() {
    return {"https://cloud.example/remote.php/dav", "李雷",
            "https://cloud.example/remote.php/dav/addressbooks/users/x/contacts/", "AQAAANCMnd8BFdERjHoAwE/Cl+s="};
}

class SyncSettingsTest : public testing::Test {
protected:
    PathString Book() const { return folder.Path("家人.txl"); }
    PathString SettingsFile() const { return folder.Path("家人.sync.ini"); }
    ScratchFolder folder;
};

}  // namespace

TEST(SyncSettingsPathTest, TakesThePlaceOfTheBooksExtension) {
    EXPECT_EQ(PathFromAscii("/books/work.sync.ini"), SyncSettingsPath(PathFromAscii("/books/work.txl")));
    EXPECT_EQ(PathFromAscii("C:/books/WORK.sync.ini"), SyncSettingsPath(PathFromAscii("C:/books/WORK.TXL")));
    EXPECT_EQ(PathFromAscii("/books/work.dat.sync.ini"), SyncSettingsPath(PathFromAscii("/books/work.dat")));
}

TEST_F(SyncSettingsTest, WhatIsWrittenIsReadBackWithCrLfLines) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        SyncSettings written = {RandomUtf8(random, 60), RandomUtf8(random, 20), RandomUtf8(random, 80),
                                RandomBase64(random)};
        ASSERT_TRUE(WriteSyncSettings(Book(), written)) << round;
        SyncSettings read;
        ASSERT_TRUE(ReadSyncSettings(Book(), read)) << round;
        ASSERT_TRUE(Same(written, read)) << round << ": " << written.serverUrl;
    }
    ASSERT_TRUE(WriteSyncSettings(Book(), Sample()));
    std::string bytes = ReadFileBytes(SettingsFile());
    EXPECT_EQ(0u, bytes.find("server=https://cloud.example/remote.php/dav\r\nuser=\xE6\x9D\x8E\xE9\x9B\xB7\r\n"));
    EXPECT_EQ(std::string::npos, bytes.find("\n\n"));
    EXPECT_FALSE(FileExists(folder.Path("家人.sync.ini.saving")));
}

TEST_F(SyncSettingsTest, AMissingFileGivesEmptySettings) {
    SyncSettings read = Sample();
    EXPECT_FALSE(ReadSyncSettings(Book(), read));
    EXPECT_TRUE(Same(SyncSettings{}, read));
    EXPECT_FALSE(ReadSyncSettings(PathString(), read));
    EXPECT_FALSE(WriteSyncSettings(PathString(), Sample()));
}

TEST_F(SyncSettingsTest, LinesOfAnEditorAndOfALaterVersionAreRead) {
    WriteFileBytes(SettingsFile(),
                   "\xEF\xBB\xBF; edited by hand\nserver=http://127.0.0.1:5232/\n\nfuture=1\r\nuser=a=b\n");
    SyncSettings read;
    ASSERT_TRUE(ReadSyncSettings(Book(), read));
    EXPECT_EQ("http://127.0.0.1:5232/", read.serverUrl);
    EXPECT_EQ("a=b", read.user);
    EXPECT_EQ("", read.protectedPassword);
}

TEST_F(SyncSettingsTest, ADamagedFileIsRefusedWholeAndLeftAsItIs) {
    const std::string hostile[] = {
        "server=http://a/\r\nuser\r\n",                                // a line without "="
        "server=http://a/\r\nserver=http://b/\r\n",                    // one setting twice
        std::string("server=http://a/\0x\r\n", 20),                    // a NUL byte
        "user=\xC0\xAF\r\n",                                           // not UTF-8 (an overlong "/")
        "user=\xD5\xC5\xC8\xFD\r\n",                                   // GBK, not UTF-8
        "protected_password=secret in plain text\r\n",                 // not Base64
        "server=" + std::string(9000, 'x') + "\r\n",                   // a value far too long
        std::string(70 * 1024, '\n'),                                  // far too large to be ours
    };
    for (const std::string& bytes : hostile) {
        WriteFileBytes(SettingsFile(), bytes);
        SyncSettings read = Sample();
        EXPECT_FALSE(ReadSyncSettings(Book(), read)) << bytes.substr(0, 40);
        EXPECT_TRUE(Same(SyncSettings{}, read)) << "nothing half read: " << bytes.substr(0, 40);
        EXPECT_EQ(bytes, ReadFileBytes(SettingsFile()));
    }
}

TEST_F(SyncSettingsTest, AValueTheFileCannotHoldIsRefusedAndTheOldFileKept) {
    ASSERT_TRUE(WriteSyncSettings(Book(), Sample()));
    std::string before = ReadFileBytes(SettingsFile());
    SyncSettings broken = Sample();
    for (std::string SyncSettings::*field : {&SyncSettings::serverUrl, &SyncSettings::user, &SyncSettings::bookUrl}) {
        for (const std::string& bad :
             {std::string("a\r\nprotected_password=x"), std::string("\xFF"), std::string(1, '\0')}) {
            SyncSettings settings = Sample();
            settings.*field = bad;
            EXPECT_FALSE(WriteSyncSettings(Book(), settings));
        }
    }
    broken.protectedPassword = "plain password";
    EXPECT_FALSE(WriteSyncSettings(Book(), broken));
    EXPECT_EQ(before, ReadFileBytes(SettingsFile()));
}
