// Any bytes as a quick search. The first seven bytes choose the group and
// field filters, the shown columns, the contact's group, how its fields
// are filled and the pattern's length; then come the pattern and the text,
// each up to a NUL, each in a buffer of its exact size. MatchText agrees
// with a plain search for the pattern at character boundaries; the pinyin
// match agrees with a plain recursive reading of the text, and the number
// match with the digits compared by hand. PassesFilters answers 1 or 0,
// keeps the group rule, and a contact found in one field is also found
// when every field is searched.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "listview/filters.h"
#include "platform/gbk.h"
#include "store/pinyin.h"
#include <vector>

namespace {

std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

bool IsDigitByte(char c) { return c >= '0' && c <= '9'; }

// Where characters start, walking the text as GB 18030: a lead and a
// trail byte, or lead, digit, lead, digit.
std::vector<bool> CharacterStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (size_t i = 0; i < text.size();) {
        starts[i] = true;
        bool pair = IsGbkLead(text[i]) && i + 1 < text.size() && IsGbkTrail(text[i + 1]);
        bool four = !pair && IsGbkLead(text[i]) && i + 3 < text.size() && IsDigitByte(text[i + 1]) &&
                    IsGbkLead(text[i + 2]) && IsDigitByte(text[i + 3]);
        i += pair ? 2 : four ? 4 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

void CheckMatchText(const std::string& pattern, const std::string& text) {
    auto p = ExactCopy(pattern);
    auto t = ExactCopy(text);
    int found = MatchText(p.get(), t.get());
    Require(found == 0 || found == 1, "MatchText answered neither 0 nor 1");
    std::vector<bool> starts = CharacterStarts(text);
    int expected = pattern.empty() ? 1 : 0;
    for (size_t at = text.find(pattern); !pattern.empty() && at != std::string::npos; at = text.find(pattern, at + 1)) {
        if (starts[at] && starts[at + pattern.size()]) expected = 1;
    }
    Require(found == expected, "MatchText disagrees with a search at character boundaries");
}

// The digits that stand as characters: not those inside a four-byte code.
std::string DigitsOf(const std::string& text) {
    std::vector<bool> starts = CharacterStarts(text);
    std::string digits;
    for (size_t i = 0; i < text.size(); ++i) {
        if (starts[i] && starts[i + 1] && IsDigitByte(text[i])) digits += text[i];
    }
    return digits;
}

bool HoldsFourByteCharacter(const std::string& text) {
    std::vector<bool> starts = CharacterStarts(text);
    for (size_t i = 0; i + 4 <= text.size(); ++i) {
        if (starts[i] && !starts[i + 1] && !starts[i + 2] && !starts[i + 3]) return true;
    }
    return false;
}

// The readings of the character at `at` (two bytes), the surname's first.
std::vector<std::string> ReadingsAt(const std::string& text, size_t at, int character, bool isName) {
    std::vector<std::string> out;
    uint16_t surname[2];
    if (isName && character < SurnameReadingAt(text.data(), text.size(), surname)) {
        out.push_back(SyllableText(surname[character]));
    }
    CharacterReadings readings = ReadingsOf(static_cast<unsigned char>(text[at]), static_cast<unsigned char>(text[at + 1]));
    for (const uint16_t* r = readings.first; r != readings.last; ++r) out.push_back(SyllableText(*r));
    return out;
}

// Does letters[from..] spell the text from the character at `at` on?
// `failed` remembers the (from, at) pairs already known to spell nothing.
bool SpellsFrom(const std::string& letters, size_t from, const std::string& text, size_t at, int character,
                bool isName, std::vector<bool>& failed) {
    if (from == letters.size()) return true;
    size_t memo = from * (text.size() + 1) + at;
    if (failed[memo]) return false;
    failed[memo] = true;
    while (at < text.size() && text[at] == ' ') ++at, ++character;  // spaces read on
    bool pair = at + 1 < text.size() && IsGbkLead(text[at]) && IsGbkTrail(text[at + 1]);
    if (!pair) return false;
    for (const std::string& reading : ReadingsAt(text, at, character, isName)) {
        for (size_t k = 0; k < reading.size() && from + k < letters.size(); ++k) {
            char typed = letters[from + k];
            if (typed != reading[k] && !(reading[k] == 'v' && typed == 'u')) break;
            if (SpellsFrom(letters, from + k + 1, text, at + 2, character + 1, isName, failed)) return true;
        }
    }
    return false;
}

void CheckSpoken(const std::string& pattern, const std::string& text, bool isName) {
    SearchQuery query = PrepareSearch(pattern);
    int found = MatchSpoken(query, text.data(), text.size(), isName);
    Require(found == 0 || found == 1, "MatchSpoken answered neither 0 nor 1");
    // The reference is slow on long texts, and reads two-byte characters only.
    if (query.letters.empty() || text.size() > 40 || HoldsFourByteCharacter(text)) return;
    std::vector<bool> starts = CharacterStarts(text);
    bool expected = false;
    std::vector<bool> failed((query.letters.size() + 1) * (text.size() + 1), false);
    int character = 0;
    for (size_t at = 0; at < text.size() && !expected; ++character) {
        if (text[at] != ' ') expected = SpellsFrom(query.letters, 0, text, at, character, isName, failed);
        do ++at; while (!starts[at]);
    }
    Require(found == (expected ? 1 : 0), "MatchSpoken disagrees with a plain reading of the text");
}

void CheckPhone(const std::string& pattern, const std::string& text) {
    SearchQuery query = PrepareSearch(pattern);
    int found = MatchPhone(query, text.data(), text.size());
    Require(found == 0 || found == 1, "MatchPhone answered neither 0 nor 1");
    if (query.digits.empty()) Require(found == 0, "MatchPhone matched a search that is no number");
    if (found == 1) {
        // Whatever it found, the digits that remain of the search stand among the text's.
        Require(DigitsOf(text).find(query.digitsWithoutCountry) != std::string::npos,
                "MatchPhone found digits that the text does not hold");
    } else if (!query.digits.empty()) {
        Require(DigitsOf(text).find(query.digits) == std::string::npos, "MatchPhone missed the digits of the search");
    }
}

// Each text field gets a piece of the text, or, when `raw`, the text's
// bytes over its whole width with no terminator at all.
ContactRecord ContactFrom(const std::string& text, bool raw, int32_t group) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (!info.isText) continue;
        std::string piece = text.substr(std::min(text.size(), static_cast<size_t>(f) * 3));
        if (raw && !piece.empty()) {
            char* field = FieldText(record, info.field);
            for (int i = 0; i < info.width; ++i) field[i] = piece[i % piece.size()];
        } else {
            SetField(record, info.field, piece);
        }
    }
    record.Gender = static_cast<int32_t>(text.size() % 3);
    record.GroupIndex = group;
    return record;
}

void CheckPassesFilters(const ContactRecord& record, FilterState filters) {
    int passes = PassesFilters(record, filters);
    Require(passes == 0 || passes == 1, "PassesFilters answered neither 0 nor 1");
    bool inGroup = filters.groupChoice <= 0 || filters.groupChoice - 1 == record.GroupIndex;
    if (!inGroup) Require(passes == 0, "a contact outside the chosen group passed");
    if (inGroup && filters.pattern.empty()) Require(passes == 1, "an empty search hid a contact of the group");
    if (passes == 1) {
        filters.fieldChoice = 0;
        Require(PassesFilters(record, filters) == 1, "a contact found in one field was lost among all fields");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    FilterState filters = {};
    filters.groupChoice = input.TakeByte() % 8 - 1;
    filters.fieldChoice = input.TakeByte() % 22 - 1;
    uint32_t shown = input.TakeByte() | input.TakeByte() << 8 | input.TakeByte() << 16;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        // Only exactly 1 shows a column; 2 must not.
        filters.columnFlags[flag] = (shown >> flag & 1) ? 1 : (flag % 3 == 0 ? 2 : 0);
    }
    uint8_t contact = input.TakeByte();
    size_t patternLength = input.TakeByte();
    std::string rest = input.Rest();
    std::string pattern = rest.substr(0, std::min(patternLength, rest.size()));
    std::string text = rest.substr(pattern.size());
    pattern = pattern.substr(0, pattern.find('\0'));
    text = text.substr(0, text.find('\0'));

    CheckMatchText(pattern, text);
    CheckSpoken(pattern, text, contact & 2);
    CheckPhone(pattern, text);
    filters.pattern = pattern;
    CheckPassesFilters(ContactFrom(text, contact & 1, contact / 2 % 8 - 1), filters);
    return 0;
}
