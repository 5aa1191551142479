#include "listview/filters.h"

#include <cstring>

#include "listview/columns.h"

namespace {

// MatchText over a text of known length. While nothing of the pattern is
// matched, memchr finds the next byte that could start a match.
int MatchBytes(const char* pattern, const char* text, size_t length) {
    if (pattern[0] == '\0') return 1;
    size_t j = 0;
    size_t i = 0;
    while (i < length) {
        if (pattern[j] == '\0') return 1;
        if (j == 0) {
            const void* first = std::memchr(text + i, pattern[0], length - i);
            if (!first) return 0;
            i = static_cast<size_t>(static_cast<const char*>(first) - text) + 1;
            j = 1;
        } else if (pattern[j] == text[i]) {
            ++j;
            ++i;
        } else {
            j = 0;  // compare the same text byte with the pattern's first byte
        }
    }
    return pattern[j] == '\0' ? 1 : 0;
}

bool Matches(const std::string& pattern, const std::string& text) {
    return MatchBytes(pattern.c_str(), text.data(), text.size()) == 1;
}

bool MatchesAnyText(const ContactRecord& record, const std::string& pattern) {
    std::string text;
    text.reserve(256);
    AppendNameText(record, text);
    if (Matches(pattern, text)) return true;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        // A column of one field is searched where it lies, without a copy.
        const ColumnInfo& column = ColumnInfoOf(flag);
        if (column.format == CellFormat::RunTogether && column.fieldCount == 1) {
            ContactField field = column.fields[0];
            const char* fieldText = FieldText(record, field);
            size_t length = strnlen(fieldText, static_cast<size_t>(FieldInfo(field).width));
            if (MatchBytes(pattern.c_str(), fieldText, length) == 1) return true;
            continue;
        }
        text.clear();
        AppendColumnText(record, flag, text);
        if (Matches(pattern, text)) return true;
    }
    return false;
}

}  // namespace

int MatchText(const char* pattern, const char* text) { return MatchBytes(pattern, text, std::strlen(text)); }

int PassesFilters(const ContactRecord& record, const FilterState& filters) {
    // A group comes first: a record outside the chosen group is never searched.
    if (filters.groupChoice > 0 && filters.groupChoice - 1 != record.GroupIndex) return 0;
    if (filters.pattern.empty()) return 1;

    if (filters.fieldChoice <= 0) return MatchesAnyText(record, filters.pattern) ? 1 : 0;
    if (filters.fieldChoice == 1) return Matches(filters.pattern, NameText(record)) ? 1 : 0;
    int flag = NthShownColumn(filters.columnFlags, filters.fieldChoice - 2);
    if (flag < 0) return 0;
    return Matches(filters.pattern, ColumnText(record, flag)) ? 1 : 0;
}
