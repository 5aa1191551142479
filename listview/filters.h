// The quick search and the two filters, as plain logic: the user
// interface reads its three controls into a FilterState, and RefreshList
// asks PassesFilters about every record.
#pragma once

#include <cstdint>
#include <string>

#include "store/contact_record.h"
#include "store/settings_file.h"

struct FilterState {
    int groupChoice;  // GroupFilter: 0 every group, k >= 1 group k - 1 only
    int fieldChoice;  // FieldFilter: 0 (or -1, none) every text, 1 the name, k >= 2 the (k-2)-th shown column
    std::string pattern;                    // GBK; empty matches everything
    int32_t columnFlags[ColumnFlagCount];   // which optional columns are shown
};

// 1 when the pattern occurs in the text, byte by byte. After a partial
// match fails, the scan goes on from the byte that failed rather than
// backing up, so "aab" is not found in "aaab"; the quick search has
// always matched this way.
int MatchText(const char* pattern, const char* text);

// 1 when the record belongs in the list under these filters.
int PassesFilters(const ContactRecord& record, const FilterState& filters);
