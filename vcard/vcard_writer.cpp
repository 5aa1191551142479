#include "vcard/vcard_writer.h"

#include <cassert>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "platform/gbk.h"
#include "store/safe_file.h"
#include "store/text_operations.h"
#include "vcard/vcard_format.h"
#include "vcard/vcard_items.h"
#include "vcard/vcard_lines.h"

namespace {

const char LineEnd[] = "\r\n";

// The lines of one card under one encoding, appended to `out`.
struct CardWriter {
    const ContactRecord& record;
    VcardEncoding encoding;
    const GroupList* groups;
    std::string& out;
    const ContactDetails* details = nullptr;
    int itemGroups = 0;  // item1., item2., ... for labels of their own
};

bool ForPhones(const CardWriter& card) { return card.encoding == Utf8Qp; }

std::string Text(const CardWriter& card, ContactField field) {
    return card.details ? WholeFieldValue(card.record, *card.details, field) : FieldValue(card.record, field);
}

// Components joined by ";", each in the given encoding, appended to the card.
void AddJoined(CardWriter& card, std::initializer_list<ContactField> fields, VcardEncoding encoding) {
    bool first = true;
    for (ContactField field : fields) {
        if (!first) card.out += ';';
        card.out += EncodeVcardText(Text(card, field), encoding);
        first = false;
    }
}

bool AllEmpty(const CardWriter& card, std::initializer_list<ContactField> fields) {
    for (ContactField field : fields) {
        if (!Text(card, field).empty()) return false;
    }
    return true;
}

// Bytes beyond ASCII, white space at an end, which a reader would trim
// away with the line's (quoted-printable keeps it as "=20"), or a line
// break, which phones read as =0D=0A.
bool NeedsQp(const std::string& text) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) return true;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\r' || c == '\n') return true;
    }
    return false;
}

void AddLine(CardWriter& card, std::string_view line) {
    card.out += line;
    card.out += LineEnd;
}

// A property's name and parameters up to the ":" of its value.
void AddLineStart(CardWriter& card, std::string_view name, std::string_view parameters) {
    card.out += name;
    card.out += parameters;
    card.out += ':';
}

// A property whose value is the chosen encoding's form of the fields:
// the name, company and title lines.
void AddInChosenEncoding(CardWriter& card, std::string_view name, std::initializer_list<ContactField> fields) {
    if (ForPhones(card) && AllEmpty(card, fields)) return;
    AddLineStart(card, name, VcardEncodingParameters(card.encoding));
    AddJoined(card, fields, card.encoding);
    card.out += LineEnd;
}

// The most fields one line joins: an address's.
const size_t MostLineFields = AddressFieldCount;

// Any other property: GBK under Plain and Unicode-QP; for phones UTF-8
// quoted-printable when the value holds Chinese, and left out when empty.
void AddInGbkOrUtf8(CardWriter& card, std::string_view name, std::initializer_list<ContactField> fields,
                    std::string_view prefix = std::string_view()) {
    // Each field's text looked up once: the questions below all ask for it.
    assert(fields.size() <= MostLineFields);
    std::string texts[MostLineFields];
    size_t count = 0;
    bool empty = true, needsQp = false;
    for (ContactField field : fields) {
        if (count == MostLineFields) break;
        texts[count] = Text(card, field);
        empty = empty && texts[count].empty();
        needsQp = needsQp || NeedsQp(texts[count]);
        ++count;
    }
    if (ForPhones(card) && empty) return;
    bool utf8 = ForPhones(card) && needsQp;
    AddLineStart(card, name, utf8 ? VcardEncodingParameters(Utf8Qp) : "");
    card.out += prefix;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) card.out += ';';
        card.out += EncodeVcardText(texts[i], utf8 ? Utf8Qp : Plain);
    }
    card.out += LineEnd;
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

// Texts joined by ";" as one value: for phones UTF-8 quoted-printable
// when one holds Chinese and nothing when all are empty, else GBK.
void AddTexts(CardWriter& card, std::string_view name, const std::vector<std::string>& texts) {
    bool empty = true, utf8 = false;
    for (const std::string& text : texts) {
        empty = empty && text.empty();
        utf8 = utf8 || (ForPhones(card) && NeedsQp(text));
    }
    if (empty) return;
    AddLineStart(card, name, utf8 ? VcardEncodingParameters(Utf8Qp) : "");
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) card.out += ';';
        card.out += EncodeVcardText(texts[i], utf8 ? Utf8Qp : Plain);
    }
    card.out += LineEnd;
}

// The types a label stands for as parameters: TYPE=CELL,WORK for phones,
// ;CELL;WORK in the 2.1 of the other forms.
std::string TypeParameters(const CardWriter& card, unsigned types) {
    static const std::pair<unsigned, const char*> names[] = {{TypeWork, "WORK"}, {TypeHome, "HOME"}, {TypeCell, "CELL"},
                                                             {TypeFax, "FAX"},   {TypePager, "PAGER"}, {TypeOther, "OTHER"}};
    std::string written;
    for (const auto& name : names) {
        if (!(types & name.first)) continue;
        written += ForPhones(card) ? (written.empty() ? ";TYPE=" : ",") : ";";
        written += name.second;
    }
    return written;
}

// An item's property with its label: a label of the known types as its
// types, any other as an X-ABLabel of the item's own group.
void AddLabelled(CardWriter& card, const std::string& name, const std::string& label, const std::vector<std::string>& texts,
                 const std::string& extraParameters = std::string()) {
    unsigned types = TypesOfLabel(label);
    // A number whose types name an empty field would move into that field
    // when read again: its label goes out as X-ABLabel, and it stays an item.
    bool stayItem = name == TelephoneProperty && types != 0 && TypesNameFreeField(card.record, types);
    if ((types != 0 && !stayItem) || label.empty()) {
        AddTexts(card, name + extraParameters + TypeParameters(card, types), texts);
        return;
    }
    std::string group = "item" + std::to_string(++card.itemGroups) + ".";
    AddTexts(card, group + name + extraParameters, texts);
    AddTexts(card, group + AppleLabelProperty, {label});
}

// A parameter's value as readers take it: parameters know no escapes, so
// the characters that would end the value or the line are left out (whole
// characters only: a GBK trail byte may be a backslash).
std::string ParameterValue(const std::string& text) {
    std::string value;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t at = 0; at < text.size();) {
        size_t length = Gb18030CharacterLength(bytes + at, text.size() - at);
        unsigned char c = bytes[at];
        bool unsafe = length == 1 && (c < 0x20 || c == 0x7f || c == '"' || c == ';' || c == ':' || c == ',' || c == '\\');
        if (!unsafe) value.append(text, at, length);
        at += length;
    }
    return value;
}

// A messaging name under the property its service has, or IMPP.
void AddMessaging(CardWriter& card, const ContactItem& item) {
    const std::string& service = item.parts[ImService];
    const std::string& name = item.parts[ImName];
    if (SameNoCase(service, "QQ")) return AddLabelled(card, QQProperty, item.label, {name});
    for (const OwnMessagingProperty& own : MessagingProperties) {
        if (SameNoCase(service, own.service)) return AddLabelled(card, std::string(own.property), item.label, {name});
    }
    std::string parameters = service.empty() ? "" : ";X-SERVICE-TYPE=" + ParameterValue(service);
    AddLabelled(card, MessagingProperty, item.label, {"x-apple:" + name}, parameters);
}

void AddItem(CardWriter& card, const ContactItem& item) {
    const std::string& text = item.parts.empty() ? std::string() : item.parts[0];
    switch (item.kind) {
        case ItemKind::Phone: return AddLabelled(card, TelephoneProperty, item.label, {text});
        case ItemKind::Email: return AddLabelled(card, EmailProperty, item.label, {text}, ";INTERNET");
        case ItemKind::Address: return AddLabelled(card, AddressProperty, item.label, item.parts);
        case ItemKind::Url: return AddLabelled(card, UrlProperty, item.label, {text});
        case ItemKind::Im: return AddMessaging(card, item);
        case ItemKind::Note: return AddLabelled(card, NoteProperty, item.label, {text});
        case ItemKind::Date:
            if (item.label == AnniversaryLabel()) return AddTexts(card, OldAnniversaryProperty, {text});
            return AddLabelled(card, AppleDateProperty, item.label, {text});
        case ItemKind::Related: return AddLabelled(card, AppleRelatedProperty, item.label, {text});
        case ItemKind::Custom:
            if (item.label == NicknameLabel()) return AddTexts(card, NicknameProperty, {text});
            return AddLabelled(card, CustomProperty, item.label, {text});
    }
}

// Items that are parts of the name or the organisation go back into N and ORG.
bool IsNamePart(const ContactItem& item) {
    return item.kind == ItemKind::Custom && (item.label == MiddleNameLabel() || item.label == NamePrefixLabel() ||
                                             item.label == NameSuffixLabel() || item.label == OrganisationUnitLabel());
}

std::string NamePart(const CardWriter& card, const std::string& label) {
    if (!card.details) return std::string();
    for (const ContactItem& item : card.details->items) {
        if (item.kind == ItemKind::Custom && item.label == label && !item.parts.empty()) return item.parts[0];
    }
    return std::string();
}

// Surname;given name, and the middle name, prefix and suffix when there are any.
void AddName(CardWriter& card) {
    AddLineStart(card, NameProperty, VcardEncodingParameters(card.encoding));
    AddJoined(card, {Surname, GivenName}, card.encoding);
    std::string middle = NamePart(card, MiddleNameLabel()), prefix = NamePart(card, NamePrefixLabel()),
                suffix = NamePart(card, NameSuffixLabel());
    if (!middle.empty() || !prefix.empty() || !suffix.empty()) {
        for (const std::string* part : {&middle, &prefix, &suffix}) {
            card.out += ';';
            card.out += EncodeVcardText(*part, card.encoding);
        }
    }
    card.out += LineEnd;
}

void AddOrganisation(CardWriter& card) {
    std::string unit = NamePart(card, OrganisationUnitLabel());
    if (ForPhones(card) && AllEmpty(card, {Company, Department}) && unit.empty()) return;
    AddLineStart(card, OrganisationProperty, VcardEncodingParameters(card.encoding));
    AddJoined(card, {Company, Department}, card.encoding);
    if (!unit.empty()) {
        card.out += ';';
        card.out += EncodeVcardText(unit, card.encoding);
    }
    card.out += LineEnd;
}

void AddDetails(CardWriter& card) {
    if (!card.details) return;
    for (const ContactItem& item : card.details->items) {
        if (!IsNamePart(item)) AddItem(card, item);
    }
    if (!card.details->id.empty()) AddTexts(card, UidProperty, {card.details->id});
}

// One card, appended to the text: a file of many cards is written
// without a string of its own for each.
void AddCard(std::string& out, const ContactRecord& record, VcardEncoding encoding, const GroupList* groups,
             const ContactDetails* details) {
    CardWriter card{record, encoding, groups, out, details};
    AddLine(card, VcardBegin);
    AddLineStart(card, VersionProperty, "");
    AddLine(card, WrittenVcardVersion);
    AddName(card);
    AddLineStart(card, WabGenderProperty, "");
    AddLine(card, IsExportedFemale(record.Gender) ? WabFemale : WabMale);
    if (ForPhones(card)) AddInGbkOrUtf8(card, NicknameProperty, {Nickname});
    AddOrganisation(card);
    AddInChosenEncoding(card, TitleProperty, {JobTitle});
    for (const WrittenPhone& phone : WrittenPhones) AddInGbkOrUtf8(card, phone.property, {phone.field});
    AddAddress(card, WorkAddressProperty, WorkAddress);
    AddAddress(card, HomeAddressProperty, HomeAddress);
    AddInGbkOrUtf8(card, WrittenEmailProperty, {Email});
    AddInGbkOrUtf8(card, QQProperty, {QQNumber});
    AddBirthday(card);
    AddNickname(card);
    AddDetails(card);
    AddCategory(card);
    card.out += VcardEnd;
}

}  // namespace

std::string VcardFileText(const ContactRecord& record, VcardEncoding encoding, const GroupList* groups,
                          const ContactDetails* details) {
    std::string text;
    text.reserve(4096);
    AddCard(text, record, encoding, groups, details);
    return text;
}

int WriteVcardFile(const PathString& path, const ContactRecord* record, VcardEncoding encoding,
                   const GroupList* groups, const ContactDetails* details) {
    if (!record) return VcardNoRecord;
    return WriteFileReplacing(path, VcardFileText(*record, encoding, groups, details)) ? VcardWritten : VcardNotWritten;
}

bool WriteVcardCardsFile(const PathString& path, const ContactStore& store, VcardEncoding encoding,
                         const GroupList* groups) {
    // Written a megabyte at a time: a large book's file is never held whole.
    const size_t PartBytes = 1 << 20;
    ReplacingFile file;
    if (!BeginReplacing(file, path)) return false;
    std::string text;
    text.reserve(PartBytes + PartBytes / 4);
    for (const auto& record : store.records) {
        AddCard(text, *record, encoding, groups, &DetailsOf(store, record.get()));
        text += LineEnd;
        if (text.size() >= PartBytes) {
            WritePart(file, text);
            text.clear();
        }
    }
    WritePart(file, text);
    return FinishReplacing(file);
}
