// Importing contacts from a CSV file: the header's titles are matched to
// the fields, an unknown title is put to the user, and every later line
// with a surname becomes a contact.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/contact_store.h"

// The user's answer for a column whose title matches no field title: the
// three buttons of the column mapping dialog.
enum ColumnMappingAnswer {
    IgnoreColumn = 1,     // "忽略该项"
    IgnoreRemaining = 2,  // "忽略该项及之后": this column and every later one
    MapToField = 3,       // "确定": the column holds the chosen field
};

struct ColumnMappingChoice {
    ColumnMappingAnswer answer;
    int field;  // the CsvFieldTitles index chosen; read only with MapToField
};

// Asks which field the column titled `title` (GBK) holds. The dialog shows
// CsvMappingPrompt(title); tools answer from their command line. A null
// `ask` ignores every unknown column without asking.
struct ColumnMappingQuestion {
    ColumnMappingChoice (*ask)(void* context, const std::string& title);
    void* context;
};

// A column that goes to no field.
const int NoField = -1;

// Per header column, left to right: the CsvFieldTitles index the column
// goes to, or NoField.
struct ColumnMap {
    std::vector<int> fields;
};

struct CsvImportResult {
    bool read;        // false: the file could not be opened or is empty; nothing was imported
    int imported;     // contacts appended to the store
    int notImported;  // lines with a surname left out because the store was full
};

// The titles of a header line, its cells as ReadCsvLine reads them
// (quoted ones included), each trimmed and without CRs; the text after the
// last comma of a line without a line end is no title. At most
// CsvMaxColumns titles of CsvCellBytes bytes.
std::vector<std::string> ParseCsvHeader(const std::string& line);

// "请选择一项与文件中的 TITLE 表头对应", in GBK: the mapping dialog's prompt.
std::string CsvMappingPrompt(const std::string& title);

// Matches each title exactly against CsvFieldTitles and asks about the
// others, left to right, until an answer says to ignore the rest.
ColumnMap MapCsvColumns(const std::vector<std::string>& titles, const ColumnMappingQuestion& question);

// Stores one cell into one field of the record; a field outside 0 to 26
// (NoField included) takes nothing. Text longer than its field is cut at a
// whole character. A BirthYear cell of 8 or 10 bytes is a whole date.
void ApplyCsvCell(int field, const std::string& text, ContactRecord& record);

// Appends a contact, in group 0, for every line after the header that has
// a surname, until the store is full. Existing contacts stay. The file is
// GBK or UTF-8 (see DetectCsvEncoding); UTF-8 text is read as GBK, "?"
// standing for each character GBK lacks.
CsvImportResult ImportCsvFile(const PathString& path, ContactStore& store, const ColumnMappingQuestion& question);
