#include "store/imported_contact.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

// The Chinese surnames of two characters.
const char16_t* const CompoundSurnames[] = {
    u"欧阳", u"司马", u"上官", u"诸葛", u"东方", u"皇甫", u"尉迟", u"公孙", u"慕容", u"长孙",
    u"宇文", u"司徒", u"夏侯", u"轩辕", u"令狐", u"端木", u"独孤", u"南宫", u"西门", u"百里",
    u"呼延", u"万俟", u"闻人", u"澹台", u"公冶", u"太史", u"申屠", u"钟离", u"赫连", u"拓跋",
};

// The fields that name a contact without a person's name, in the order
// phones try them.
const ContactField NamingFields[] = {Company, Nickname, Email, Mobile, HomePhone, WorkPhone};

// Text up to its first NUL, which no field could hold.
std::string Terminated(const std::string& text) { return text.substr(0, std::strlen(text.c_str())); }

size_t FieldRoom(ContactField field) { return static_cast<size_t>(FieldInfo(field).width - 1); }

bool Fits(const std::string& text, ContactField field) { return text.size() <= FieldRoom(field); }

bool StartsWithCompoundSurname(const std::string& name) {
    static const std::vector<std::string> compounds = [] {
        std::vector<std::string> gbk;
        for (const char16_t* compound : CompoundSurnames) gbk.push_back(GbkText(compound));
        return gbk;
    }();
    for (const std::string& compound : compounds) {
        if (name.compare(0, compound.size(), compound) == 0) return true;
    }
    return false;
}

size_t SurnameLength(const std::string& name) {
    size_t first = GbkCharacterLength(name.data(), name.size());
    if (first == 1 || name.size() <= first) return name.size();
    size_t second = GbkCharacterLength(name.data() + first, name.size() - first);
    return second > 1 && name.size() > first + second && StartsWithCompoundSurname(name) ? first + second : first;
}

// The list shows surname and given name run together, so a text that is
// no person's name, or one too long to split, fills the surname and runs
// on into the given name.
void PutWhole(ContactRecord& record, const std::string& text) {
    size_t surname = FitGbkLength(text.data(), text.size(), FieldRoom(Surname));
    SetField(record, Surname, text.substr(0, surname));
    SetField(record, GivenName, text.substr(surname));
}

void PutPersonName(ContactRecord& record, const std::string& name) {
    std::string surname, givenName;
    SplitPersonName(name, surname, givenName);
    if (surname.empty() || !Fits(surname, Surname) || !Fits(givenName, GivenName)) {
        PutWhole(record, name);
        return;
    }
    SetField(record, Surname, surname);
    SetField(record, GivenName, givenName);
}

// Two field texts of `width` bytes, each stopped at its terminator.
inline bool SameText(const char* a, const char* b, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        if (a[i] != b[i]) return false;
        if (a[i] == '\0') return true;
    }
    return true;
}

// A part of a birthday as a number is written: "05" is the month 5 that
// the editor stores and the export writes as "05" where vCard wants two digits.
std::string WithoutLeadingZeros(const char* text, size_t width) {
    std::string part = FieldString(text, width);
    size_t zeros = 0;
    while (zeros + 1 < part.size() && part[zeros] == '0' && part[zeros + 1] >= '0' && part[zeros + 1] <= '9') ++zeros;
    return part.substr(zeros);
}

bool IsBirthdayPart(ContactField field) { return field == BirthYear || field == BirthMonth || field == BirthDay; }

bool SameContact(const ContactRecord& a, const ContactRecord& b, bool compareGroup) {
    if (a.Gender != b.Gender || (compareGroup && a.GroupIndex != b.GroupIndex)) return false;
    for (int field = 0; field < ContactFieldCount; ++field) {
        const ContactFieldInfo& info = FieldInfo(field);
        if (!info.isText) continue;
        const char* left = FieldText(a, info.field);
        const char* right = FieldText(b, info.field);
        size_t width = static_cast<size_t>(info.width);
        if (SameText(left, right, width)) continue;
        if (!IsBirthdayPart(info.field) || WithoutLeadingZeros(left, width) != WithoutLeadingZeros(right, width)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SplitPersonName(const std::string& name, std::string& surname, std::string& givenName) {
    std::string text = TrimSpacesAndTabs(name);
    size_t space = text.find_last_of(" \t");
    if (space != std::string::npos && !WrittenSurnameFirst(text)) {
        surname = text.substr(space + 1);
        givenName = TrimSpacesAndTabs(text.substr(0, space));
        return;
    }
    // "山田 太郎" and "老王 装修" are split after the surname too: the
    // spaces are the given name's, all but those at the split.
    size_t length = SurnameLength(text);
    surname = text.substr(0, length);
    givenName = TrimSpacesAndTabs(text.substr(length));
}

bool WrittenSurnameFirst(const std::string& name) {
    std::u16string text = GbkToUtf16(name);
    for (char16_t c : text) {
        bool kana = c >= 0x3040 && c <= 0x30FF;
        bool ideograph = (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
                         c == 0x3007;
        bool supplementaryIdeograph = c >= 0xD840 && c <= 0xD87F;  // the high half of U+20000 to U+3FFFF
        if (kana || ideograph || supplementaryIdeograph) return true;
    }
    return false;
}

bool IsDoubleByteText(const std::string& text) {
    if (text.empty()) return false;
    for (size_t i = 0; i < text.size();) {
        size_t length = GbkCharacterLength(text.data() + i, text.size() - i);
        if (length == 1) return false;
        i += length;
    }
    return true;
}

bool NameImportedContact(ContactRecord& record, const std::string& displayName) {
    if (record.Surname[0] != '\0') return true;
    std::string givenName = TrimSpacesAndTabs(FieldValue(record, GivenName));
    std::string person = !givenName.empty() ? givenName : TrimSpacesAndTabs(Terminated(displayName));
    if (!person.empty()) {
        // A display name that is the company's name is no person's name.
        std::string company = FieldValue(record, Company);
        size_t held = FitGbkLength(person.data(), person.size(), FieldRoom(Company));
        if (!company.empty() && person.compare(0, held, company) == 0 && held == company.size()) {
            PutWhole(record, person);
        } else {
            PutPersonName(record, person);
        }
        return true;
    }
    for (ContactField field : NamingFields) {
        std::string text = TrimSpacesAndTabs(FieldValue(record, field));
        if (text.empty()) continue;
        PutWhole(record, text);
        return true;
    }
    return false;
}

static const std::vector<ContactItem>& HeldItems(const ContactStore& store, const ContactRecord* held) {
    static const std::vector<ContactItem> none;
    const ContactDetails* details = FindDetails(store, held);
    return details ? details->items : none;
}

bool HoldsSameContact(const ContactStore& store, const ContactRecord& record, bool compareGroup,
                      const std::vector<ContactItem>* items) {
    for (const auto& held : store.records) {
        // The names settle nearly every comparison at once.
        if (!SameText(held->Surname, record.Surname, sizeof record.Surname) ||
            !SameText(held->GivenName, record.GivenName, sizeof record.GivenName)) {
            continue;
        }
        if (SameContact(*held, record, compareGroup) &&
            (!items || SameItems(HeldItems(store, held.get()), *items))) {
            return true;
        }
    }
    return false;
}

namespace {

// A hash of every text SameContact compares byte for byte (the birthday's
// parts, compared as numbers, and the group stay out), so that contacts
// that share a name, even thousands of them, still fall apart.
// FNV-1a over eight bytes at a time, the tail byte by byte: an import
// hashes every contact once or twice, and a byte at a time took a fifth of
// a CSV import.
uint64_t HashText(uint64_t hash, const char* text, size_t length) {
    const uint64_t prime = 1099511628211ull;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        hash = (hash ^ word) * prime;
        hash ^= hash >> 29;  // lets the high bytes of the word reach the low bits
    }
    for (; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(text[i])) * prime;
    return (hash ^ 0xFFu) * prime;  // ends the field
}

size_t ContactKey(const ContactRecord& record) {
    uint64_t hash = 14695981039346656037ull;
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (!info.isText || IsBirthdayPart(info.field)) continue;
        const char* text = FieldText(record, info.field);
        // Up to the terminator: what follows it in a field read from a file is no text.
        hash = HashText(hash, text, strnlen(text, static_cast<size_t>(info.width)));
    }
    return static_cast<size_t>(hash);
}

bool HoldsIndexedContact(const ContactStore& store, const ImportGroups& made, const ContactRecord& record,
                         bool compareGroup, const std::vector<ContactItem>* items) {
    auto range = made.byContent.equal_range(ContactKey(record));
    for (auto it = range.first; it != range.second; ++it) {
        if (SameContact(*it->second, record, compareGroup) && (!items || SameItems(HeldItems(store, it->second), *items))) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool HoldsImportedContact(const ContactStore& store, ImportGroups& made, const ContactRecord& named,
                          const ContactRecord& asWritten, bool sourceNamesGroup, const std::vector<ContactItem>* items) {
    if (made.indexed > RecordCount(store)) {
        made.byContent.clear();
        made.indexed = 0;
    }
    for (; made.indexed < RecordCount(store); ++made.indexed) {
        const ContactRecord* record = store.records[made.indexed].get();
        made.byContent.emplace(ContactKey(*record), record);
    }
    if (HoldsIndexedContact(store, made, named, sourceNamesGroup, items)) return true;
    bool renamed = !SameText(named.Surname, asWritten.Surname, sizeof named.Surname) ||
                   !SameText(named.GivenName, asWritten.GivenName, sizeof named.GivenName);
    if (!renamed) return false;
    ContactRecord written = asWritten;
    written.GroupIndex = named.GroupIndex;
    return HoldsIndexedContact(store, made, written, sourceNamesGroup, items);
}

int GroupForCategory(GroupList& groups, const std::string& category, ImportGroups& made) {
    std::string name = TrimSpacesAndTabs(Terminated(category));
    if (name.empty()) return 0;
    name.resize(FitGbkLength(name.data(), name.size(), GroupNameWidth - 1));
    // Categories come trimmed, so a group is found by its trimmed name.
    for (int i = 0; i < GroupCount(groups); ++i) {
        if (TrimSpacesAndTabs(GroupName(groups, i)) == name) return i;
    }
    if (made.created >= MaxGroupsPerImport) return 0;
    AppendGroup(groups, name);
    ++made.created;
    return GroupCount(groups) - 1;
}
