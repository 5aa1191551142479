#include "vcard/vcard_reader.h"

#include <algorithm>
#include <cstring>

#include "store/fixed_text.h"
#include "store/imported_contact.h"
#include "store/text_operations.h"
#include "vcard/quoted_printable.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_format.h"
#include "vcard/vcard_items.h"
#include "vcard/vcard_lines.h"

// The most components a value is split into (Android's own rows).
const size_t MostComponents = 16;

// The steps of a value's decoding write into room kept from one value to
// the next: a file of 100,000 cards then allocates for what its contacts
// keep, not for every step of every value.
struct VcardDecodeRoom {
    std::string bytes;                            // a value with its quoted-printable undone
    std::string text;                             // a whole value as GBK
    std::vector<std::string_view> pieces;         // a value's components as written
    std::vector<std::string> parts[MostComponents + 1];  // and as GBK, by how many were asked for
};

namespace {

// How one line's value turns into GBK text, and the room to do it in.
struct ValueForm {
    unsigned codePage;
    bool quotedPrintable;
    bool pairs;  // the program's own Unicode-QP
    VcardDecodeRoom* room;
};

// A named character set wins; without one the card's own code page
// (UTF-8 for 3.0 and 4.0, GBK for 2.1), or the program's own Unicode-QP
// when every escape of the value comes as such a pair. In a file that was
// UTF-16, every value that is not quoted-printable is UTF-8 now.
// A card read on its own (not by a file's reader) decodes in room of its
// thread's, found once per line: a thread's own variable costs a call
// under MinGW.
ValueForm FormOf(const VcardProperty& property, const VcardCard& card) {
    thread_local VcardDecodeRoom threadRoom;
    ValueForm form{card.textCodePage, property.quotedPrintable, false, card.room ? card.room : &threadRoom};
    if (card.unicodeFile && !property.quotedPrintable) return form;
    unsigned named = property.charset.empty() ? 0 : CodePageOfCharset(property.charset);
    if (named != 0) {
        form.codePage = named;
    } else if (property.quotedPrintable && IsQpPairs(property.value)) {
        form.codePage = GbkCodePage;
        form.pairs = true;
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

// A number (phone, fax, QQ) loses the invisible marks around it.
void DecodeInto(std::string_view raw, const ValueForm& form, bool number, std::string& out) {
    if (!form.quotedPrintable && !FindByte(raw.data(), raw.size(), '\\') &&
        (form.codePage == GbkCodePage || !HasNonAscii(raw))) {
        out.assign(raw.data(), raw.size());  // nothing to convert: the common case of a GBK or ASCII value
        return;
    }
    std::string_view bytes = raw;
    if (form.quotedPrintable) {
        std::string& decoded = form.room->bytes;
        if (form.pairs) {
            DecodeQpPairsInto(raw, decoded);
        } else {
            DecodeQpBytesInto(raw, decoded);
        }
        bytes = decoded;
    }
    if (number) {
        out = VcardNumberToGbk(std::string(bytes), form.codePage);
    } else {
        VcardTextToGbkInto(bytes, form.codePage, out);
    }
}

std::string DecodedText(std::string_view raw, const ValueForm& form, bool number = false) {
    std::string text;
    DecodeInto(raw, form, number, text);
    return text;
}

// The value's components, each decoded to GBK, good until the next call.
// Splitting comes before decoding, so that an escaped ";" never splits.
const std::vector<std::string>& Components(const VcardProperty& property, const ValueForm& form, size_t count) {
    count = std::min(count, MostComponents);  // the room holds no more; the last takes the rest
    bool paired = !form.quotedPrintable && HasPairedBytes(form.codePage);
    VcardDecodeRoom& room = *form.room;
    SplitComponentsInto(property.value, count, paired, room.pieces);
    std::vector<std::string>& parts = room.parts[count];
    parts.resize(count);
    for (size_t i = 0; i < count; ++i) {
        if (i < room.pieces.size()) {
            DecodeInto(room.pieces[i], form, false, parts[i]);
        } else {
            parts[i].clear();
        }
    }
    return parts;
}

// The whole value as GBK, good until the next call.
const std::string& WholeText(const VcardProperty& property, const ValueForm& form) {
    std::string& text = form.room->text;
    DecodeInto(property.value, form, false, text);
    return text;
}

std::string WholeNumber(const VcardProperty& property, const ValueForm& form) {
    return DecodedText(property.value, form, true);
}

bool IsDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// An item in card order, labelled by its types until its group's
// X-ABLabel names it at the card's end.
void AddItem(VcardCard& card, const VcardProperty& property, ContactItem item) {
    if (item.label.empty()) item.label = LabelOfTypes(property.types, property.typeLabel);
    card.details.items.push_back(std::move(item));
    card.itemGroups.push_back(property.group);
}

void AddTextItem(VcardCard& card, const VcardProperty& property, ItemKind kind, const std::string& text,
                 const std::string& label = std::string()) {
    if (!text.empty()) AddItem(card, property, MakeItem(kind, label, text));
}

int ApplyName(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    // Family name; given name; middle names; prefixes and suffixes, which
    // the two fields have no room for.
    const std::vector<std::string>& parts = Components(property, form, 5);
    std::string givenName = parts[1];
    // Android splits a Chinese name into family, given and middle name:
    // 刘巧玲 comes as N:刘;玲;巧. The card's end joins them as FN shows them.
    bool chinese = IsDoubleByteText(parts[0]) && !parts[2].empty();
    card.nameGiven = chinese ? parts[1] : std::string();
    card.nameMiddle = chinese ? parts[2] : std::string();
    if (chinese) givenName = parts[2] + givenName;
    if (parts[0].empty() && givenName.empty()) return 0;
    SetWholeField(card.record, card.details, Surname, parts[0]);
    SetWholeField(card.record, card.details, GivenName, givenName);
    if (!chinese) AddTextItem(card, property, ItemKind::Custom, parts[2], MiddleNameLabel());
    AddTextItem(card, property, ItemKind::Custom, parts[3], NamePrefixLabel());
    AddTextItem(card, property, ItemKind::Custom, parts[4], NameSuffixLabel());
    // A whole name in the given name ("长沙黑车肖") is split at the card's
    // end, before the field can cut it.
    card.givenNameText = parts[0].empty() ? givenName : std::string();
    return 1;
}

int ApplyOrganisation(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    // The organisation and its first unit, the department; further units
    // have no field.
    const std::vector<std::string>& parts = Components(property, form, 3);
    SetWholeField(card.record, card.details, Company, parts[0]);
    SetWholeField(card.record, card.details, Department, parts[1]);
    AddTextItem(card, property, ItemKind::Custom, parts[2], OrganisationUnitLabel());
    return 1;
}

// Tabs and other control bytes mean nothing in a number (and are never a
// trail byte), and a card's line drops them at its end: a field of tabs
// alone would come back empty from its own card.
std::string WithoutControlBytes(std::string number) {
    number.erase(std::remove_if(number.begin(), number.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }),
                 number.end());
    return number;
}

// "tel:+86-10-6088505;ext=12" gives +86-10-6088505,12: a phone dials
// the extension after the pause that the comma stands for.
std::string TelephoneNumber(std::string text) {
    if (!StartsWithNoCase(text, "tel:")) return text;  // the usual number, moved through
    std::string uri = text.substr(4);
    size_t parameters = uri.find(';');
    std::string number = uri.substr(0, parameters);
    if (parameters != std::string::npos) {
        size_t ext = uri.find(";ext=", parameters);
        if (ext != std::string::npos) number += "," + uri.substr(ext + 5, uri.find(';', ext + 5) - ext - 5);
    }
    return number;
}

// A number without any type still fills the first free of these.
const ContactField SpareNumberFields[] = {Mobile, HomePhone, WorkPhone};
const unsigned NamingTypes = TypeCell | TypeFax | TypeWork | TypeHome | TypePager;
bool PlaceNumber(ContactRecord& record, ContactField field, const std::string& number) {
    if (field == NoPhoneField || FieldText(record, field)[0] != '\0') return false;
    SetField(record, field, number);
    return true;
}

const ContactField PhoneFields[] = {Mobile, HomePhone, WorkPhone, HomeFax, WorkFax};

bool HoldsNumber(const ContactRecord& record, const std::string& number) {
    for (ContactField field : PhoneFields) {
        if (FieldValue(record, field) == number) return true;
    }
    return false;
}

// A number with a type or a label of its own, which no spare field shows.
bool IsLabelled(const VcardCard& card, const VcardPhone& phone) {
    return (phone.types & NamingTypes) != 0 || !phone.typeLabel.empty() ||
           (!phone.group.empty() && card.groupLabels.count(phone.group) != 0);
}

// Every number finds a field while one is free: first the preferred
// numbers, then the first number of each type, then the field their other
// types name; a number without types the first free of mobile, home and
// work phone. A number whose types name no free field is an item with its
// types, never a number under a field of another name. A number the card
// already holds is not kept twice.
void PlaceNumbers(VcardCard& card) {
    auto placeAll = [&](auto chooseField, bool typed) {
        for (VcardPhone& phone : card.phones) {
            if (phone.placed) continue;
            phone.placed = (!typed && HoldsNumber(card.record, phone.number)) ||
                           PlaceNumber(card.record, chooseField(phone), phone.number);
        }
    };
    placeAll([](const VcardPhone& p) { return p.types & TypePref ? TypedField(p.types) : NoPhoneField; }, true);
    placeAll([](const VcardPhone& p) { return TypedField(p.types); }, true);
    placeAll([](const VcardPhone& p) { return OtherTypedField(p.types); }, false);
    for (ContactField spare : SpareNumberFields) {
        placeAll([spare, &card](const VcardPhone& p) { return IsLabelled(card, p) ? NoPhoneField : spare; }, false);
    }
    for (const VcardPhone& phone : card.phones) {
        if (phone.placed || HoldsNumber(card.record, phone.number)) continue;
        VcardProperty property;
        property.types = phone.types;
        property.typeLabel = phone.typeLabel;
        property.group = phone.group;
        AddTextItem(card, property, ItemKind::Phone, phone.number);
    }
    card.phones.clear();
}

int ApplyTelephone(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    std::string number = WithoutControlBytes(TelephoneNumber(WholeNumber(property, form)));
    if (number.empty()) return 0;
    const size_t usualPhones = 8;  // room for a card's numbers at once, not one more at a time
    if (card.phones.empty()) card.phones.reserve(usualPhones);
    card.phones.push_back({std::move(number), property.types, false, property.typeLabel, property.group});
    return 1;
}

// IMPP;X-SERVICE-TYPE=QQ:x-apple:10001, IMPP;TYPE=QQ:10001 and IMPP:qq:10001 give 10001;
// other services have no field.
// A messaging name that the QQ field cannot take is an item.
void AddMessagingItem(VcardCard& card, const VcardProperty& property, const std::string& service,
                      const std::string& name) {
    if (name.empty()) return;
    ContactItem item = MakeItem(ItemKind::Im, "", name);
    item.parts[ImService] = service;
    AddItem(card, property, item);
}

void PlaceQQ(VcardCard& card, const VcardProperty& property, const std::string& number) {
    // The field takes the number without control bytes; an item keeps the
    // name as it came, line breaks included.
    std::string fieldNumber = WithoutControlBytes(number);
    if (fieldNumber.empty()) return;
    if (card.record.QQNumber[0] == '\0') {
        SetField(card.record, QQNumber, fieldNumber);
    } else if (FieldValue(card.record, QQNumber) != number) {
        AddMessagingItem(card, property, "QQ", number);
    }
}

int ApplyMessaging(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    std::string address = TrimSpacesAndTabs(WholeNumber(property, form));
    size_t colon = address.find(':');
    std::string scheme = colon == std::string::npos ? std::string() : address.substr(0, colon);
    if (property.qqService || SameNoCase(scheme, "qq")) {
        PlaceQQ(card, property, TrimSpacesAndTabs(address.substr(address.rfind(':') + 1)));
        return 1;
    }
    // IMPP;X-SERVICE-TYPE=Skype:x-apple:name, IMPP:xmpp:name@host
    std::string service = !property.serviceType.empty() ? property.serviceType : scheme;
    std::string name = colon == std::string::npos ? address : address.substr(colon + 1);
    if (StartsWithNoCase(name, "x-apple:")) name = name.substr(8);
    AddMessagingItem(card, property, service, TrimSpacesAndTabs(name));
    return 1;
}

// Labels that Google writes into every contact's categories; no group
// of the user's.
const char* const SystemCategories[] = {"myContacts", "starred", "Starred in Android", "My Contacts"};

bool IsSystemCategory(const std::string& name) {
    for (const char* label : SystemCategories) {
        if (SameNoCase(name, label)) return true;
    }
    return false;
}

// The first category that is a group of the user's; the value is a list
// at each "," that no backslash escapes.
int ApplyCategories(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    if (!card.category.empty()) return 1;
    bool paired = !form.quotedPrintable && HasPairedBytes(form.codePage);
    std::string_view value = property.value;
    size_t start = 0;
    for (size_t i = 0; i <= value.size();) {
        unsigned char c = i < value.size() ? static_cast<unsigned char>(value[i]) : ',';
        if (c == ',') {
            std::string name = TrimSpacesAndTabs(DecodedText(value.substr(start, i - start), form));
            if (!name.empty() && !IsSystemCategory(name)) {
                card.category = name;
                return 1;
            }
            start = ++i;
        } else {
            i += c == '\\' || (paired && c >= 0x81) ? 2 : 1;
        }
    }
    return 0;
}

// KIND:group (vCard 4.0) and Apple's X-ADDRESSBOOKSERVER-KIND:group.
int ApplyKind(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    card.isGroup = SameNoCase(TrimSpacesAndTabs(WholeText(property, form)), "group");
    return 1;
}

bool AddressEmpty(const ContactRecord& record, const AddressFields& address);

int ApplyAddress(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    // Post-office box, extended address, street, locality, region, postal
    // code, country with the whole rest.
    const std::vector<std::string>& parts = Components(property, form, 7);
    const std::string& street = !parts[2].empty() ? parts[2] : !parts[1].empty() ? parts[1] : parts[0];
    const AddressFields& address = HasType(property, TypeHome) ? HomeAddress : WorkAddress;
    // The fields take the first address of their type, or a later one
    // marked preferred; any other is an item.
    bool home = &address == &HomeAddress;
    bool& preferred = home ? card.homeAddressPreferred : card.workAddressPreferred;
    if (!AddressEmpty(card.record, address)) {
        if (!HasType(property, TypePref) || preferred) {
            ContactItem item = MakeItem(ItemKind::Address, "", "");
            item.parts = parts;
            AddItem(card, property, item);
            return 1;
        }
        ContactItem earlier = MakeItem(ItemKind::Address, "", "");
        const int fieldParts[AddressFieldCount] = {Street, Locality, Region, PostalCode, Country};
        for (int i = 0; i < AddressFieldCount; ++i) {
            earlier.parts[fieldParts[i]] = WholeFieldValue(card.record, card.details, address.fields[i]);
        }
        VcardProperty typed;
        typed.types = home ? TypeHome : TypeWork;
        AddItem(card, typed, earlier);
    }
    preferred = preferred || HasType(property, TypePref);
    const std::string* values[AddressFieldCount] = {&street, &parts[3], &parts[4], &parts[5], &parts[6]};
    for (int i = 0; i < AddressFieldCount; ++i) SetWholeField(card.record, card.details, address.fields[i], *values[i]);
    return 1;
}

// An address as one text (vCard 2.1 and 3.0), kept for a card that has
// no ADR of its type: the first of each type, untyped ones the work's.
int ApplyLabel(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    std::string text = TrimSpacesAndTabs(WholeText(property, form));
    if (text.empty()) return 0;
    std::string& label = HasType(property, TypeHome) ? card.homeLabel : card.workLabel;
    if (label.empty()) label = text;
    return 1;
}

bool AddressEmpty(const ContactRecord& record, const AddressFields& address) {
    for (ContactField field : address.fields) {
        if (FieldText(record, field)[0] != '\0') return false;
    }
    return true;
}

// A label alone becomes the street of its address.
void PlaceLabels(VcardCard& card) {
    if (!card.homeLabel.empty() && AddressEmpty(card.record, HomeAddress)) {
        SetField(card.record, HomeStreet, card.homeLabel);
    }
    if (!card.workLabel.empty() && AddressEmpty(card.record, WorkAddress)) {
        SetField(card.record, WorkStreet, card.workLabel);
    }
}

// The first address is the primary one, unless a later one is marked
// preferred.
int ApplyEmail(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    const std::string& address = WholeText(property, form);
    if (address.empty()) return 0;
    bool preferred = HasType(property, TypePref);
    bool replaces = card.record.Email[0] == '\0' || (preferred && !card.emailPreferred);
    if (!replaces) {
        AddTextItem(card, property, ItemKind::Email, address);
        return 1;
    }
    // The address it replaces stays as an item, labelled as a plain one.
    VcardProperty earlier;
    AddTextItem(card, earlier, ItemKind::Email, WholeFieldValue(card.record, card.details, Email));
    SetWholeField(card.record, card.details, Email, address);
    card.emailPreferred = card.emailPreferred || preferred;
    return 1;
}

// The year that Apple and CardBook write for a birthday without one.
const char NoYear[] = "1604";

// Year up to the first "-", month up to the second, the one or two
// digits after it the day; a year or month without a day keeps the day
// empty, and "--", as the export writes an empty birthday, stays empty.
// Also 19900517, --0517, --05-17, 05-17, --05 (a month alone), ---17 (a
// day alone) and a time behind a "T". A year that the card says to leave
// out, and the year 1604 that stands for none, is no year.
int ApplyBirthday(VcardCard& card, const std::string& text, bool omitYear) {
    std::string date = TrimSpacesAndTabs(text.substr(0, text.find('T')));
    std::string year, month, day;
    bool noYearPrefix = date.compare(0, 2, "--") == 0;
    if (date.size() == 8 && IsDigits(date)) {
        year = date.substr(0, 4), month = date.substr(4, 2), day = date.substr(6, 2);
    } else if (date.size() == 6 && noYearPrefix && IsDigits(date.substr(2))) {
        month = date.substr(2, 2), day = date.substr(4, 2);
    } else if (date.size() == 7 && noYearPrefix && date[4] == '-') {
        month = date.substr(2, 2), day = date.substr(5, 2);
    } else if (date.size() == 4 && noYearPrefix) {
        month = date.substr(2);
    } else if (date.size() == 5 && date.compare(0, 3, "---") == 0) {
        day = date.substr(3);
    } else if (date.size() == 5 && date[2] == '-' && IsDigits(date.substr(0, 2)) && IsDigits(date.substr(3))) {
        month = date.substr(0, 2), day = date.substr(3);
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
    }
    if (omitYear || year == NoYear) year.clear();
    for (const std::string* part : {&year, &month, &day}) {
        if (!part->empty() && !IsDigits(*part)) return 0;  // "circa 1800" is no date
    }
    SetField(card.record, BirthYear, year);
    SetField(card.record, BirthMonth, month);
    SetField(card.record, BirthDay, day);
    return 1;
}

// The first nickname is the field's; any other an item.
void ApplyNickname(VcardCard& card, const VcardProperty& property, const std::string& text) {
    if (text.empty()) return;
    if (card.record.Nickname[0] == '\0') {
        SetWholeField(card.record, card.details, Nickname, text);
    } else if (WholeFieldValue(card.record, card.details, Nickname) != text) {
        AddTextItem(card, property, ItemKind::Custom, text, NicknameLabel());
    }
}

// Android's own rows: X-ANDROID-CUSTOM:vnd.android.cursor.item/nickname;Ann;...
// and .../relation;Bob;TYPE;LABEL.
int ApplyAndroidCustom(VcardCard& card, const VcardProperty& property, const ValueForm& form) {
    const std::vector<std::string>& parts = Components(property, form, MostComponents);
    if (parts[0] == AndroidNicknameType) {
        ApplyNickname(card, property, parts[1]);
        return 1;
    }
    if (parts[0] == AndroidRelationType) {
        AddTextItem(card, property, ItemKind::Related, parts[1], parts[3]);
        return 1;
    }
    return 0;
}

int ApplyVersion(VcardCard& card, const std::string& value) {
    std::string version = TrimSpacesAndTabs(value);
    card.version = version.compare(0, 1, "4") == 0 ? 40 : version.compare(0, 1, "3") == 0 ? 30 : 21;
    card.textCodePage = card.version >= 30 || card.unicodeFile ? Utf8CodePage : GbkCodePage;
    return 1;
}

void AddCardToBook(VcardCard& card, Document& book, ImportGroups& made, VcardImportResult& result) {
    if (!FinishVcardCard(card)) return;
    card.record.GroupIndex = GroupForCategory(book.groups, card.category, made);
    if (HoldsImportedContact(book.contacts, made, card.record, card.asWritten, !card.category.empty(),
                             &card.details.items)) {
        ++result.duplicates;
        return;
    }
    if (!HasRoomFor(book.contacts, 1)) {
        ++result.notImported;
        return;
    }
    AppendContact(book.contacts, card.record, std::move(card.details));
    ++result.imported;
}

// A card as the preview found it: its version wherever it stands; without
// one, UTF-8 when its text is UTF-8 with bytes beyond ASCII, else GBK.
VcardCard PreviewedCard(VcardLineReader& reader, bool unicodeFile) {
    VcardCard card = NewVcardCard();
    card.unicodeFile = unicodeFile;
    VcardPreview preview = PreviewCard(reader, VcardLineLimit);
    if (!preview.version.empty()) {
        ApplyVersion(card, preview.version);
    } else {
        card.version = 30;  // folded as servers and Evolution fold
        card.textCodePage = preview.utf8Text || unicodeFile ? Utf8CodePage : GbkCodePage;
    }
    return card;
}

// UTF-16 of either byte order (after its mark) as UTF-8; an odd last
// byte is dropped.
std::string Utf16FileText(const std::string& bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned char first = static_cast<unsigned char>(bytes[i]);
        unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return Utf16ToUtf8(units);
}

// What a file's first bytes say about all of it.
enum class VcardFileForm { Bytes, Utf8Marked, Utf16Le, Utf16Be };

// Enough for the first line of any card file.
const size_t FileFormProbeBytes = 512;

// UTF-16 without a byte-order mark, as macOS exports (UTF-16BE): every
// other byte of the first line is zero, which no text of one-byte or
// double-byte characters has.
VcardFileForm Utf16WithoutMark(const unsigned char* bytes, size_t size) {
    const size_t fewestUnits = 4;
    bool little = size >= 2 && bytes[0] != 0 && bytes[1] == 0;
    bool big = size >= 2 && bytes[0] == 0 && bytes[1] != 0;
    if (!little && !big) return VcardFileForm::Bytes;
    size_t units = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        unsigned char text = little ? bytes[i] : bytes[i + 1];
        unsigned char zero = little ? bytes[i + 1] : bytes[i];
        if (zero != 0 || text == 0) return VcardFileForm::Bytes;
        if (text == '\n' || text == '\r') break;
        ++units;
    }
    if (units < fewestUnits) return VcardFileForm::Bytes;
    return little ? VcardFileForm::Utf16Le : VcardFileForm::Utf16Be;
}

// A byte-order mark (`markLength` its bytes), or UTF-16 without one.
VcardFileForm FileFormOf(const unsigned char* bytes, size_t size, size_t& markLength) {
    markLength = 0;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        markLength = 3;
        return VcardFileForm::Utf8Marked;
    }
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        markLength = 2;
        return bytes[0] == 0xFE ? VcardFileForm::Utf16Be : VcardFileForm::Utf16Le;
    }
    return Utf16WithoutMark(bytes, size);
}

// The whole rest of a file, up to `limit` bytes.
std::string RestOfFile(FILE* file, size_t limit) {
    std::string bytes;
    char block[4096];
    size_t got;
    while (bytes.size() < limit && (got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    return bytes;
}

}  // namespace

void AddImportResult(VcardImportResult& total, const VcardImportResult& part) {
    total.filesRead += part.filesRead;
    total.filesUnreadable += part.filesUnreadable;
    total.imported += part.imported;
    total.notImported += part.notImported;
    total.duplicates += part.duplicates;
}

VcardCard NewVcardCard() {
    VcardCard card;
    card.record = EmptyRecord();
    card.textCodePage = GbkCodePage;
    return card;
}

int ParseVcardLine(std::string_view line, VcardCard& card) {
    // A line ends at a NUL byte, which no text holds.
    if (const char* nul = FindByte(line.data(), line.size(), '\0')) line = line.substr(0, static_cast<size_t>(nul - line.data()));
    VcardProperty property;
    if (!SplitPropertyLine(line, property) || property.value.empty() || property.binary) return 0;
    // A view: each comparison below is then a length and a few bytes,
    // without measuring the constant name at run time.
    std::string_view name = property.name;
    if (name == VersionProperty) return ApplyVersion(card, std::string(property.value));

    ValueForm form = FormOf(property, card);
    if (name == NameProperty) return ApplyName(card, property, form);
    if (name == OrganisationProperty) return ApplyOrganisation(card, property, form);
    if (name == TelephoneProperty) return ApplyTelephone(card, property, form);
    if (name == AddressProperty) return ApplyAddress(card, property, form);
    if (name == LabelProperty) return ApplyLabel(card, property, form);
    if (name == EmailProperty) return ApplyEmail(card, property, form);
    if (name == MessagingProperty) return ApplyMessaging(card, property, form);
    if (name == CategoriesProperty) return ApplyCategories(card, property, form);
    if (name == KindProperty || name == AppleKindProperty) return ApplyKind(card, property, form);

    if (name == AndroidCustomProperty) return ApplyAndroidCustom(card, property, form);
    for (const OwnMessagingProperty& messaging : MessagingProperties) {
        if (name == messaging.property) {
            AddMessagingItem(card, property, std::string(messaging.service), TrimSpacesAndTabs(WholeNumber(property, form)));
            return 1;
        }
    }

    const std::string& text = WholeText(property, form);
    if (name == FormattedNameProperty) {
        card.formattedName = text;
    } else if (name == NicknameProperty) {
        ApplyNickname(card, property, text);
    } else if (name == TitleProperty) {
        SetWholeField(card.record, card.details, JobTitle, text);
    } else if (name == QQProperty) {
        PlaceQQ(card, property, WholeNumber(property, form));
    } else if (name == UrlProperty) {
        AddTextItem(card, property, ItemKind::Url, TrimSpacesAndTabs(text));
    } else if (name == NoteProperty) {
        AddTextItem(card, property, ItemKind::Note, text);
    } else if (name == AnniversaryProperty || name == OldAnniversaryProperty) {
        AddTextItem(card, property, ItemKind::Date, TrimSpacesAndTabs(text), AnniversaryLabel());
    } else if (name == AppleDateProperty) {
        AddTextItem(card, property, ItemKind::Date, TrimSpacesAndTabs(text));
    } else if (name == RelatedProperty || name == AppleRelatedProperty) {
        AddTextItem(card, property, ItemKind::Related, TrimSpacesAndTabs(text));
    } else if (name == CustomProperty) {
        AddTextItem(card, property, ItemKind::Custom, text);
    } else if (SameNoCase(name, AppleLabelProperty)) {
        if (!property.group.empty()) card.groupLabels[property.group] = TrimSpacesAndTabs(text);
    } else if (name == UidProperty) {
        std::string uid = TrimSpacesAndTabs(text);
        if (uid.empty() || uid.size() > MaxUidBytes) return 0;
        card.details.id = uid;
        card.details.idKept = true;
    } else if (name == BirthdayProperty) {
        return ApplyBirthday(card, text, property.omitYear);
    } else if (name == WabGenderProperty) {
        card.record.Gender = StoredGender(text[0] == WabFemale[0]);  // "1" female; "2", or anything else, male
    } else if (name == GenderProperty) {
        char sex = AsciiUpper(TrimSpacesAndTabs(text)[0]);
        card.record.Gender = StoredGender(sex == 'F');
    } else {
        return 0;
    }
    return 1;
}

// Each item of a group that an X-ABLabel names takes that label.
void ApplyGroupLabels(VcardCard& card) {
    for (size_t i = 0; i < card.details.items.size() && i < card.itemGroups.size(); ++i) {
        auto label = card.groupLabels.find(card.itemGroups[i]);
        if (!card.itemGroups[i].empty() && label != card.groupLabels.end()) {
            card.details.items[i].label = LabelOfAbLabel(label->second);
        }
    }
}


bool FinishVcardCard(VcardCard& card) {
    PlaceNumbers(card);
    PlaceLabels(card);
    ApplyGroupLabels(card);
    OrderItems(card.details.items);
    if (!card.nameMiddle.empty() &&
        TrimSpacesAndTabs(card.formattedName) == FieldValue(card.record, Surname) + card.nameGiven + card.nameMiddle) {
        SetField(card.record, GivenName, card.nameGiven + card.nameMiddle);
    }
    if (card.isGroup) return false;
    card.asWritten = card.record;
    bool named;
    if (card.record.Surname[0] == '\0' && !card.givenNameText.empty()) {
        SetField(card.record, GivenName, "");
        named = NameImportedContact(card.record, card.givenNameText);
    } else {
        named = NameImportedContact(card.record, card.formattedName);
    }
    DropStaleWholeForms(card.record, card.details);
    return named;
}

VcardImportResult ReadVcardFile(const PathString& path, Document& book) {
    ImportGroups made;
    return ReadVcardFile(path, book, made);
}

VcardImportResult ReadVcardFile(const PathString& path, Document& book, ImportGroups& made) {
    return ReadVcardFile(path, book, made, nullptr);
}

int CountVcardCards(const PathString& path) {
    FILE* file = OpenFile(path, "rb");
    if (!file) return 0;
    static const char Begin[] = "BEGIN:VCARD";
    const size_t BeginLength = sizeof Begin - 1;
    std::vector<char> block(1 << 16);
    int count = 0;
    size_t matched = 0;    // letters of BEGIN:VCARD the line began with so far
    bool matching = true;  // the line may still begin with it
    size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
        for (size_t i = 0; i < got;) {
            if (matching) {
                if (AsciiUpper(block[i]) == Begin[matched]) {
                    ++i;
                    if (++matched == BeginLength) {
                        ++count;
                        matching = false;
                    }
                    continue;
                }
                matching = false;
            }
            const char* end = FindByte(block.data() + i, got - i, '\n');
            if (!end) break;
            i = static_cast<size_t>(end - block.data()) + 1;
            matching = true;
            matched = 0;
        }
    }
    std::fclose(file);
    return count;
}

VcardImportResult ReadVcardFile(const PathString& path, Document& book, ImportGroups& made,
                                const ProgressReport& progress) {
    VcardImportResult result;
    int total = progress ? CountVcardCards(path) : 0;
    int started = 0;
    FILE* file = OpenFile(path, "rb");
    if (!file) {
        result.filesUnreadable = 1;
        return result;
    }
    // The first bytes say what the whole file is: UTF-16 is read as UTF-8
    // text from memory, and a UTF-8 mark makes every card UTF-8.
    unsigned char start[FileFormProbeBytes];
    size_t probed = std::fread(start, 1, sizeof start, file);
    size_t markLength = 0;
    VcardFileForm fileForm = FileFormOf(start, probed, markLength);
    bool utf16 = fileForm == VcardFileForm::Utf16Le || fileForm == VcardFileForm::Utf16Be;
    std::string unicodeText;
    VcardLineReader reader;
    if (utf16) {
        std::string bytes(reinterpret_cast<const char*>(start + markLength), probed - markLength);
        bytes += RestOfFile(file, VcardUtf16FileLimit);
        unicodeText = Utf16FileText(bytes, fileForm == VcardFileForm::Utf16Be);
        StartMemoryLineReader(reader, unicodeText);
    } else {
        std::fseek(file, static_cast<long>(markLength), SEEK_SET);
        StartLineReader(reader, file);
    }
    bool unicodeFile = utf16 || fileForm == VcardFileForm::Utf8Marked;
    // The cards being read, the innermost last: a card inside a card is
    // read as a card of its own; cards nested deeper are skipped.
    std::vector<VcardCard> cards;
    VcardDecodeRoom room;
    int skippedDepth = 0;
    std::string line;
    bool dropFoldSpace = false;
    while (ReadLogicalLine(reader, line, dropFoldSpace, VcardLineLimit)) {
        if (IsWholeLine(line, VcardBegin)) {
            if (cards.empty() && progress && !progress(started, std::max(total, started + 1))) {
                result.cancelled = true;
                break;
            }
            if (cards.empty()) ++started;
            if (cards.size() < VcardMaxNesting) {
                cards.push_back(PreviewedCard(reader, unicodeFile));
                cards.back().room = &room;
            } else {
                ++skippedDepth;
            }
        } else if (cards.empty()) {
            continue;
        } else if (IsWholeLine(line, VcardEnd)) {
            if (skippedDepth > 0) {
                --skippedDepth;
            } else {
                AddCardToBook(cards.back(), book, made, result);
                cards.pop_back();
            }
        } else if (skippedDepth == 0) {
            ParseVcardLine(line, cards.back());
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
