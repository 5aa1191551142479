// Random contacts exported to CSV and imported again, without a question:
// every field comes back, whatever punctuation, quotes and spaces it holds
// (outer spaces included: such cells are quoted), the e-mail address
// whole; the gender is 1 or 0, the group is not written, and a contact
// without a surname is named as every import names it.
// Lines run past 255 bytes: the reader reads each line to its end.
// Contacts with items of every kind come back with the same items in the
// order the book keeps them, line breaks and the name's parts included.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "csv/csv_format.h"
#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "random_fields.h"
#include "store/imported_contact.h"
#include "test_support.h"

namespace {

const int Files = 12;
const int ContactsPerFile = 40;

ColumnMappingChoice FailIfAsked(void*, const std::string& title) {
    ADD_FAILURE() << "asked about " << title;
    return ColumnMappingChoice{IgnoreColumn, NoField};
}

// Random text, a fifth of it with a space at one end or both, where the
// line's own trimming would take it if the cell were not quoted.
std::string RandomCellText(std::mt19937& random, size_t maxBytes) {
    std::string text = RandomFieldText(random, maxBytes);
    if (maxBytes < 3 || RandomBelow(random, 5) > 0) return text;
    text = " " + WholeCharacters(text, maxBytes - 2);
    return RandomBelow(random, 2) == 0 ? text : text + " ";
}

ContactRecord RandomContact(std::mt19937& random) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(record, info.field, RandomCellText(random, info.width - 1));
    }
    record.Gender = RandomBelow(random, 4) - 1;
    record.GroupIndex = RandomBelow(random, 5);
    record.CheckFlag = RandomBelow(random, 2);
    return record;
}

ContactRecord WhatTheFormatCarries(const ContactRecord& written) {
    ContactRecord back = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(back, info.field, WholeCharacters(FieldValue(written, info.field), CsvCellBytes));
    }
    back.Gender = written.Gender == 1 ? 1 : 0;
    return back;
}

// A value as an item holds it: no space at an end, where Google's values are trimmed.
std::string RandomItemValue(std::mt19937& random) {
    static const char* const pieces[] = {"a", "\xD5\xC5", ",", "\"", "\n", ";", "\\", "x y", ":", "9"};
    std::string text = "v";
    for (int i = RandomBelow(random, 6); i > 0; --i) text += pieces[RandomBelow(random, 10)];
    return text + "e";
}

std::vector<ContactItem> RandomItems(std::mt19937& random) {
    static const char16_t* const labels[] = {u"", u"微信", u"手机", u"中间名", u"后缀", u"a,b"};
    std::vector<ContactItem> items;
    for (int i = RandomBelow(random, 8); i > 0; --i) {
        ItemKind kind = static_cast<ItemKind>(RandomBelow(random, ItemKindCount));
        ContactItem item = MakeItem(kind, Utf16ToGbk(labels[RandomBelow(random, 6)]), RandomItemValue(random));
        if (kind == ItemKind::Address) {
            for (std::string& part : item.parts) part = RandomBelow(random, 2) ? RandomItemValue(random) : "";
            item.parts[Street] = RandomItemValue(random);
        }
        if (kind == ItemKind::Im) item.parts[ImService] = RandomBelow(random, 2) ? "Skype" : "QQ";
        items.push_back(item);
    }
    OrderItems(items);
    return items;
}

}  // namespace

TEST(CsvProperty, ItemsComeBackInTheBooksOrder) {
    ScratchFolder folder;
    PathString path = folder.Path("items.csv");
    std::mt19937 random(27);
    ContactStore written;
    for (int n = 0; n < ContactsPerFile; ++n) {
        ContactRecord record = EmptyRecord();
        SetField(record, Surname, "n" + std::to_string(n));
        ContactDetails details;
        details.items = RandomItems(random);
        AppendContact(written, record, details);
    }
    ASSERT_TRUE(ExportCsvFile(path, written, false));
    ContactStore read;
    GroupList groups;
    ImportCsvFile(path, read, groups, ColumnMappingQuestion{FailIfAsked, nullptr});
    ASSERT_EQ(ContactsPerFile, RecordCount(read));
    for (int n = 0; n < ContactsPerFile; ++n) {
        const ContactDetails* expected = FindDetails(written, RecordAt(written, n));
        const ContactDetails* back = FindDetails(read, RecordAt(read, n));
        std::vector<ContactItem> none;
        EXPECT_EQ(expected ? expected->items : none, back ? back->items : none) << "contact " << n << "\n"
                                                                              << ReadFileBytes(path);
        if (HasFailure()) return;
    }
}

TEST(CsvProperty, RandomContactsComeBackWithEveryField) {
    ScratchFolder folder;
    PathString path = folder.Path("contacts.csv");
    std::mt19937 random(20240612);
    int imported = 0;
    for (int file = 0; file < Files; ++file) {
        ContactStore written;
        for (int n = 0; n < ContactsPerFile; ++n) AppendRecord(written, RandomContact(random));
        ASSERT_TRUE(ExportCsvFile(path, written, false));

        ContactStore read;
        GroupList groups;
        CsvImportResult result = ImportCsvFile(path, read, groups, ColumnMappingQuestion{FailIfAsked, nullptr});
        ASSERT_TRUE(result.read);
        EXPECT_EQ(0, result.notImported);
        int next = 0;  // the next contact read back
        for (int n = 0; n < ContactsPerFile; ++n) {
            ContactRecord expected = WhatTheFormatCarries(*RecordAt(written, n));
            std::string where = "file " + std::to_string(file) + ", contact " + std::to_string(n);
            if (!NameImportedContact(expected, std::string())) continue;
            ASSERT_LT(next, RecordCount(read)) << where;
            const ContactRecord& back = *RecordAt(read, next++);
            for (int f = 0; f < ContactFieldCount; ++f) {
                const ContactFieldInfo& info = FieldInfo(f);
                if (!info.isText) continue;
                EXPECT_EQ(FieldValue(expected, info.field), FieldValue(back, info.field)) << where << ", field " << f;
            }
            EXPECT_EQ(expected.Gender, back.Gender) << where;
            EXPECT_EQ(0, back.GroupIndex) << where;
            EXPECT_EQ(0, back.CheckFlag) << where;
            if (HasFailure()) return;
        }
        EXPECT_EQ(next, RecordCount(read));
        EXPECT_EQ(next, result.imported);
        imported += next;
    }
    // Most contacts have a name.
    EXPECT_GT(imported, Files * ContactsPerFile * 7 / 10);
}
