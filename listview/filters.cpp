#include "listview/filters.h"

#include "listview/columns.h"

int MatchText(const char* pattern, const char* text) {
    if (pattern[0] == '\0') return 1;
    size_t j = 0;
    size_t i = 0;
    while (text[i] != '\0') {
        if (pattern[j] == '\0') return 1;
        if (pattern[j] == text[i]) {
            ++j;
            ++i;
        } else if (j == 0) {
            ++i;
        } else {
            j = 0;  // compare the same text byte with the pattern's first byte
        }
    }
    return pattern[j] == '\0' ? 1 : 0;
}

namespace {

bool Matches(const std::string& pattern, const std::string& text) { return MatchText(pattern.c_str(), text.c_str()) == 1; }

bool MatchesAnyText(const ContactRecord& record, const std::string& pattern) {
    if (Matches(pattern, NameText(record))) return true;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (Matches(pattern, ColumnText(record, flag))) return true;
    }
    return false;
}

}  // namespace

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
