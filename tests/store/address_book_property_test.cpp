// Random books, saved and read back: every field, group, gender and group
// index comes back exactly, texts cut only where they had no room for
// their terminator.
#include <gtest/gtest.h>

#include "random_books.h"
#include "store/address_book_file.h"
#include "test_support.h"

namespace {

const int Books = 60;

}  // namespace

TEST(AddressBookProperty, RandomBooksReadBackExactly) {
    ScratchFolder folder;
    PathString path = folder.Path("book.txl");
    std::mt19937 sizes(20240607);
    for (int b = 0; b < Books; ++b) {
        // Mostly small books, and a few full ones.
        int records = b % 20 == 0 ? FullBookSize : std::uniform_int_distribution<int>(0, 40)(sizes);
        Document book = RandomBook(1000 + b, records);
        ASSERT_EQ(1, WriteAddressBook(path, book.groups, book.contacts)) << "book " << b;

        Document read;
        ASSERT_EQ(LoadOk, ReadAddressBook(path, read.groups, read.contacts)) << "book " << b;
        ASSERT_EQ(GroupCount(book.groups), GroupCount(read.groups)) << "book " << b;
        for (int g = 0; g < GroupCount(book.groups); ++g) {
            EXPECT_EQ(KeptText(book.groups.groups[g].name, GroupNameWidth), GroupName(read.groups, g))
                << "book " << b << " group " << g;
        }
        ASSERT_EQ(records, RecordCount(read.contacts)) << "book " << b;
        for (int n = 0; n < records; ++n) {
            const ContactRecord& written = *RecordAt(book.contacts, n);
            const ContactRecord& back = *RecordAt(read.contacts, n);
            for (int f = 0; f < ContactFieldCount; ++f) {
                const ContactFieldInfo& info = FieldInfo(f);
                if (!info.isText) continue;
                EXPECT_EQ(KeptText(FieldText(written, info.field), info.width), FieldValue(back, info.field))
                    << "book " << b << " record " << n << " field " << f;
            }
            EXPECT_TRUE(FieldsTerminated(back));
            EXPECT_EQ(written.Gender, back.Gender);
            EXPECT_EQ(written.GroupIndex, back.GroupIndex);
            EXPECT_EQ(0, back.CheckFlag);
            EXPECT_EQ(0, back.ShownFlag);
        }

        // What was read saves to the very same bytes.
        std::string bytes = ReadFileBytes(path);
        EXPECT_EQ(bytes, EncodeAddressBook(read.groups, read.contacts)) << "book " << b;
        if (HasFailure()) break;
    }
}

TEST(AddressBookProperty, KeptTextCutsOnlyWhereTheTerminatorHasNoRoom) {
    // The oracle itself, on the cases the random books rely on.
    std::string full = "a" + Gbk("一二三四") + "b";  // 10 bytes
    EXPECT_EQ("a" + Gbk("一二三四"), KeptText(full.data(), 10));
    std::string wide = Gbk("一二三四五");  // 10 bytes, the last character does not fit
    EXPECT_EQ(Gbk("一二三四"), KeptText(wide.data(), 10));
    std::string lone = std::string("abcdefgh") + "\xD5" + "\0";  // a lead byte before the terminator stays
    EXPECT_EQ("abcdefgh\xD5", KeptText(lone.data(), 10));
    std::string four = "ab" + Gbk("𬎆𬎆");  // the second four-byte character does not fit
    EXPECT_EQ("ab" + Gbk("𬎆"), KeptText(four.data(), 10));
    std::string early("ab\0junkjunk", 10);
    EXPECT_EQ("ab", KeptText(early.data(), 10));
}
