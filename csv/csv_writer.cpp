#include "csv/csv_writer.h"

#include "csv/csv_format.h"
#include "platform/gb18030.h"
#include "csv/csv_items.h"
#include "store/fixed_text.h"
#include "store/safe_file.h"

namespace {

const char CsvLineEnd[] = "\r\n";
const char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

void AddCells(std::string& line, const std::vector<std::string>& cells) {
    for (const std::string& cell : cells) line += ',' + CsvQuotedCell(cell);
}

std::string HeaderLine(const std::vector<ItemColumnSlot>& slots) {
    std::string line;
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (f > 0) line += ',';
        line += CsvQuotedCell(CsvFieldTitles()[f]);
    }
    AddCells(line, ItemColumnTitles(slots));
    return line + CsvLineEnd;
}

// The fields with their whole forms, then the items' cells.
std::string RecordLine(const ContactRecord& record, const ContactDetails& details,
                       const std::vector<ItemColumnSlot>& slots) {
    std::string line;
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (f > 0) line += ',';
        ContactField field = static_cast<ContactField>(f);
        bool whole = details.wholes.count(f) != 0;
        line += CsvQuotedCell(whole ? WholeFieldValue(record, details, field) : CsvCellText(field, record));
    }
    AddCells(line, ItemColumnCells(slots, details));
    return line + CsvLineEnd;
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
    std::vector<ItemColumnSlot> slots = ItemColumnSlots(store, onlyTicked);
    std::string text = HeaderLine(slots);
    for (const auto& record : store.records) {
        if (!onlyTicked || IsTicked(*record)) text += RecordLine(*record, FindDetailsOrNone(store, record.get()), slots);
    }
    if (encoding == CsvFileEncoding::Utf8WithBom) text = Utf8ByteOrderMark + Gb18030ToUtf8(text);
    return WriteFileReplacing(path, text);
}
