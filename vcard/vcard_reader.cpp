#include "vcard/vcard_reader.h"

#include <cctype>
#include <cstring>

#include "store/fixed_text.h"
#include "store/imported_contact.h"
#include "vcard/quoted_printable.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_format.h"
#include "vcard/vcard_lines.h"

namespace {

// How one line's value turns into GBK text.
struct ValueForm {
    unsigned codePage;
    bool quotedPrintable;
    bool pairs;  // the program's own Unicode-QP
};

// A named character set wins; without one a 3.0 or 4.0 card is UTF-8,
// and a 2.1 card GBK, or the program's own Unicode-QP when every escape
// of the value comes as such a pair.
ValueForm FormOf(const VcardProperty& property, int version) {
    ValueForm form{version >= 30 ? Utf8CodePage : GbkCodePage, property.quotedPrintable, false};
    unsigned named = property.charset.empty() ? 0 : CodePageOfCharset(property.charset);
    if (named != 0) {
        form.codePage = named;
    } else if (property.quotedPrintable && IsQpPairs(property.value)) {
        form = {GbkCodePage, true, true};
    }
    return form;
}

// Double-byte code pages, whose second bytes may look like "\" or ";".
bool HasPairedBytes(unsigned codePage) {
    for (unsigned paired : {GbkCodePage, Gb18030CodePage, Big5CodePage, ShiftJisCodePage, KoreanCodePage}) {
        if (codePage == paired) return true;
    }
    return false;
}

std::string DecodedText(std::string_view raw, const ValueForm& form) {
    if (!form.quotedPrintable && raw.find('\\') == std::string_view::npos &&
        (form.codePage == GbkCodePage || !HasNonAscii(raw))) {
        return std::string(raw);  // nothing to convert: the common case of a GBK or ASCII value
    }
    if (!form.quotedPrintable) return VcardTextToGbk(std::string(raw), form.codePage);
    return VcardTextToGbk(form.pairs ? DecodeQpPairs(raw) : DecodeQpBytes(raw), form.codePage);
}

// The value's components, each decoded to GBK. Splitting comes before
// decoding, so that an escaped ";" never splits.
std::vector<std::string> Components(const VcardProperty& property, const ValueForm& form, size_t count) {
    bool paired = !form.quotedPrintable && HasPairedBytes(form.codePage);
    std::vector<std::string> parts;
    parts.reserve(count);
    for (std::string_view part : SplitComponents(property.value, count, paired)) parts.push_back(DecodedText(part, form));
    parts.resize(count);
    return parts;
}

std::string WholeText(const VcardProperty& property, const ValueForm& form) {
    return DecodedText(property.value, form);
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

bool IsDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int ApplyName(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    // Family name; given name; middle names, prefixes and suffixes, which
    // the two fields have no room for.
    std::vector<std::string> parts = Components(property, form, 5);
    if (parts[0].empty() && parts[1].empty()) return 0;
    SetField(card.record, Surname, parts[0]);
    SetField(card.record, GivenName, parts[1]);
    return 1;
}

int ApplyOrganisation(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    // The organisation and its first unit, the department; further units
    // have no field.
    std::vector<std::string> parts = Components(property, form, 3);
    SetField(card.record, Company, parts[0]);
    SetField(card.record, Department, parts[1]);
    return 1;
}

// "tel:+86-10-6088505;ext=12" gives +86-10-6088505,12: a phone dials
// the extension after the pause that the comma stands for.
std::string TelephoneNumber(const std::string& text) {
    if (!StartsWithNoCase(text, "tel:")) return text;
    std::string uri = text.substr(4);
    size_t parameters = uri.find(';');
    std::string number = uri.substr(0, parameters);
    if (parameters != std::string::npos) {
        size_t ext = uri.find(";ext=", parameters);
        if (ext != std::string::npos) number += "," + uri.substr(ext + 5, uri.find(';', ext + 5) - ext - 5);
    }
    return number;
}

const ContactField SpareNumberFields[] = {Mobile, HomePhone, WorkPhone};

bool HoldsNumber(const ContactRecord& record, const std::string& number) {
    for (ContactField field : SpareNumberFields) {
        if (FieldValue(record, field) == number) return true;
    }
    return false;
}

// A typed number goes into its field, the last line of a kind winning as
// ever; the number it replaces, and a number without a type of a field
// (none, VOICE, PREF, PAGER...), wait for a free field at the card's end.
int ApplyTelephone(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    std::string number = TelephoneNumber(WholeText(property, form));
    if (number.empty()) return 0;
    ContactField field;
    if (HasType(property, TypeCell)) {
        field = Mobile;
    } else if (HasType(property, TypeFax)) {
        SetField(card.record, HasType(property, TypeHome) ? HomeFax : WorkFax, number);
        return 1;
    } else if (HasType(property, TypeWork)) {
        field = WorkPhone;
    } else if (HasType(property, TypeHome)) {
        field = HomePhone;
    } else {
        card.spareNumbers.push_back(number);
        return 1;
    }
    std::string replaced = FieldValue(card.record, field);
    if (!replaced.empty() && replaced != number) card.spareNumbers.push_back(replaced);
    SetField(card.record, field, number);
    return 1;
}

int ApplyAddress(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    // Post-office box, extended address, street, locality, region, postal
    // code, country with the whole rest.
    std::vector<std::string> parts = Components(property, form, 7);
    std::string street = !parts[2].empty() ? parts[2] : !parts[1].empty() ? parts[1] : parts[0];
    const AddressFields& address = HasType(property, TypeHome) ? HomeAddress : WorkAddress;
    const std::string* values[AddressFieldCount] = {&street, &parts[3], &parts[4], &parts[5], &parts[6]};
    for (int i = 0; i < AddressFieldCount; ++i) SetField(card.record, address.fields[i], *values[i]);
    return 1;
}

int ApplyEmail(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    std::string address = WholeText(property, form);
    if (address.empty()) return 0;
    bool preferred = HasType(property, TypePref);
    if (card.emailPreferred && !preferred) return 1;  // the preferred address stays
    SetField(card.record, Email, address);
    card.emailPreferred = card.emailPreferred || preferred;
    return 1;
}

// Year up to the first "-", month up to the second, the one or two
// digits after it the day; a year or month without a day gets day 1
// and "--", as the export writes an empty birthday, stays empty. Also
// 19900517, --0517, --05-17 and a time behind a "T".
int ApplyBirthday(VcardCard& card, const std::string& text) {
    std::string date = Trimmed(text.substr(0, text.find('T')));
    std::string year, month, day;
    if (date.size() == 8 && IsDigits(date)) {
        year = date.substr(0, 4), month = date.substr(4, 2), day = date.substr(6, 2);
    } else if (date.size() == 6 && date.compare(0, 2, "--") == 0 && IsDigits(date.substr(2))) {
        month = date.substr(2, 2), day = date.substr(4, 2);
    } else if (date.size() == 7 && date.compare(0, 2, "--") == 0 && date[4] == '-') {
        month = date.substr(2, 2), day = date.substr(5, 2);
    } else {
        size_t first = date.find('-');
        year = date.substr(0, first);
        if (first != std::string::npos) {
            size_t second = date.find('-', first + 1);
            month = date.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
            if (second != std::string::npos) {
                size_t n = 0;
                while (n < 2 && second + 1 + n < date.size() && date[second + 1 + n] >= '0' &&
                       date[second + 1 + n] <= '9') {
                    ++n;
                }
                day = date.substr(second + 1, n);
            }
        }
        if (day.empty() && (!year.empty() || !month.empty())) day = "1";
    }
    for (const std::string* part : {&year, &month, &day}) {
        if (!part->empty() && !IsDigits(*part)) return 0;  // "circa 1800" is no date
    }
    SetField(card.record, BirthYear, year);
    SetField(card.record, BirthMonth, month);
    SetField(card.record, BirthDay, day);
    return 1;
}

int ApplyVersion(VcardCard& card, const std::string& value) {
    std::string version = Trimmed(value);
    card.version = version.compare(0, 1, "4") == 0 ? 40 : version.compare(0, 1, "3") == 0 ? 30 : 21;
    return 1;
}

void FinishCard(VcardCard& card, ContactStore& store, VcardImportResult& result) {
    if (!FinishVcardCard(card)) return;
    if (!HasRoomFor(store, 1)) {
        ++result.notImported;
        return;
    }
    AppendRecord(store, card.record);
    ++result.imported;
}

}  // namespace

void AddImportResult(VcardImportResult& total, const VcardImportResult& part) {
    total.filesRead += part.filesRead;
    total.filesUnreadable += part.filesUnreadable;
    total.imported += part.imported;
    total.notImported += part.notImported;
}

VcardCard NewVcardCard() {
    VcardCard card;
    card.record = EmptyRecord();
    return card;
}

int ParseVcardLine(const char* line, VcardCard& card) {
    VcardProperty property;
    if (!SplitPropertyLine(std::string_view(line), property) || property.value.empty() || property.binary) return 0;
    const std::string& name = property.name;
    if (name == VersionProperty) return ApplyVersion(card, std::string(property.value));

    ValueForm form = FormOf(property, card.version);
    if (name == NameProperty) return ApplyName(card, property, form);
    if (name == OrganisationProperty) return ApplyOrganisation(card, property, form);
    if (name == TelephoneProperty) return ApplyTelephone(card, property, form);
    if (name == AddressProperty) return ApplyAddress(card, property, form);
    if (name == EmailProperty) return ApplyEmail(card, property, form);

    std::string text = WholeText(property, form);
    if (name == FormattedNameProperty) {
        card.formattedName = text;
    } else if (name == NicknameProperty) {
        SetField(card.record, Nickname, text);
    } else if (name == TitleProperty) {
        SetField(card.record, JobTitle, text);
    } else if (name == QQProperty) {
        SetField(card.record, QQNumber, text);
    } else if (name == BirthdayProperty) {
        return ApplyBirthday(card, text);
    } else if (name == WabGenderProperty) {
        card.record.Gender = StoredGender(text[0] == WabFemale[0]);  // "1" female; "2", or anything else, male
    } else if (name == GenderProperty) {
        char sex = static_cast<char>(std::toupper(static_cast<unsigned char>(Trimmed(text)[0])));
        card.record.Gender = StoredGender(sex == 'F');
    } else {
        return 0;
    }
    return 1;
}

bool FinishVcardCard(VcardCard& card) {
    for (const std::string& number : card.spareNumbers) {
        if (HoldsNumber(card.record, number)) continue;
        for (ContactField field : SpareNumberFields) {
            if (FieldText(card.record, field)[0] != '\0') continue;
            SetField(card.record, field, number);
            break;
        }
    }
    card.spareNumbers.clear();
    return NameImportedContact(card.record, card.formattedName);
}

VcardImportResult ReadVcardFile(const PathString& path, ContactStore& store) {
    VcardImportResult result;
    FILE* file = OpenFile(path, "rb");
    if (!file) {
        result.filesUnreadable = 1;
        return result;
    }
    VcardLineReader reader;
    StartLineReader(reader, file);
    // The cards being read, the innermost last: a card inside a card is
    // read as a card of its own; cards nested deeper are skipped.
    std::vector<VcardCard> cards;
    int skippedDepth = 0;
    std::string line;
    bool dropFoldSpace = false;
    while (ReadLogicalLine(reader, line, dropFoldSpace, VcardLineLimit)) {
        if (IsWholeLine(line, VcardBegin)) {
            if (cards.size() < VcardMaxNesting) {
                cards.push_back(NewVcardCard());
            } else {
                ++skippedDepth;
            }
        } else if (cards.empty()) {
            continue;
        } else if (IsWholeLine(line, VcardEnd)) {
            if (skippedDepth > 0) {
                --skippedDepth;
            } else {
                FinishCard(cards.back(), store, result);
                cards.pop_back();
            }
        } else if (skippedDepth == 0) {
            ParseVcardLine(line.c_str(), cards.back());
        }
        dropFoldSpace = !cards.empty() && cards.back().version >= 30;
    }
    // A card cut off by the end of the file is dropped.
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.filesUnreadable = 1;
    } else {
        result.filesRead = 1;
    }
    return result;
}
