#include "csv/csv_writer.h"

#include <cstring>

#include "csv/csv_format.h"
#include "platform/gb18030.h"
#include "csv/csv_items.h"
#include "store/fixed_text.h"
#include "store/safe_file.h"

namespace {

const char CsvLineEnd[] = "\r\n";
const char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

void AddCells(std::string& line, const std::vector<std::string>& cells) {
    for (const std::string& cell : cells) {
        line += ',';
        AppendCsvCell(line, cell);
    }
}

std::string HeaderLine(const std::vector<ItemColumnSlot>& slots) {
    std::string line;
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (f > 0) line += ',';
        AppendCsvCell(line, CsvFieldTitles()[f]);
    }
    AddCells(line, ItemColumnTitles(slots));
    return line + CsvLineEnd;
}

// As CsvCellText gives it, taken where it lies: a large book's export
// makes no string for each cell.
void AddFieldCell(std::string& out, const ContactRecord& record, ContactField field) {
    if (field == Gender) {
        AppendCsvCell(out, CsvGenderText(record.Gender));
        return;
    }
    const char* text = FieldText(record, field);
    size_t length = strnlen(text, static_cast<size_t>(FieldInfo(field).width));
    AppendCsvCell(out, text, FitGbkLength(text, length, CsvExportCellCapacity - 1));
}

// The fields with their whole forms, then the items' cells, added to `out`.
void AddRecordLine(std::string& out, const ContactRecord& record, const ContactDetails& details,
                   const std::vector<ItemColumnSlot>& slots) {
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (f > 0) out += ',';
        ContactField field = static_cast<ContactField>(f);
        if (!details.wholes.empty() && details.wholes.count(f) != 0) {
            AppendCsvCell(out, WholeFieldValue(record, details, field));
        } else {
            AddFieldCell(out, record, field);
        }
    }
    if (!slots.empty()) AddCells(out, ItemColumnCells(slots, details));
    out += CsvLineEnd;
}

// CSV carries no id: a contact without details needs none made.
const ContactDetails& FindDetailsOrNone(const ContactStore& store, const ContactRecord* record) {
    static const ContactDetails none;
    const ContactDetails* details = FindDetails(store, record);
    return details ? *details : none;
}

}  // namespace

std::string CsvCellText(ContactField field, const ContactRecord& record, size_t capacity) {
    if (capacity == 0) return std::string();
    std::string text = field == Gender ? CsvGenderText(record.Gender) : FieldValue(record, field);
    return text.substr(0, FitGbkLength(text.data(), text.size(), capacity - 1));
}

bool ExportCsvFile(const PathString& path, const ContactStore& store, bool onlyTicked, CsvFileEncoding encoding) {
    // Written a megabyte at a time: a large book's file is never held whole.
    // Each part ends with a line, so that it converts on its own.
    const size_t PartBytes = 1 << 20;
    auto inFileEncoding = [encoding](const std::string& text) {
        return encoding == CsvFileEncoding::Utf8WithBom ? Gb18030ToUtf8(text) : text;
    };
    ReplacingFile file;
    if (!BeginReplacing(file, path)) return false;
    std::vector<ItemColumnSlot> slots = ItemColumnSlots(store, onlyTicked);
    std::string text = HeaderLine(slots);
    if (encoding == CsvFileEncoding::Utf8WithBom) WritePart(file, Utf8ByteOrderMark);
    text.reserve(PartBytes + PartBytes / 4);
    for (const auto& record : store.records) {
        if (onlyTicked && !IsTicked(*record)) continue;
        AddRecordLine(text, *record, FindDetailsOrNone(store, record.get()), slots);
        if (text.size() >= PartBytes) {
            WritePart(file, inFileEncoding(text));
            text.clear();
        }
    }
    WritePart(file, inFileEncoding(text));
    return FinishReplacing(file);
}
