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

bool AnyNonAscii(const CardWriter& card, std::initializer_list<ContactField> fields) {
    for (ContactField field : fields) {
        if (HasNonAscii(Text(card, field))) return true;
    }
    return false;
}

void AddLine(CardWriter& card, const std::string& line) { card.out += line + LineEnd; }

// A property whose value is the chosen encoding's form of the fields:
// the name, company and title lines.
void AddEncoded(CardWriter& card, const std::string& name, std::initializer_list<ContactField> fields) {
    if (ForPhones(card) && AllEmpty(card, fields)) return;
    AddLine(card, name + VcardEncodingParameters(card.encoding) + ":" + Joined(card, fields, card.encoding));
}

// Any other property: GBK under Plain and Unicode-QP; for phones UTF-8
// quoted-printable when the value holds Chinese, and left out when empty.
void AddText(CardWriter& card, const std::string& name, std::initializer_list<ContactField> fields,
             const std::string& prefix = std::string()) {
    if (ForPhones(card) && AllEmpty(card, fields)) return;
    bool utf8 = ForPhones(card) && AnyNonAscii(card, fields);
    std::string parameters = utf8 ? VcardEncodingParameters(Utf8Qp) : "";
    AddLine(card, name + parameters + ":" + prefix + Joined(card, fields, utf8 ? Utf8Qp : Plain));
}

void AddAddress(CardWriter& card, const char* name, const AddressFields& a) {
    // No post-office box, no extended address.
    AddText(card, name, {a.fields[0], a.fields[1], a.fields[2], a.fields[3], a.fields[4]}, ";;");
}

void AddBirthday(CardWriter& card) {
    if (ForPhones(card) && AllEmpty(card, {BirthYear, BirthMonth, BirthDay})) return;
    AddLine(card, std::string(BirthdayProperty) + ":" + EncodeVcardText(Text(card, BirthYear), Plain) + "-" +
                      EncodeVcardText(Text(card, BirthMonth), Plain) + "-" +
                      EncodeVcardText(Text(card, BirthDay), Plain));
}

}  // namespace

std::string VcardFileText(const ContactRecord& record, VcardEncoding encoding) {
    CardWriter card{record, encoding, std::string()};
    AddLine(card, VcardBegin);
    AddLine(card, std::string(VersionProperty) + ":" + WrittenVcardVersion);
    AddLine(card, NameProperty + std::string(VcardEncodingParameters(encoding)) + ":" +
                      Joined(card, {Surname, GivenName}, encoding));
    AddLine(card, std::string(WabGenderProperty) + ":" + (IsExportedFemale(record.Gender) ? WabFemale : WabMale));
    if (ForPhones(card)) AddText(card, NicknameProperty, {Nickname});
    AddEncoded(card, OrganisationProperty, {Company, Department});
    AddEncoded(card, TitleProperty, {JobTitle});
    for (const WrittenPhone& phone : WrittenPhones) AddText(card, phone.property, {phone.field});
    AddAddress(card, WorkAddressProperty, WorkAddress);
    AddAddress(card, HomeAddressProperty, HomeAddress);
    AddText(card, WrittenEmailProperty, {Email});
    AddText(card, QQProperty, {QQNumber});
    AddBirthday(card);
    card.out += VcardEnd;
    return card.out;
}

int WriteVcardFile(const PathString& path, const ContactRecord* record, VcardEncoding encoding) {
    if (!record) return VcardNoRecord;
    return WriteFileReplacing(path, VcardFileText(*record, encoding)) ? VcardWritten : VcardNotWritten;
}

bool WriteVcardCardsFile(const PathString& path, const ContactStore& store, VcardEncoding encoding) {
    std::string text;
    for (const auto& record : store.records) text += VcardFileText(*record, encoding) + LineEnd;
    return WriteFileReplacing(path, text);
}
