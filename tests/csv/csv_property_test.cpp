// Random contacts exported to CSV and imported again, without a question:
// every field comes back, whatever punctuation, quotes and spaces it holds
// (outer spaces included: such cells are quoted), the e-mail address
// whole; the gender is 1 or 0, the group is not written, and a contact
// without a surname is named as every import names it.
// Lines run past 255 bytes: the reader reads each line to its end.
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

}  // namespace

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
