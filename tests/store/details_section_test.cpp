#include <gtest/gtest.h>

#include <random>

#include "store/address_book_file.h"
#include "store/details_section.h"
#include "store/random_books.h"
#include "test_support.h"

namespace {

std::string RandomText(std::mt19937& random) {
    static const char* const pieces[] = {"", "a", "Mustermann", "\xD5\xC5\xC8\xFD", ";", "\\", ",", "\r\n", "0"};
    std::string text;
    int count = random() % 4;
    for (int i = 0; i < count; ++i) text += pieces[random() % 9];
    return text;
}

ContactDetails RandomDetails(std::mt19937& random) {
    ContactDetails details;
    details.id = "id-" + std::to_string(random());
    int items = random() % 5;
    for (int i = 0; i < items; ++i) {
        ContactItem item = MakeItem(static_cast<ItemKind>(random() % ItemKindCount), RandomText(random), "");
        for (std::string& part : item.parts) part = RandomText(random);
        details.items.push_back(item);
    }
    if (random() % 3 == 0) details.wholes[Surname] = "Mustermann";
    if (random() % 3 == 0) details.wholes[Company] = std::string(40, 'c');
    return details;
}

Document BookWithDetails(uint32_t seed, int records) {
    Document book = RandomBook(seed, records);
    std::mt19937 random(seed);
    for (const auto& record : book.contacts.records) DetailsOf(book.contacts, record.get()) = RandomDetails(random);
    return book;
}

struct ReadBack {
    Document document;
    LoadResult result;
    DetailsSectionResult section = DetailsSectionResult::Absent;
};

ReadBack ReadFromBytes(const std::string& bytes) {
    ReadBack back;
    FILE* file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    back.result = ReadAddressBook(file, back.document.groups, back.document.contacts, &back.section);
    fclose(file);
    return back;
}

// Where the records end: the section, if any, starts there.
size_t RecordsEnd(const Document& book) {
    return EncodeAddressBook(book.groups, ContactStore()).size() + RecordCount(book.contacts) * RecordFileSize;
}

}  // namespace

TEST(DetailsSection, EveryContactsDetailsComeBackInOrder) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        Document book = BookWithDetails(seed, seed % 7);
        ReadBack back = ReadFromBytes(EncodeAddressBook(book.groups, book.contacts));
        ASSERT_EQ(LoadOk, back.result);
        ASSERT_EQ(RecordCount(book.contacts), RecordCount(back.document.contacts));
        if (RecordCount(book.contacts) == 0) continue;
        EXPECT_EQ(DetailsSectionResult::Read, back.section);
        for (int n = 0; n < RecordCount(book.contacts); ++n) {
            EXPECT_EQ(DetailsOf(book.contacts, RecordAt(book.contacts, n)),
                      DetailsOf(back.document.contacts, RecordAt(back.document.contacts, n)));
        }
    }
}

TEST(DetailsSection, ABookWithoutOtherInformationEndsAfterItsRecords) {
    Document book = RandomBook(7, 12);  // every contact has an id made here, nothing to keep
    std::string bytes = EncodeAddressBook(book.groups, book.contacts);
    EXPECT_EQ(RecordsEnd(book), bytes.size());
    ReadBack back = ReadFromBytes(bytes);
    EXPECT_EQ(DetailsSectionResult::Absent, back.section);
    EXPECT_EQ(bytes, EncodeAddressBook(back.document.groups, back.document.contacts));
}

TEST(DetailsSection, ADamagedSectionIsRefusedAndTheRecordsReadAsAlways) {
    Document book = BookWithDetails(3, 3);
    DetailsOf(book.contacts, RecordAt(book.contacts, 0)).items.push_back(MakeItem(ItemKind::Note, "", "note"));
    std::string good = EncodeAddressBook(book.groups, book.contacts);
    size_t start = RecordsEnd(book);
    std::string plain = good.substr(0, start);

    std::vector<std::string> damaged;
    for (size_t cut = start + 1; cut < good.size(); ++cut) damaged.push_back(good.substr(0, cut));
    damaged.push_back(good + '\0');
    for (size_t at = start; at < good.size(); ++at) {
        for (unsigned char value : {0x00, 0x7F, 0x80, 0xFF}) {
            std::string bytes = good;
            if (static_cast<unsigned char>(bytes[at]) == value) continue;
            bytes[at] = static_cast<char>(value);
            damaged.push_back(bytes);
        }
    }
    int refused = 0;
    for (const std::string& bytes : damaged) {
        ReadBack back = ReadFromBytes(bytes);
        ASSERT_EQ(LoadOk, back.result);
        // Every record is there, as a reader of the records alone gives it.
        EXPECT_EQ(plain, EncodeAddressBook(back.document.groups, back.document.contacts).substr(0, start));
        if (back.section != DetailsSectionResult::Refused) continue;  // a change inside a text still fits
        ++refused;
        for (const auto& record : back.document.contacts.records) {
            EXPECT_FALSE(HasOtherInformation(DetailsOf(back.document.contacts, record.get())));
        }
    }
    EXPECT_GT(refused, static_cast<int>(good.size() - start));
}

TEST(DetailsSection, TwoContactsWithOneIdAreRefused) {
    Document book = BookWithDetails(5, 2);
    DetailsOf(book.contacts, RecordAt(book.contacts, 1)).id = DetailsOf(book.contacts, RecordAt(book.contacts, 0)).id;
    EXPECT_EQ(DetailsSectionResult::Refused, ReadFromBytes(EncodeAddressBook(book.groups, book.contacts)).section);
}

TEST(DetailsSection, AKindOfALaterVersionIsSkipped) {
    ContactStore store;
    ContactDetails details;
    details.id = "x";
    details.items = {MakeItem(ItemKind::Url, "", "http://a"), MakeItem(ItemKind::Phone, "", "1")};
    AppendContact(store, EmptyRecord(), details);
    std::string bytes;
    PutDetailsSection(bytes, store);
    // The first item's kind, after tag, version, count, size, id and whole count.
    size_t kindAt = 4 + 4 + 4 + 4 + (4 + 1) + 4 + 4;
    ASSERT_EQ(static_cast<char>(ItemKind::Url), bytes[kindAt]);
    bytes[kindAt] = 40;
    std::string book = EncodeAddressBook(GroupList(), store);
    book.replace(book.size() - bytes.size(), bytes.size(), bytes);
    ReadBack back = ReadFromBytes(book);
    ASSERT_EQ(DetailsSectionResult::Read, back.section);
    const ContactDetails& read = DetailsOf(back.document.contacts, RecordAt(back.document.contacts, 0));
    ASSERT_EQ(1u, read.items.size());
    EXPECT_EQ(ItemKind::Phone, read.items[0].kind);
}

TEST(ContactDetails, AWholeFormIsKeptOnlyWhileTheFieldHoldsItsCut) {
    ContactRecord record = EmptyRecord();
    ContactDetails details;
    SetWholeField(record, details, Surname, "Mustermann");
    EXPECT_EQ("Musterman", FieldValue(record, Surname));
    EXPECT_EQ("Mustermann", WholeFieldValue(record, details, Surname));
    SetField(record, Surname, "Other");
    EXPECT_EQ("Other", WholeFieldValue(record, details, Surname));
    SetWholeField(record, details, Surname, "Kurz");
    EXPECT_TRUE(details.wholes.empty());
}
