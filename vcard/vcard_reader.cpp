#include "vcard/vcard_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "store/fixed_text.h"
#include "vcard/text_encodings.h"
#include "vcard/text_operations.h"
#include "vcard/vcard_format.h"

namespace {

// How a property's value is cut into components.
enum ValueSplit {
    WholeValue,    // one component: everything
    FirstAndRest,  // up to the first ";", then the whole rest
    AddressParts,  // seven components at ";", the seventh the whole rest
    BirthdayParts, // year, month and day at "-"
};

const int MaxComponents = 7;
// A component that is read but not stored (post-office box, extended address).
const ContactField DroppedComponent = ContactFieldCount;

// Where the components of a recognised line go.
struct LineTarget {
    ValueSplit split;
    ContactField fields[MaxComponents];
};

// For TEL and ADR the target depends on the types in the property part;
// false when the line is to be ignored (a TEL line without a known type).
using TargetRule = bool (*)(const char* property, LineTarget& target);

struct PropertyRule {
    const char* name;
    LineTarget target;        // where the components go...
    TargetRule chooseTarget;  // ...unless the types choose it
};

bool TelephoneTarget(const char* property, LineTarget& target) {
    ContactField field;
    if (ContainsToken(property, "CELL")) {
        field = Mobile;
    } else if (ContainsToken(property, "FAX")) {
        field = ContainsToken(property, "HOME") ? HomeFax : WorkFax;
    } else if (ContainsToken(property, "WORK")) {
        field = WorkPhone;
    } else if (ContainsToken(property, "HOME")) {
        field = HomePhone;
    } else {
        return false;
    }
    target = {WholeValue, {field}};
    return true;
}

// Any address without HOME (work, postal, parcel, untyped) is the work address.
bool AddressTarget(const char* property, LineTarget& target) {
    const AddressFields& address = ContainsToken(property, "HOME") ? HomeAddress : WorkAddress;
    target = {AddressParts, {DroppedComponent, DroppedComponent}};
    for (int i = 0; i < AddressFieldCount; ++i) target.fields[2 + i] = address.fields[i];
    return true;
}

// The ten properties the reader knows, matched case-sensitively as a whole
// word: the name must be followed by the end of the property part or ";".
const PropertyRule PropertyRules[] = {
    {"N", {FirstAndRest, {Surname, GivenName}}, nullptr},
    {"NICKNAME", {WholeValue, {Nickname}}, nullptr},
    {"ORG", {FirstAndRest, {Company, Department}}, nullptr},
    {"TITLE", {WholeValue, {JobTitle}}, nullptr},
    {"TEL", {}, TelephoneTarget},
    {"ADR", {}, AddressTarget},
    {"X-WAB-GENDER", {WholeValue, {Gender}}, nullptr},
    {"X-QQ", {WholeValue, {QQNumber}}, nullptr},
    {"EMAIL", {WholeValue, {Email}}, nullptr},
    {"BDAY", {BirthdayParts, {BirthYear, BirthMonth, BirthDay}}, nullptr},
};

const PropertyRule* FindProperty(const char* property) {
    for (const PropertyRule& rule : PropertyRules) {
        const char* behind;
        if (MatchPrefix(property, rule.name, &behind) && (*behind == '\0' || *behind == ';')) return &rule;
    }
    return nullptr;
}

int ComponentCount(ValueSplit split) {
    switch (split) {
    case FirstAndRest: return 2;
    case AddressParts: return 7;
    case BirthdayParts: return 3;
    case WholeValue: break;
    }
    return 1;
}

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Year up to the first "-", month up to the second; the day is the one or
// two digits behind the second "-" (a time such as T08:00:00 may follow).
// A birthday with a year or a month but no day gets the day 1; "--", as
// the export writes an empty birthday, stays empty.
void SplitBirthday(const char* value, VcardText (&parts)[MaxComponents]) {
    const char* p = value;
    bool yearEnded = TakeComponent(p, parts[0], &p, '-', VcardTextCapacity) == 0;
    bool monthEnded = yearEnded && TakeComponent(p, parts[1], &p, '-', VcardTextCapacity) == 0;
    if (!yearEnded) parts[1][0] = '\0';
    int day = 0;
    if (monthEnded) {
        while (day < 2 && IsAsciiDigit(p[day])) {
            parts[2][day] = p[day];
            ++day;
        }
    }
    parts[2][day] = '\0';
    if (day == 0 && (parts[0][0] != '\0' || parts[1][0] != '\0')) CopyToField(parts[2], VcardTextCapacity, "1");
}

void SplitValue(const char* value, ValueSplit split, VcardText (&parts)[MaxComponents]) {
    const char* p = value;
    switch (split) {
    case WholeValue:
        TakeComponent(p, parts[0], nullptr, '\0', VcardTextCapacity);
        break;
    case FirstAndRest:
        TakeComponent(p, parts[0], &p, ';', VcardTextCapacity);
        TakeComponent(p, parts[1], &p, '\0', VcardTextCapacity);
        break;
    case AddressParts:
        for (int i = 0; i < MaxComponents - 1; ++i) TakeComponent(p, parts[i], &p, ';', VcardTextCapacity);
        TakeComponent(p, parts[MaxComponents - 1], &p, '\0', VcardTextCapacity);
        break;
    case BirthdayParts:
        SplitBirthday(value, parts);
        break;
    }
}

void StoreComponent(ContactRecord& card, ContactField field, const char* text) {
    if (field == DroppedComponent) return;
    if (field == Gender) {
        // "1" is female; "2", or anything else, male.
        card.Gender = text[0] == '1' ? 1 : 0;
        return;
    }
    const ContactFieldInfo& info = FieldInfo(field);
    CopyToField(FieldText(card, field), static_cast<size_t>(info.width), text);
}

// The file's bytes in blocks: a byte at a time through getc would lock
// the stream for every byte, which was most of the reading time.
struct ByteReader {
    FILE* file;
    unsigned char block[4096];
    size_t next;
    size_t end;
};

// False at the end of the file.
bool HaveBytes(ByteReader& reader) {
    if (reader.next < reader.end) return true;
    reader.next = 0;
    reader.end = std::fread(reader.block, 1, sizeof reader.block, reader.file);
    return reader.end > 0;
}

// Reads one line of at most VcardLineLength bytes, its line end included
// as one line feed (a carriage return takes the line feed right behind it
// along). False at the end of the file when nothing was read.
bool ReadLine(ByteReader& reader, char (&line)[VcardLineLength + 1]) {
    int n = 0;
    while (n < VcardLineLength && HaveBytes(reader)) {
        // The run of bytes up to a line end, or as far as room and block go.
        size_t room = static_cast<size_t>(VcardLineLength - n);
        size_t available = reader.end - reader.next;
        const unsigned char* bytes = reader.block + reader.next;
        size_t run = std::min(room, available);
        for (int lineEnd : {'\r', '\n'}) {
            const void* found = std::memchr(bytes, lineEnd, run);
            if (found) run = static_cast<size_t>(static_cast<const unsigned char*>(found) - bytes);
        }
        std::memcpy(line + n, bytes, run);
        n += static_cast<int>(run);
        reader.next += run;
        if (run == room || run == available) continue;

        unsigned char end = bytes[run];
        ++reader.next;
        if (end == '\r' && HaveBytes(reader) && reader.block[reader.next] == '\n') ++reader.next;
        line[n++] = '\n';
        break;
    }
    line[n] = '\0';
    return n > 0;
}

void FinishCard(const ContactRecord& card, ContactStore& store, VcardImportResult& result) {
    if (card.Surname[0] == '\0' && card.GivenName[0] == '\0') return;
    if (!HasRoomFor(store, 1)) {
        ++result.notImported;
        return;
    }
    AppendRecord(store, card);
    ++result.imported;
}

}  // namespace

void AddImportResult(VcardImportResult& total, const VcardImportResult& part) {
    total.filesRead += part.filesRead;
    total.filesUnreadable += part.filesUnreadable;
    total.imported += part.imported;
    total.notImported += part.notImported;
}

int ParseVcardLine(const char* line, ContactRecord& card) {
    // The property part is the text before the first ":", the value all
    // after it; each is cut to 255 bytes.
    VcardText property;
    VcardText value;
    const char* colon = std::strchr(line, ':');
    if (colon) {
        CopyToField(property, VcardTextCapacity, line, static_cast<size_t>(colon - line));
        CopyToField(value, VcardTextCapacity, colon + 1);
    } else {
        CopyToField(property, VcardTextCapacity, line);
        value[0] = '\0';
    }
    if (value[0] == '\0') return 0;

    const PropertyRule* rule = FindProperty(property);
    if (!rule) return 0;
    LineTarget target = rule->target;
    if (rule->chooseTarget && !rule->chooseTarget(property, target)) return 0;

    // Split before decoding, so that an escaped ";" never splits.
    VcardText parts[MaxComponents];
    SplitValue(value, target.split, parts);
    VcardEncoding encoding = VcardEncodingOfProperty(property);
    int count = ComponentCount(target.split);
    for (int i = 0; i < count; ++i) {
        if (parts[i][0] != '\0') DecodeVcardValue(parts[i], encoding);
        StoreComponent(card, target.fields[i], parts[i]);
    }
    return 1;
}

VcardImportResult ReadVcardFile(const PathString& path, ContactStore& store) {
    VcardImportResult result;
    FILE* file = OpenFile(path, "rb");
    if (!file) {
        result.filesUnreadable = 1;
        return result;
    }
    ByteReader reader{file, {}, 0, 0};
    char line[VcardLineLength + 1];
    ContactRecord card = EmptyRecord();
    bool inCard = false;
    while (ReadLine(reader, line)) {
        TrimSpaces(line);
        if (!inCard) {
            if (ContainsToken(line, VcardBegin)) {
                card = EmptyRecord();
                inCard = true;
            }
        } else if (ContainsToken(line, VcardEnd)) {
            FinishCard(card, store, result);
            inCard = false;
        } else {
            // A second BEGIN:VCARD inside a card is ignored like any
            // line the reader does not know.
            ParseVcardLine(line, card);
        }
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
