#include "csv/csv_reader.h"

#include <cstdio>

#include "csv/csv_format.h"
#include "store/fixed_text.h"
#include "vcard/text_operations.h"

namespace {

// Reads one line into `line`, its LF included when it has one. CR LF is
// read as LF; a CR alone is an ordinary byte. A line is always read up to
// its end, so an over-long one keeps its first CsvLineLimit bytes and never
// spills into a line of its own. False at the end of the file.
bool ReadCsvLine(FILE* file, std::string& line) {
    line.clear();
    int c = std::getc(file);
    if (c == EOF) return false;
    for (; c != EOF; c = std::getc(file)) {
        if (c == '\r') {
            int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        if (c == '\n') {
            line += '\n';
            break;
        }
        if (line.size() < CsvLineLimit) line += static_cast<char>(c);
    }
    return true;
}

// Collects one title or cell: one byte beyond the limit is kept so that
// the cut can tell whether the last character is whole.
void CollectByte(std::string& cell, char c) {
    if (cell.size() <= CsvCellBytes) cell += c;
}

std::string KeptCell(const std::string& collected) {
    return collected.substr(0, FitGbkLength(collected.data(), collected.size(), CsvCellBytes));
}

// The cells of a data line, cut to the first `columns`: commas always
// separate, and the end of the line ends the last cell.
std::vector<std::string> SplitCsvLine(const std::string& line, size_t columns) {
    std::vector<std::string> cells;
    std::string cell;
    for (char c : line) {
        if (cells.size() == columns) return cells;
        if (c == ',') {
            cells.push_back(KeptCell(cell));
            cell.clear();
        } else {
            CollectByte(cell, c);
        }
    }
    if (cells.size() < columns) cells.push_back(KeptCell(cell));
    return cells;
}

// A data line trims its leading spaces and its trailing spaces and LF;
// spaces beside inner commas stay in their cells.
ContactRecord RecordFromCsvLine(std::string line, const ColumnMap& map) {
    TrimSpaces(line);
    ContactRecord record = EmptyRecord();
    std::vector<std::string> cells = SplitCsvLine(line, map.fields.size());
    for (size_t k = 0; k < cells.size(); ++k) ApplyCsvCell(map.fields[k], cells[k], record);
    return record;
}

// Year, month and day by position: "19850307" or "1985-03-07" (any byte
// between the parts). Anything else is the year alone.
void ApplyCsvBirthday(const std::string& text, ContactRecord& record) {
    const size_t compactDate = 8;
    const size_t separatedDate = 10;
    if (text.size() == compactDate) {
        SetField(record, BirthYear, text.substr(0, 4));
        SetField(record, BirthMonth, text.substr(4, 2));
        SetField(record, BirthDay, text.substr(6, 2));
    } else if (text.size() == separatedDate) {
        SetField(record, BirthYear, text.substr(0, 4));
        SetField(record, BirthMonth, text.substr(5, 2));
        SetField(record, BirthDay, text.substr(8, 2));
    } else {
        SetField(record, BirthYear, text);
    }
}

ColumnMappingChoice Ask(const ColumnMappingQuestion& question, const std::string& title) {
    if (question.ask == nullptr) return ColumnMappingChoice{IgnoreColumn, NoField};
    return question.ask(question.context, title);
}

int MatchFieldTitle(const std::string& title) {
    const auto& titles = CsvFieldTitles();
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (title == titles[f]) return f;
    }
    return NoField;
}

}  // namespace

std::vector<std::string> ParseCsvHeader(const std::string& line) {
    std::vector<std::string> titles;
    std::string cell;
    for (char c : line) {
        if (c == ',' || c == '\n') {
            std::string title = KeptCell(cell);
            TrimSpaces(title);
            titles.push_back(title);
            cell.clear();
            if (c == '\n' || titles.size() == static_cast<size_t>(CsvMaxColumns)) break;
        } else if (c != '\r') {
            CollectByte(cell, c);
        }
    }
    return titles;
}

std::string CsvMappingPrompt(const std::string& title) {
    return GbkText(u"请选择一项与文件中的 ") + title + GbkText(u" 表头对应");
}

ColumnMap MapCsvColumns(const std::vector<std::string>& titles, const ColumnMappingQuestion& question) {
    ColumnMap map;
    bool ignoreRest = false;
    for (const std::string& title : titles) {
        int field = NoField;
        if (!ignoreRest) {
            field = MatchFieldTitle(title);
            if (field == NoField) {
                ColumnMappingChoice choice = Ask(question, title);
                if (choice.answer == MapToField && choice.field >= 0 && choice.field < ContactFieldCount) {
                    field = choice.field;
                } else if (choice.answer == IgnoreRemaining) {
                    ignoreRest = true;
                }
            }
        }
        map.fields.push_back(field);
    }
    return map;
}

void ApplyCsvCell(int field, const std::string& text, ContactRecord& record) {
    if (field < 0 || field >= ContactFieldCount) return;
    if (field == Gender) {
        record.Gender = IsCsvFemale(text) ? 1 : 0;
    } else if (field == BirthYear) {
        ApplyCsvBirthday(text, record);
    } else {
        SetField(record, static_cast<ContactField>(field), text);
    }
}

CsvImportResult ImportCsvFile(const PathString& path, ContactStore& store, const ColumnMappingQuestion& question) {
    CsvImportResult result = {false, 0, 0};
    FILE* file = OpenFile(path, "rb");
    if (file == nullptr) return result;
    std::string line;
    if (ReadCsvLine(file, line)) {
        result.read = true;
        ColumnMap map = MapCsvColumns(ParseCsvHeader(line), question);
        while (ReadCsvLine(file, line)) {
            ContactRecord record = RecordFromCsvLine(line, map);
            if (record.Surname[0] == '\0') continue;
            if (HasRoomFor(store, 1)) {
                AppendRecord(store, record);
                ++result.imported;
            } else {
                ++result.notImported;
            }
        }
    }
    std::fclose(file);
    return result;
}
