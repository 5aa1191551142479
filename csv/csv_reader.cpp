#include "csv/csv_reader.h"

#include <algorithm>
#include <cstdio>

#include "csv/csv_format.h"
#include "csv/csv_lines.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

// A data line's cells, each applied to its column's field, left to right.
ContactRecord RecordFromCsvLine(const CsvLine& line, const ColumnMap& map) {
    ContactRecord record = EmptyRecord();
    for (size_t k = 0; k < line.cells.size(); ++k) ApplyCsvCell(map.fields[k], line.cells[k], record);
    return record;
}

// The titles of a header line: trimmed, without CRs; the text after the
// last comma of a line without a line end is no title.
std::vector<std::string> HeaderTitles(CsvLine line) {
    if (!line.ended && !line.cells.empty()) line.cells.pop_back();
    for (std::string& title : line.cells) {
        title.erase(std::remove(title.begin(), title.end(), '\r'), title.end());
        TrimSpaces(title);
    }
    return line.cells;
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
    return HeaderTitles(SplitCsvLine(line, CsvMaxColumns));
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
        record.Gender = StoredGender(IsCsvFemale(text));
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
    CsvEncoding encoding = DetectCsvEncoding(file);
    CsvLine line;
    if (ReadCsvLine(file, encoding, CsvMaxColumns, line)) {
        result.read = true;
        ColumnMap map = MapCsvColumns(HeaderTitles(line), question);
        while (ReadCsvLine(file, encoding, map.fields.size(), line)) {
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
