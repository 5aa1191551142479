// The CSV dialect Corvelle reads and writes: comma-separated GBK text, a
// header of column titles, one contact per line, a cell quoted as
// spreadsheets quote it when it holds a comma, a double quote, a line
// break or a space at either end. The reader also takes UTF-8 files.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "store/contact_record.h"

// The header's titles, indexed by ContactField. The writer puts them in
// its header and the reader matches them byte for byte, so a file the
// program wrote imports again without a question.
const std::array<std::string, ContactFieldCount>& CsvFieldTitles();
// One title; empty for an index outside 0 to 26.
std::string CsvFieldTitle(int index);

// A header keeps its first 1024 titles; later columns are ignored in every
// line. Outlook writes 92 columns, Google one group of columns per phone,
// e-mail, address and custom field a contact has.
const int CsvMaxColumns = 1024;
// A title keeps at most this many bytes, cut at a whole character: as
// many as the widest field, the e-mail address, holds. A field cuts a
// cell to its own width.
const size_t CsvCellBytes = sizeof(ContactRecord::Email) - 1;
// A cell keeps at most this many bytes, cut at a whole character, so that a
// long note, address or company arrives whole in an item or a whole form;
// a longer cell (a damaged or hostile file) is cut and the import says so.
const size_t CsvCellLimit = 64 * 1024;
// The bytes of one line the reader keeps, the line breaks of its quoted
// cells included. A longer line keeps its start and loses its tail; it is
// never taken as two lines. Room for every column at its widest.
const size_t CsvLineLimit = 1024 * 1024;

// A cell as written: the text itself, or, when it holds a comma, a double
// quote, CR or LF or begins or ends with a space, the text between double
// quotes with each of its double quotes doubled. None of these bytes occurs
// inside a GBK double-byte character, so the text is scanned byte by byte.
std::string CsvQuotedCell(const std::string& text);
// The same, added to the end of `out`.
void AppendCsvCell(std::string& out, const std::string& text);
void AppendCsvCell(std::string& out, const char* text, size_t length);

// The gender cell: the exported gender's word when written. Read as female:
// "女", "女性", "F" and "female" in any case, spaces around them ignored, as
// Corvelle, Outlook and Google write them; anything else is male.
std::string CsvGenderText(int gender);
bool IsCsvFemale(const std::string& cell);
