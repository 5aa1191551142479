// Random contacts written as vCard files and read back under each
// encoding: every field comes back unchanged, whatever punctuation,
// escapes and GBK characters it holds, except white space at the end of
// a line that is written as it stands (the reader trims lines), and a
// contact without a surname comes back named as every import names it.
// The group travels in the form for phones; the gender only as female or
// not.
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

// A birthday as the editor and the importers store one: all three parts,
// none, or some of them (a phone's birthday without a year, say).
void SetRandomBirthday(std::mt19937& random, ContactRecord& record) {
    if (RandomBelow(random, 4) == 0) return;
    SetField(record, BirthYear, std::to_string(1900 + RandomBelow(random, 201)));
    SetField(record, BirthMonth, std::to_string(1 + RandomBelow(random, 12)));
    SetField(record, BirthDay, std::to_string(1 + RandomBelow(random, 31)));
    if (RandomBelow(random, 3) > 0) return;
    for (ContactField part : {BirthYear, BirthMonth, BirthDay}) {
        if (RandomBelow(random, 2) == 0) SetField(record, part, "");
    }
}

// A birthday's part as the number it is: vCard writes a month or day of a
// partial date with two digits.
std::string AsNumber(const std::string& part) {
    size_t zeros = 0;
    while (zeros + 1 < part.size() && part[zeros] == '0') ++zeros;
    return part.substr(zeros);
}

ContactRecord RandomContact(std::mt19937& random) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(record, info.field, RandomText(random, info.width - 1));
    }
    if (RandomBelow(random, 4) == 0) SetField(record, Surname, "");  // a given name alone, as phones save one
    for (ContactField field : {BirthYear, BirthMonth, BirthDay}) SetField(record, field, "");
    SetRandomBirthday(random, record);
    record.Gender = RandomBelow(random, 4) - 1;
    record.GroupIndex = RandomBelow(random, 5);
    record.CheckFlag = RandomBelow(random, 2);
    return record;
}

// The fields that end a line written without quoted-printable, whose
// white space at the end the reader trims with the line's.
bool EndsAPlainLine(ContactField field, VcardEncoding encoding) {
    static const ContactField plainLineEnds[] = {Mobile, HomePhone, WorkPhone, HomeFax, WorkFax,
                                                 HomeCountry, WorkCountry, Email, QQNumber};
    static const ContactField encodedLineEnds[] = {GivenName, Department, JobTitle, Nickname};
    if (encoding == Utf8Qp) return false;
    for (ContactField plain : plainLineEnds) {
        if (field == plain) return true;
    }
    for (ContactField encoded : encodedLineEnds) {
        if (field == encoded) return encoding == Plain;
    }
    return false;
}

// What the reader gives back for the written contact.
ContactRecord AsRead(const ContactRecord& written, VcardEncoding encoding) {
    ContactRecord expected = written;
    for (int f = 0; f < ContactFieldCount; ++f) {
        ContactField field = FieldInfo(f).field;
        if (FieldInfo(f).isText && EndsAPlainLine(field, encoding)) {
            SetField(expected, field, WithoutTrailingSpaces(FieldValue(written, field)));
        }
    }
    expected.Gender = written.Gender == 1 ? 1 : 0;
    expected.GroupIndex = encoding == Utf8Qp ? written.GroupIndex : 0;
    return expected;
}

}  // namespace

TEST(VcardProperty, EveryFieldTheFormatCarriesComesBackUnchanged) {
    ScratchFolder folder;
    PathString path = folder.Path("contact.vcf");
    std::mt19937 random(20261207);
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        for (int n = 0; n < ContactsPerEncoding; ++n) {
            ContactRecord written = RandomContact(random);
            Document book = NewDocument();
            ASSERT_EQ(VcardWritten, WriteVcardFile(path, &written, encoding, &book.groups));
            ContactStore& store = book.contacts;
            ReadVcardFile(path, book);
            std::string where = "encoding " + std::to_string(encoding) + ", contact " + std::to_string(n);
            ContactRecord expectedRecord = AsRead(written, encoding);
            bool named = NameImportedContact(expectedRecord, "");
            ASSERT_EQ(named ? 1 : 0, RecordCount(store)) << where;
            if (!named) continue;
            const ContactRecord& read = *RecordAt(store, 0);
            for (int f = 0; f < ContactFieldCount; ++f) {
                const ContactFieldInfo& info = FieldInfo(f);
                if (!info.isText) continue;
                std::string expected = FieldValue(expectedRecord, info.field);
                std::string actual = FieldValue(read, info.field);
                if (info.field == BirthYear || info.field == BirthMonth || info.field == BirthDay) {
                    expected = AsNumber(expected);
                    actual = AsNumber(actual);
                }
                EXPECT_EQ(expected, actual) << where << ", field " << f << "\n" << ReadFileBytes(path);
            }
            EXPECT_EQ(expectedRecord.Gender, read.Gender) << where;
            EXPECT_EQ(expectedRecord.GroupIndex, read.GroupIndex) << where;
            EXPECT_EQ(5, GroupCount(book.groups)) << where;
            if (HasFailure()) return;
        }
    }
}

TEST(VcardProperty, ManyCardsInOneFileComeBackInOrderAndInTheirGroups) {
    ScratchFolder folder;
    PathString path = folder.Path("all.vcf");
    std::mt19937 random(7);
    Document writtenBook = NewDocument();
    AppendGroup(writtenBook.groups, Gbk("篮球队,a;b\\"));
    AppendGroup(writtenBook.groups, "Choir");
    ContactStore& written = writtenBook.contacts;
    for (int n = 0; n < 40; ++n) {
        ContactRecord record = RandomContact(random);
        SetField(record, Surname, "S" + std::to_string(n));
        record.GroupIndex = RandomBelow(random, GroupCount(writtenBook.groups) + 1);  // one index past the list
        AppendRecord(written, record);
    }
    ASSERT_TRUE(WriteVcardCardsFile(path, written, Utf8Qp, &writtenBook.groups));
    Document book = NewDocument();
    ContactStore& read = book.contacts;
    ReadVcardFile(path, book);
    ASSERT_EQ(RecordCount(written), RecordCount(read));
    for (int n = 0; n < RecordCount(read); ++n) {
        int group = RecordAt(written, n)->GroupIndex;
        std::string groupName = group < GroupCount(writtenBook.groups) ? GroupName(writtenBook.groups, group)
                                                                       : GroupName(book.groups, 0);
        EXPECT_EQ(groupName, GroupName(book.groups, RecordAt(read, n)->GroupIndex)) << n;
        for (int f = 0; f < ContactFieldCount; ++f) {
            if (!FieldInfo(f).isText) continue;
            ContactField field = FieldInfo(f).field;
            std::string expected = FieldValue(*RecordAt(written, n), field);
            std::string actual = FieldValue(*RecordAt(read, n), field);
            bool birthday = field == BirthYear || field == BirthMonth || field == BirthDay;
            ASSERT_EQ(birthday ? AsNumber(expected) : expected, birthday ? AsNumber(actual) : actual)
                << n << ", field " << f << "\n" << VcardFileText(*RecordAt(written, n), Utf8Qp);
        }
    }
}
