#include "csv/csv_format.h"

#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

std::array<std::string, ContactFieldCount> TitlesFromFieldTable() {
    std::array<std::string, ContactFieldCount> titles;
    for (int f = 0; f < ContactFieldCount; ++f) titles[f] = GbkText(FieldInfo(f).csvTitle);
    return titles;
}

const std::string& FemaleText() {
    static const std::string text = GbkText(GenderWord(true));
    return text;
}

const std::string& MaleText() {
    static const std::string text = GbkText(GenderWord(false));
    return text;
}

}  // namespace

const std::array<std::string, ContactFieldCount>& CsvFieldTitles() {
    static const std::array<std::string, ContactFieldCount> titles = TitlesFromFieldTable();
    return titles;
}

std::string CsvFieldTitle(int index) {
    if (index < 0 || index >= ContactFieldCount) return std::string();
    return CsvFieldTitles()[index];
}

namespace {

// One pass over the bytes: find_first_of looks each byte up in the set
// with a call of its own.
bool NeedsQuotes(const char* text, size_t length) {
    if (length > 0 && (text[0] == ' ' || text[length - 1] == ' ')) return true;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    }
    return false;
}

}  // namespace

void AppendCsvCell(std::string& out, const char* text, size_t length) {
    if (!NeedsQuotes(text, length)) {
        out.append(text, length);
        return;
    }
    out += '"';
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '"') out += '"';
        out += text[i];
    }
    out += '"';
}

void AppendCsvCell(std::string& out, const std::string& text) { AppendCsvCell(out, text.data(), text.size()); }

std::string CsvQuotedCell(const std::string& text) {
    std::string quoted;
    AppendCsvCell(quoted, text);
    return quoted;
}

std::string CsvGenderText(int gender) { return IsExportedFemale(gender) ? FemaleText() : MaleText(); }

bool IsCsvFemale(const std::string& cell) {
    static const std::string words[] = {FemaleText(), GbkText(u"女性"), "f", "female"};
    std::string text = AsciiLowerCase(TrimSpaces(cell));
    for (const std::string& word : words) {
        if (text == word) return true;
    }
    return false;
}
