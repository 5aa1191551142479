// Importing contacts from a CSV file. A file of a known layout (Google,
// Outlook, Thunderbird, ...) imports without a question; in Corvelle's own
// and any other file the header's titles are matched to the fields and an
// unknown title is put to the user. Every later line that names a contact
// becomes one.
#pragma once

#include <string>
#include <vector>

#include "store/progress_report.h"
#include "csv/csv_layouts.h"
#include "platform/platform.h"
#include "store/contact_store.h"
#include "store/groups.h"

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
// The mapping's entry after the 27 fields, "其他信息": each cell of the
// column is an item of its own, labelled with the column's title.
const int OtherInformationChoice = ContactFieldCount;

// Per header column, left to right, what it holds.
struct ColumnMap {
    const CsvLayout* layout = nullptr;  // null: Corvelle's own titles and the user's answers
    std::vector<CsvColumn> columns;
    std::vector<std::string> unknownTitles;  // titles that no table knows and that went to no field
    std::vector<std::string> itemLabels;     // per column: the label of its items when mapped to "其他信息"
};

struct CsvImportResult {
    bool read;        // false: the file could not be opened or is empty; nothing was imported
    int imported;     // contacts appended to the store
    int notImported;  // named contacts left out because the store was full
    int duplicates;   // contacts left out because the book already held them
    // Why lines gave no contact: what a tool tells when a file gives nothing.
    int rows = 0;                // lines after the header that hold any text
    bool namingColumn = false;   // a column goes to a field that can name a contact
    int cutRows = 0;             // lines with a cell longer than CsvCellLimit (or a line past CsvLineLimit), kept cut
    std::vector<std::string> unknownTitles;  // GBK, as in ColumnMap
    bool cancelled = false;      // the user stopped the import before its end
};

// The titles of a header line, its cells as ReadCsvLine reads them
// (quoted ones included), each trimmed and without CRs; the text after the
// last comma of a line without a line end is no title. At most
// CsvMaxColumns titles of CsvCellBytes bytes, cut at a whole character.
std::vector<std::string> ParseCsvHeader(const std::string& line);

// "请选择一项与文件中的 TITLE 表头对应", in GBK: the mapping dialog's prompt.
std::string CsvMappingPrompt(const std::string& title);

// The columns of a layout that RecogniseCsvLayout knows go as its table
// says, without a question, those it knowingly leaves out included. Every
// other title is matched exactly against CsvFieldTitles and the others
// are asked about, left to right, until an answer says to ignore the rest
// (the layout's own columns still count); an empty title is ignored
// without a question. A recognised file of only known titles asks nothing.
ColumnMap MapCsvColumns(const std::vector<std::string>& titles, const ColumnMappingQuestion& question);

// The field each column goes to under Corvelle's own titles (NoField for
// any other column): the mapping as the questions left it.
std::vector<int> MappedFields(const ColumnMap& map);

// Stores one cell into one field of the record; a field outside 0 to 26
// (NoField included) takes nothing. Text longer than its field is cut at a
// whole character. A BirthYear cell longer than the year is a whole date
// in any form ReadCsvDate reads (else its start is the year).
void ApplyCsvCell(int field, const std::string& text, ContactRecord& record);

// Appends a contact for every line after the header that names one (see
// NameImportedContact), until the store is full, leaving out contacts the
// store already holds (those of earlier lines included). A contact goes
// into the group its labels or categories name, a new one at the end of
// `groups` when the book has none of that name; otherwise into group 0.
// Existing contacts stay. A file whose header is one title holding
// semicolons is separated by semicolons. The file is GBK, UTF-8 or UTF-16
// (see DetectCsvEncoding); Unicode text is read as GBK, "?" standing for each
// character GBK lacks.
// Before each line it tells progress, when given, how many of the file's
// lines (counted first by their line feeds) are read; when progress
// answers false the import stops there, keeping what it added, and the
// result says it was cancelled.
CsvImportResult ImportCsvFile(const PathString& path, ContactStore& store, GroupList& groups,
                              const ColumnMappingQuestion& question, const ProgressReport& progress = nullptr);
