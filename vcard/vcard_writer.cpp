#include "vcard/vcard_writer.h"

#include <initializer_list>

#include "store/safe_file.h"
#include "vcard/vcard_format.h"

namespace {

const char LineEnd[] = "\r\n";

// The lines of one card under one encoding.
struct CardWriter {
    const ContactRecord& record;
    VcardEncoding encoding;
    const GroupList* groups;
    std::string out;
};

bool ForPhones(const CardWriter& card) { return card.encoding == Utf8Qp; }

std::string Text(const CardWriter& card, ContactField field) { return FieldValue(card.record, field); }

// Components joined by ";", each in the given encoding.
std::string Joined(const CardWriter& card, std::initializer_list<ContactField> fields, VcardEncoding encoding) {
    std::string value;
    bool first = true;
    for (ContactField field : fields) {
        if (!first) value += ';';
        value += EncodeVcardText(Text(card, field), encoding);
        first = false;
    }
    return value;
}

bool AllEmpty(const CardWriter& card, std::initializer_list<ContactField> fields) {
    for (ContactField field : fields) {
        if (!Text(card, field).empty()) return false;
    }
    return true;
}

// Bytes beyond ASCII, or white space at an end, which a reader would
// trim away with the line's: quoted-printable keeps it as "=20".
bool NeedsQp(const std::string& text) {
    return HasNonAscii(text) || (!text.empty() && (text.back() == ' ' || text.back() == '\t'));
}

bool AnyNeedsQp(const CardWriter& card, std::initializer_list<ContactField> fields) {
    for (ContactField field : fields) {
        if (NeedsQp(Text(card, field))) return true;
    }
    return false;
}

void AddLine(CardWriter& card, const std::string& line) { card.out += line + LineEnd; }

// A property whose value is the chosen encoding's form of the fields:
// the name, company and title lines.
void AddInChosenEncoding(CardWriter& card, const std::string& name, std::initializer_list<ContactField> fields) {
    if (ForPhones(card) && AllEmpty(card, fields)) return;
    AddLine(card, name + VcardEncodingParameters(card.encoding) + ":" + Joined(card, fields, card.encoding));
}

// Any other property: GBK under Plain and Unicode-QP; for phones UTF-8
// quoted-printable when the value holds Chinese, and left out when empty.
void AddInGbkOrUtf8(CardWriter& card, const std::string& name, std::initializer_list<ContactField> fields,
             const std::string& prefix = std::string()) {
    if (ForPhones(card) && AllEmpty(card, fields)) return;
    bool utf8 = ForPhones(card) && AnyNeedsQp(card, fields);
    std::string parameters = utf8 ? VcardEncodingParameters(Utf8Qp) : "";
    AddLine(card, name + parameters + ":" + prefix + Joined(card, fields, utf8 ? Utf8Qp : Plain));
}

void AddAddress(CardWriter& card, const char* name, const AddressFields& a) {
    // No post-office box, no extended address.
    AddInGbkOrUtf8(card, name, {a.fields[0], a.fields[1], a.fields[2], a.fields[3], a.fields[4]}, ";;");
}

// A month or day of one digit with the zero that vCard's dates give it.
std::string TwoDigits(const std::string& text) { return text.size() == 1 ? "0" + text : text; }

// A whole date as stored ("1985-3-7"); a part missing in the forms vCard
// gives a date without a year (--0422), a day (1990-05) or both (1990, --05),
// or a day alone (---22). The plain and Unicode-QP forms write "--" for none.
std::string BirthdayValue(const CardWriter& card) {
    std::string year = EncodeVcardText(Text(card, BirthYear), Plain);
    std::string month = EncodeVcardText(Text(card, BirthMonth), Plain);
    std::string day = EncodeVcardText(Text(card, BirthDay), Plain);
    if (!year.empty() && !month.empty()) return day.empty() ? year + "-" + TwoDigits(month) : year + "-" + month + "-" + day;
    if (!year.empty()) return day.empty() ? year : year + "--" + day;  // a year and a day: no form of vCard's
    if (!month.empty()) return "--" + TwoDigits(month) + TwoDigits(day);
    return day.empty() ? "--" : "---" + TwoDigits(day);
}

void AddBirthday(CardWriter& card) {
    if (ForPhones(card) && AllEmpty(card, {BirthYear, BirthMonth, BirthDay})) return;
    AddLine(card, std::string(BirthdayProperty) + ":" + BirthdayValue(card));
}

// The plain and Unicode-QP forms carry a nickname too, in their encoding
// of names; a contact without one gets no line.
void AddNickname(CardWriter& card) {
    if (ForPhones(card) || Text(card, Nickname).empty()) return;
    AddInChosenEncoding(card, NicknameProperty, {Nickname});
}

// The group, so that a phone shows it and an import puts the contact back;
// none for the first group, which every contact without one is in, so
// that a phone does not file the whole book under its name.
void AddCategory(CardWriter& card) {
    int group = card.record.GroupIndex;
    if (!ForPhones(card) || !card.groups || group <= 0 || group >= GroupCount(*card.groups)) return;
    std::string name = GroupName(*card.groups, group);
    if (name.empty()) return;
    std::string parameters = NeedsQp(name) ? VcardEncodingParameters(Utf8Qp) : "";
    AddLine(card, std::string(CategoriesProperty) + parameters + ":" +
                      EncodeVcardText(name, NeedsQp(name) ? Utf8Qp : Plain));
}

}  // namespace

std::string VcardFileText(const ContactRecord& record, VcardEncoding encoding, const GroupList* groups) {
    CardWriter card{record, encoding, groups, std::string()};
    AddLine(card, VcardBegin);
    AddLine(card, std::string(VersionProperty) + ":" + WrittenVcardVersion);
    AddLine(card, NameProperty + std::string(VcardEncodingParameters(encoding)) + ":" +
                      Joined(card, {Surname, GivenName}, encoding));
    AddLine(card, std::string(WabGenderProperty) + ":" + (IsExportedFemale(record.Gender) ? WabFemale : WabMale));
    if (ForPhones(card)) AddInGbkOrUtf8(card, NicknameProperty, {Nickname});
    AddInChosenEncoding(card, OrganisationProperty, {Company, Department});
    AddInChosenEncoding(card, TitleProperty, {JobTitle});
    for (const WrittenPhone& phone : WrittenPhones) AddInGbkOrUtf8(card, phone.property, {phone.field});
    AddAddress(card, WorkAddressProperty, WorkAddress);
    AddAddress(card, HomeAddressProperty, HomeAddress);
    AddInGbkOrUtf8(card, WrittenEmailProperty, {Email});
    AddInGbkOrUtf8(card, QQProperty, {QQNumber});
    AddBirthday(card);
    AddNickname(card);
    AddCategory(card);
    card.out += VcardEnd;
    return card.out;
}

int WriteVcardFile(const PathString& path, const ContactRecord* record, VcardEncoding encoding,
                   const GroupList* groups) {
    if (!record) return VcardNoRecord;
    return WriteFileReplacing(path, VcardFileText(*record, encoding, groups)) ? VcardWritten : VcardNotWritten;
}

bool WriteVcardCardsFile(const PathString& path, const ContactStore& store, VcardEncoding encoding,
                         const GroupList* groups) {
    std::string text;
    for (const auto& record : store.records) text += VcardFileText(*record, encoding, groups) + LineEnd;
    return WriteFileReplacing(path, text);
}
