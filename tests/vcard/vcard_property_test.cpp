// Random contacts written as vCard files and read back under each
// encoding: every field comes back as the format carries it.
// - The name, organisation and title are the encoded values. Plain keeps
//   their bytes; quoted-printable keeps only escaped characters and ASCII
//   letters and digits, and Utf8Qp encodes only the first 33 characters of
//   the surname and given name, or company and department, joined by ";".
// - Every other value is raw GBK; the value that ends a line loses its
//   trailing spaces (lines are trimmed as they are read).
// - The birthday's day is the one or two digits it begins with, or 1 when
//   it has none but the year or month is set.
// - The nickname and the group are not written; the gender is 1 or 0.
// - A card whose name comes back empty is not imported.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "random_fields.h"
#include "test_support.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_reader.h"
#include "vcard/vcard_writer.h"

namespace {

const int ContactsPerEncoding = 120;

// What a value may not hold for the format to carry it: ";" ends the
// surname, the company and each address part; "-" ends the birth year and
// month; an "=" in an encoded value is read as the start of an escape.
std::string Excluded(ContactField field) {
    switch (field) {
    case Surname:
    case Company: return ";=";
    case GivenName:
    case Department:
    case JobTitle: return "=";
    case BirthYear:
    case BirthMonth: return "-";
    case HomeStreet:
    case HomeCity:
    case HomeProvince:
    case HomePostcode:
    case HomeCountry:
    case WorkStreet:
    case WorkCity:
    case WorkProvince:
    case WorkPostcode:
    case WorkCountry: return ";";
    default: return "";
    }
}

ContactRecord RandomContact(std::mt19937& random) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(record, info.field, RandomFieldText(random, info.width - 1, Excluded(info.field)));
    }
    record.Gender = RandomBelow(random, 4) - 1;
    record.GroupIndex = RandomBelow(random, 5);
    record.CheckFlag = RandomBelow(random, 2);
    return record;
}

bool IsAsciiLetterOrDigit(unsigned c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool SurvivesQuotedPrintable(unsigned value) { return value >= 0x80 || IsAsciiLetterOrDigit(value); }

std::string KeptUtf8Qp(const std::u16string& characters) {
    std::u16string kept;
    for (char16_t c : characters) {
        if (SurvivesQuotedPrintable(c)) kept += c;
    }
    return Utf16ToGbk(kept);
}

std::string KeptUnicodeQp(const std::string& bytes) {
    std::string kept;
    for (char c : bytes) {
        if (SurvivesQuotedPrintable(static_cast<unsigned char>(c))) kept += c;
    }
    return kept;
}

// What the reader makes of the values written on one encoded line: one
// value, or two joined by ";" of which the first holds no ";".
std::vector<std::string> ReadBackEncoded(VcardEncoding encoding, const std::vector<std::string>& values) {
    std::string joined = values[0];
    if (values.size() == 2) joined += ";" + values[1];
    std::vector<std::string> back;
    switch (encoding) {
    case Plain:
        back = values;
        back.back() = WithoutTrailingSpaces(back.back());
        break;
    case Utf8Qp: {
        std::u16string characters = GbkToUtf16(joined).substr(0, MaxUtf8Characters);
        size_t split = values.size() == 2 ? characters.find(u';') : std::u16string::npos;
        back.push_back(KeptUtf8Qp(characters.substr(0, split)));
        if (values.size() == 2) back.push_back(KeptUtf8Qp(characters.substr(split + 1)));
        break;
    }
    case UnicodeQp:
        back.push_back(KeptUnicodeQp(values[0]));
        if (values.size() == 2) back.push_back(KeptUnicodeQp(values[1]));
        break;
    }
    return back;
}

std::string ReadBackDay(const ContactRecord& written) {
    std::string day = FieldValue(written, BirthDay);
    size_t digits = 0;
    while (digits < 2 && digits < day.size() && day[digits] >= '0' && day[digits] <= '9') ++digits;
    if (digits > 0) return day.substr(0, digits);
    bool dated = !FieldValue(written, BirthYear).empty() || !FieldValue(written, BirthMonth).empty();
    return dated ? "1" : "";
}

// The contact the reader should give back, if any.
struct ReadBackCard {
    bool imported;
    ContactRecord record;
};

ReadBackCard WhatTheFormatCarries(const ContactRecord& written, VcardEncoding encoding) {
    auto value = [&](ContactField field) { return FieldValue(written, field); };
    ContactRecord back = EmptyRecord();
    std::vector<std::string> name = ReadBackEncoded(encoding, {value(Surname), value(GivenName)});
    SetField(back, Surname, name[0]);
    SetField(back, GivenName, name[1]);
    std::vector<std::string> organisation = ReadBackEncoded(encoding, {value(Company), value(Department)});
    SetField(back, Company, organisation[0]);
    SetField(back, Department, organisation[1]);
    SetField(back, JobTitle, ReadBackEncoded(encoding, {value(JobTitle)})[0]);
    for (ContactField field : {WorkPhone, HomePhone, WorkFax, HomeFax, Mobile, Email, QQNumber, HomeCountry,
                               WorkCountry}) {
        SetField(back, field, WithoutTrailingSpaces(value(field)));
    }
    for (ContactField field : {HomeStreet, HomeCity, HomeProvince, HomePostcode, WorkStreet, WorkCity, WorkProvince,
                               WorkPostcode, BirthYear, BirthMonth}) {
        SetField(back, field, value(field));
    }
    SetField(back, BirthDay, ReadBackDay(written));
    back.Gender = written.Gender == 1 ? 1 : 0;
    return {!name[0].empty() || !name[1].empty(), back};
}

}  // namespace

TEST(VcardProperty, RandomContactsComeBackAsTheFormatCarriesThem) {
    ScratchFolder folder;
    PathString path = folder.Path("contact.vcf");
    std::mt19937 random(20240611);
    int imported = 0;
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        for (int n = 0; n < ContactsPerEncoding; ++n) {
            ContactRecord written = RandomContact(random);
            ASSERT_EQ(VcardWritten, WriteVcardFile(path, &written, encoding));
            ContactStore store;
            VcardImportResult result = ReadVcardFile(path, store);
            ReadBackCard expected = WhatTheFormatCarries(written, encoding);
            std::string where = "encoding " + std::to_string(encoding) + ", contact " + std::to_string(n);
            ASSERT_EQ(expected.imported ? 1 : 0, result.imported) << where;
            if (!expected.imported) continue;
            ++imported;
            const ContactRecord& read = *RecordAt(store, 0);
            for (int f = 0; f < ContactFieldCount; ++f) {
                const ContactFieldInfo& info = FieldInfo(f);
                if (!info.isText) continue;
                EXPECT_EQ(FieldValue(expected.record, info.field), FieldValue(read, info.field))
                    << where << ", field " << f;
            }
            EXPECT_EQ(expected.record.Gender, read.Gender) << where;
            EXPECT_EQ(0, read.GroupIndex) << where;
            EXPECT_EQ(0, read.CheckFlag) << where;
            if (HasFailure()) return;
        }
    }
    // Nearly every contact keeps a name.
    EXPECT_GT(imported, 3 * ContactsPerEncoding * 8 / 10);
}
