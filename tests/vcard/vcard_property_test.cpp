// Random contacts written as vCard files and read back under each
// encoding: every field the format carries comes back unchanged, whatever
// punctuation, escapes and GBK characters it holds. Plain and Unicode-QP
// carry every field but the nickname; UTF-8 QP carries the nickname too.
// The group is never written, and the gender only as female or not.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/platform.h"
#include "random_fields.h"
#include "store/imported_contact.h"
#include "test_support.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_reader.h"
#include "vcard/vcard_writer.h"

namespace {

const int ContactsPerEncoding = 150;

// The characters that trouble vCard writers most, mixed into the texts.
const char* const Troublemakers[] = {";", ",", "=", "\\", "\"", " ", ":", "=3D", "\\n", "END:VCARD", "=FF=",
                                     "\xD5\xC5", "\x88\x40", "\x81\x5C", "\x83\x7C", "\xA1\xA4"};

std::string RandomText(std::mt19937& random, size_t maxBytes) {
    std::string text = RandomFieldText(random, maxBytes);
    for (int i = RandomBelow(random, 4); i > 0; --i) {
        const char* piece = Troublemakers[RandomBelow(random, sizeof Troublemakers / sizeof Troublemakers[0])];
        size_t at = WholeCharacters(text, RandomBelow(random, static_cast<int>(text.size()) + 1)).size();
        text.insert(at, piece);
    }
    return WholeCharacters(text, maxBytes);
}

// A birthday as the editor and the importers store one: all three parts or none.
void SetRandomBirthday(std::mt19937& random, ContactRecord& record) {
    if (RandomBelow(random, 4) == 0) return;
    SetField(record, BirthYear, std::to_string(1900 + RandomBelow(random, 201)));
    SetField(record, BirthMonth, std::to_string(1 + RandomBelow(random, 12)));
    SetField(record, BirthDay, std::to_string(1 + RandomBelow(random, 31)));
}

ContactRecord RandomContact(std::mt19937& random) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(record, info.field, RandomText(random, info.width - 1));
    }
    for (ContactField field : {BirthYear, BirthMonth, BirthDay}) SetField(record, field, "");
    SetRandomBirthday(random, record);
    record.Gender = RandomBelow(random, 4) - 1;
    record.GroupIndex = RandomBelow(random, 5);
    record.CheckFlag = RandomBelow(random, 2);
    return record;
}

bool Carried(ContactField field, VcardEncoding encoding) { return field != Nickname || encoding == Utf8Qp; }

}  // namespace

TEST(VcardProperty, EveryFieldTheFormatCarriesComesBackUnchanged) {
    ScratchFolder folder;
    PathString path = folder.Path("contact.vcf");
    std::mt19937 random(20261207);
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        for (int n = 0; n < ContactsPerEncoding; ++n) {
            ContactRecord written = RandomContact(random);
            ASSERT_EQ(VcardWritten, WriteVcardFile(path, &written, encoding));
            ContactStore store;
            ReadVcardFile(path, store);
            std::string where = "encoding " + std::to_string(encoding) + ", contact " + std::to_string(n);
            // A contact without a surname comes back named as every import names it.
            ContactRecord expectedRecord = written;
            bool named = NameImportedContact(expectedRecord, "");
            ASSERT_EQ(named ? 1 : 0, RecordCount(store)) << where;
            if (!named) continue;
            const ContactRecord& read = *RecordAt(store, 0);
            for (int f = 0; f < ContactFieldCount; ++f) {
                const ContactFieldInfo& info = FieldInfo(f);
                if (!info.isText) continue;
                std::string expected = Carried(info.field, encoding) ? FieldValue(expectedRecord, info.field) : "";
                EXPECT_EQ(expected, FieldValue(read, info.field)) << where << ", field " << f << "\n"
                                                                  << ReadFileBytes(path);
            }
            EXPECT_EQ(written.Gender == 1 ? 1 : 0, read.Gender) << where;
            EXPECT_EQ(0, read.GroupIndex) << where;
            if (HasFailure()) return;
        }
    }
}

TEST(VcardProperty, ManyCardsInOneFileComeBackInOrder) {
    ScratchFolder folder;
    PathString path = folder.Path("all.vcf");
    std::mt19937 random(7);
    ContactStore written;
    for (int n = 0; n < 40; ++n) {
        ContactRecord record = RandomContact(random);
        SetField(record, Surname, "S" + std::to_string(n));
        AppendRecord(written, record);
    }
    ASSERT_TRUE(WriteVcardCardsFile(path, written, Utf8Qp));
    ContactStore read;
    ReadVcardFile(path, read);
    ASSERT_EQ(RecordCount(written), RecordCount(read));
    for (int n = 0; n < RecordCount(read); ++n) {
        for (int f = 0; f < ContactFieldCount; ++f) {
            if (!FieldInfo(f).isText) continue;
            ContactField field = FieldInfo(f).field;
            ASSERT_EQ(FieldValue(*RecordAt(written, n), field), FieldValue(*RecordAt(read, n), field)) << n;
        }
    }
}
