// The contact list's columns: the name column, always first, then one
// optional column per column flag that is set. The field filter and the
// settings dialog walk the same table, in the same order.
#pragma once

#include <cstdint>
#include <string>

#include "store/contact_details.h"
#include "store/contact_record.h"
#include "store/settings_file.h"

// How a column's text is made from its fields.
enum class CellFormat {
    RunTogether,  // the fields' texts one after the other, no separator
    GenderWord,   // GenderWord(IsShownFemale(Gender))
    Birthday,     // year, month and day as stored, each that holds text followed by its unit
};

struct ColumnInfo {
    ColumnFlag flag;
    const char16_t* header;
    int width;  // pixels at 96 DPI, scaled to the display when shown
    CellFormat format;
    ContactField fields[4];
    int fieldCount;
};

extern const char16_t NameColumnHeader[];  // "姓名"
const int NameColumnWidth = 80;  // pixels at 96 DPI

// The row of the table for one flag.
const ColumnInfo& ColumnInfoOf(int flag);

// A flag counts as set only when it is exactly 1.
inline bool IsColumnShown(const int32_t flags[ColumnFlagCount], int flag) { return flags[flag] == 1; }

// The flag of the n-th shown optional column (counting from 0), or -1 when
// fewer columns are shown.
int NthShownColumn(const int32_t flags[ColumnFlagCount], int n);

// The name cell: Surname followed directly by GivenName. With the
// contact's details, a field held cut shows its whole form.
std::string NameText(const ContactRecord& record, const ContactDetails* details = nullptr);

// The cell of an optional column, built whether or not it is shown; the
// quick search looks in the same texts.
std::string ColumnText(const ContactRecord& record, int flag, const ContactDetails* details = nullptr);

// The same two texts appended to `out`: the quick search builds every cell
// of every contact on each keystroke and reuses one buffer for them.
void AppendNameText(const ContactRecord& record, std::string& out, const ContactDetails* details = nullptr);
void AppendColumnText(const ContactRecord& record, int flag, std::string& out,
                      const ContactDetails* details = nullptr);
