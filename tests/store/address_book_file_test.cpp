#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "store/address_book_file.h"
#include "store/little_endian.h"
#include "store/random_books.h"
#include "test_support.h"

namespace {

std::string Int32(int32_t value) {
    std::string bytes;
    PutInt32(bytes, value);
    return bytes;
}

std::string Header(int32_t magic = AddressBookMagic, int32_t version = FormatVersion) {
    return Int32(magic) + Int32(version);
}

std::string GroupEntry(const std::string& name) { return Int32(static_cast<int32_t>(name.size() + 1)) + name + '\0'; }

std::string RecordBytes(const std::string& surname, int32_t gender, int32_t groupIndex) {
    std::string bytes(RecordFileSize, '\0');
    bytes.replace(0, surname.size(), surname);
    bytes.replace(20, 4, Int32(gender));
    bytes.replace(634, 4, Int32(groupIndex));
    return bytes;
}

class AddressBookFile : public ::testing::Test {
protected:
    ScratchFolder folder;
    PathString path = folder.Path("book.txl");
    Document document = NewDocument();

    LoadResult ReadBytes(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        return ReadAddressBook(path, document.groups, document.contacts);
    }
};

}  // namespace

TEST_F(AddressBookFile, ANewDocumentIsExactly65Bytes) {
    ASSERT_EQ(1, WriteAddressBook(path, document.groups, document.contacts));
    std::string expected = std::string("\x33\x0A\x03\x00\x02\x00\x00\x00\x05\x00\x00\x00", 12) +
                           std::string("\x09\x00\x00\x00", 4) + Gbk("默认分组") + '\0';
    for (const char* name : {"家人", "朋友", "同事", "同学"}) {
        expected += std::string("\x05\x00\x00\x00", 4) + Gbk(name) + '\0';
    }
    expected += std::string(4, '\0');
    EXPECT_EQ(65u, expected.size());
    EXPECT_EQ(expected, ReadFileBytes(path));

    Document read;
    ASSERT_EQ(LoadOk, ReadAddressBook(path, read.groups, read.contacts));
    EXPECT_EQ(5, GroupCount(read.groups));
    EXPECT_EQ(Gbk("同学"), GroupName(read.groups, 4));
    EXPECT_EQ(0, RecordCount(read.contacts));
}

TEST_F(AddressBookFile, RoundTripKeepsEveryFieldGroupAndOddValue) {
    ContactRecord value = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) {
            SetField(value, info.field, std::string(info.width, static_cast<char>('a' + f % 26)));
        }
    }
    value.Gender = 2;
    value.GroupIndex = 99;  // outside the group list: kept as it is
    value.CheckFlag = 1;
    AppendRecord(document.contacts, value)->CheckFlag = 1;
    AppendRecord(document.contacts, Person(Gbk("张"), Gbk("三")))->GroupIndex = -1;
    AppendGroup(document.groups, "");
    ASSERT_EQ(1, WriteAddressBook(path, document.groups, document.contacts));

    Document read;
    ASSERT_EQ(LoadOk, ReadAddressBook(path, read.groups, read.contacts));
    ASSERT_EQ(6, GroupCount(read.groups));
    EXPECT_EQ("", GroupName(read.groups, 5));
    ASSERT_EQ(2, RecordCount(read.contacts));
    const ContactRecord& first = *RecordAt(read.contacts, 0);
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) {
            EXPECT_EQ(FieldValue(value, info.field), FieldValue(first, info.field)) << f;
        }
    }
    EXPECT_EQ(2, first.Gender);
    EXPECT_EQ(99, first.GroupIndex);
    EXPECT_EQ(0, first.CheckFlag);
    EXPECT_EQ(0, first.ShownFlag);
    EXPECT_EQ(Gbk("三"), FieldValue(*RecordAt(read.contacts, 1), GivenName));
    EXPECT_EQ(-1, RecordAt(read.contacts, 1)->GroupIndex);
}

TEST_F(AddressBookFile, RefusalsLeaveMemoryAsDocumented) {
    AppendRecord(document.contacts, Person("kept"));

    EXPECT_EQ(OpenFailed, ReadAddressBook(folder.Path("missing.txl"), document.groups, document.contacts));
    EXPECT_EQ(BadMagic, ReadBytes(Header(199218) + Int32(0) + Int32(0)));
    EXPECT_EQ(BadMagic, ReadBytes(""));
    EXPECT_EQ(VersionTooNew, ReadBytes(Header(AddressBookMagic, 3) + Int32(0) + Int32(0)));
    EXPECT_EQ(5, GroupCount(document.groups));
    EXPECT_EQ(1, RecordCount(document.contacts));

    // The groups before the refused entry stay; the contacts are untouched.
    EXPECT_EQ(GroupNameTooLong, ReadBytes(Header() + Int32(2) + GroupEntry("a") + Int32(17) + std::string(17, 'x')));
    ASSERT_EQ(1, GroupCount(document.groups));
    EXPECT_EQ("a", GroupName(document.groups, 0));
    EXPECT_EQ(1, RecordCount(document.contacts));
    EXPECT_EQ(GroupNameTooLong, ReadBytes(Header() + Int32(1) + Int32(-1)));

    EXPECT_EQ(TooManyRecords, ReadBytes(Header() + Int32(1) + GroupEntry("g") + Int32(MaxRecords + 1)));
    EXPECT_EQ(1, GroupCount(document.groups));
    EXPECT_EQ(0, RecordCount(document.contacts));
    AppendRecord(document.contacts, Person("kept"));
    EXPECT_EQ(TooManyRecords, ReadBytes(Header() + Int32(0) + Int32(-1)));
    EXPECT_EQ(0, RecordCount(document.contacts));
}

TEST_F(AddressBookFile, OldAndNegativeVersionsReadWithTheSameLayout) {
    for (int32_t version : {0, 1, -7}) {
        EXPECT_EQ(LoadOk, ReadBytes(Header(AddressBookMagic, version) + Int32(0) + Int32(1) + RecordBytes("a", 0, 0)));
        EXPECT_EQ(1, RecordCount(document.contacts));
    }
}

TEST_F(AddressBookFile, ZeroGroupsAndEmptyNamesAreAccepted) {
    EXPECT_EQ(LoadOk, ReadBytes(Header() + Int32(0) + Int32(1) + RecordBytes("a", 1, 3)));
    EXPECT_EQ(0, GroupCount(document.groups));
    EXPECT_EQ(3, RecordAt(document.contacts, 0)->GroupIndex);
    EXPECT_EQ(LoadOk, ReadBytes(Header() + Int32(2) + Int32(0) + Int32(1) + std::string(1, '\0') + Int32(0)));
    EXPECT_EQ(2, GroupCount(document.groups));
    EXPECT_EQ("", GroupName(document.groups, 0));
}

TEST_F(AddressBookFile, ABookThatEndsEarlyIsRefusedWithoutInventedRecords) {
    std::string whole = Header() + Int32(1) + GroupEntry("g") + Int32(2) + RecordBytes("a", 0, 0) +
                        RecordBytes("b", 0, 0);
    // Every cut past the magic number is refused; no cut yields a record.
    for (size_t cut = 4; cut < whole.size(); ++cut) {
        AppendRecord(document.contacts, Person("stale"));
        LoadResult result = ReadBytes(whole.substr(0, cut));
        EXPECT_EQ(FileTruncated, result) << "cut at " << cut;
        EXPECT_EQ(0, RecordCount(document.contacts)) << "cut at " << cut;
    }
    EXPECT_EQ(LoadOk, ReadBytes(whole));
    EXPECT_EQ(2, RecordCount(document.contacts));
}

TEST_F(AddressBookFile, UnterminatedTextsKeepTheirWholeCharacters) {
    std::string record = RecordBytes("", 0, 0);
    record.replace(0, 10, "a" + Gbk("一二三四") + "b");  // fills all 10 bytes
    std::string group = "b" + Gbk("一二三四五六七") + "c";  // 16 bytes, no terminator
    EXPECT_EQ(LoadOk, ReadBytes(Header() + Int32(1) + Int32(16) + group + Int32(1) + record));
    EXPECT_EQ("a" + Gbk("一二三四"), FieldValue(*RecordAt(document.contacts, 0), Surname));
    EXPECT_EQ("b" + Gbk("一二三四五六七"), GroupName(document.groups, 0));
    EXPECT_TRUE(FieldsTerminated(*RecordAt(document.contacts, 0)));
}

TEST_F(AddressBookFile, BytesAfterTheTerminatorAreNotWrittenBack) {
    ContactRecord value = Person("ab");
    std::memcpy(value.Surname + 3, "junk", 4);
    AppendRecord(document.contacts, value);
    ASSERT_EQ(1, WriteAddressBook(path, document.groups, document.contacts));
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(std::string("ab\0\0\0\0\0\0\0\0", 10), bytes.substr(bytes.size() - RecordFileSize, 10));
}

TEST_F(AddressBookFile, AFailedWriteLeavesTheOldFileAndNoLeftovers) {
    // A directory in the way cannot be replaced by a file.
    std::filesystem::create_directory(std::filesystem::path(folder.Path("dir.txl")));
    EXPECT_EQ(0, WriteAddressBook(folder.Path("dir.txl"), document.groups, document.contacts));
    // A folder that does not exist cannot take the temporary file.
    EXPECT_EQ(0, WriteAddressBook(folder.Path("nowhere/book.txl"), document.groups, document.contacts));
    WriteFileBytes(path, "old");
    ASSERT_EQ(1, WriteAddressBook(path, document.groups, document.contacts));
    int entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.Root())) entries += entry.is_regular_file();
    EXPECT_EQ(1, entries);  // no temporary file left beside the book
}

// A book on a write-protected card or copied from a CD is read, never replaced.
TEST_F(AddressBookFile, AReadOnlyBookIsReadButNotReplaced) {
    namespace fs = std::filesystem;
    AppendRecord(document.contacts, Person("kept"));
    ASSERT_EQ(1, WriteAddressBook(path, document.groups, document.contacts));
    std::string before = ReadFileBytes(path);
    fs::permissions(fs::path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Document read;
    EXPECT_EQ(LoadOk, ReadAddressBook(path, read.groups, read.contacts));
    EXPECT_EQ(0, WriteAddressBook(path, NewDocument().groups, ContactStore()));
    EXPECT_EQ(before, ReadFileBytes(path));
    int entries = 0;
    for (auto& entry : fs::directory_iterator(folder.Root())) entries += entry.is_regular_file();
    EXPECT_EQ(1, entries);  // no temporary file left beside the book
    fs::permissions(fs::path(path), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(AddressBookFile, AGroupNameThatFillsItsWidthIsSavedCutToWholeCharacters) {
    ClearGroups(document.groups);
    AppendGroup(document.groups, "");
    std::memcpy(document.groups.groups[0].name, ("b" + Gbk("一二三四五六七") + "c").data(), GroupNameWidth);
    ASSERT_EQ(1, WriteAddressBook(path, document.groups, document.contacts));
    Document read;
    ASSERT_EQ(LoadOk, ReadAddressBook(path, read.groups, read.contacts));
    EXPECT_EQ("b" + Gbk("一二三四五六七"), GroupName(read.groups, 0));
}

// Past the 512 contacts older versions stopped at, a book reads back as it
// was written, and a count the file cannot hold is refused as an
// incomplete file before anything is made for it.
TEST_F(AddressBookFile, BooksPast512ContactsReadBackAndImpossibleCountsAreRefused) {
    Document book = RandomBook(2600, 600);
    std::string bytes = EncodeAddressBook(book.groups, book.contacts);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(LoadOk, ReadBytes(bytes));
    ASSERT_EQ(600, RecordCount(document.contacts));
    EXPECT_EQ(bytes, EncodeAddressBook(document.groups, document.contacts));

    std::string oneRecord = RecordBytes("a", 0, 0);
    for (int32_t count : {2, 70000, MaxRecords}) {
        EXPECT_EQ(FileTruncated, ReadBytes(Header() + Int32(0) + Int32(count) + oneRecord)) << count;
        EXPECT_EQ(0, RecordCount(document.contacts));
    }
    EXPECT_EQ(TooManyRecords, ReadBytes(Header() + Int32(0) + Int32(MaxRecords + 1) + oneRecord));
}
