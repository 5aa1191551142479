// Any bytes as a quick search. The first seven bytes choose the group and
// field filters, the shown columns, the contact's group, how its fields
// are filled and the pattern's length; then come the pattern and the text,
// each up to a NUL, each in a buffer of its exact size. MatchText answers
// 1 or 0, never finds what is not there, always finds a pattern the text
// begins with, and misses nothing when the pattern's first byte does not
// come again in it (its restart at the failing byte then loses nothing).
// PassesFilters answers 1 or 0, keeps the group rule, and a contact found
// in one field is also found when every field is searched.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "listview/filters.h"

namespace {

std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

void CheckMatchText(const std::string& pattern, const std::string& text) {
    auto p = ExactCopy(pattern);
    auto t = ExactCopy(text);
    int found = MatchText(p.get(), t.get());
    Require(found == 0 || found == 1, "MatchText answered neither 0 nor 1");
    bool occurs = text.find(pattern) != std::string::npos;
    if (found == 1) Require(occurs, "MatchText found a pattern that is not in the text");
    if (text.compare(0, pattern.size(), pattern) == 0) Require(found == 1, "MatchText missed the start of the text");
    if (pattern.empty() || pattern.find(pattern[0], 1) == std::string::npos) {
        Require(found == (occurs ? 1 : 0), "MatchText missed a pattern whose first byte is unique");
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
    filters.pattern = pattern;
    CheckPassesFilters(ContactFrom(text, contact & 1, contact / 2 % 8 - 1), filters);
    return 0;
}
