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

// A header keeps its first 50 titles; later columns are ignored in every line.
const int CsvMaxColumns = 50;
// A title or a cell keeps at most this many bytes, cut at a whole character.
const size_t CsvCellBytes = 50;
// The bytes of one line the reader keeps, the line breaks of its quoted
// cells included. A longer line keeps its start and loses its tail; it is
// never taken as two lines.
const size_t CsvLineLimit = 64 * 1024;

// A cell as written: the text itself, or, when it holds a comma, a double
// quote, CR or LF or begins or ends with a space, the text between double
// quotes with each of its double quotes doubled. None of these bytes occurs
// inside a GBK double-byte character, so the text is scanned byte by byte.
std::string CsvQuotedCell(const std::string& text);

// The gender cell: the exported gender's word when written; only exactly
// the female word reads as female.
std::string CsvGenderText(int gender);
bool IsCsvFemale(const std::string& cell);
