#include "csv/csv_writer.h"

#include "csv/csv_format.h"
#include "platform/gb18030.h"
#include "store/fixed_text.h"
#include "store/safe_file.h"

namespace {

const char CsvLineEnd[] = "\r\n";
const char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

std::string HeaderLine() {
    std::string line;
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (f > 0) line += ',';
        line += CsvQuotedCell(CsvFieldTitles()[f]);
    }
    return line + CsvLineEnd;
}

std::string RecordLine(const ContactRecord& record) {
    std::string line;
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (f > 0) line += ',';
        line += CsvQuotedCell(CsvCellText(static_cast<ContactField>(f), record));
    }
    return line + CsvLineEnd;
}

}  // namespace

std::string CsvCellText(ContactField field, const ContactRecord& record, size_t capacity) {
    if (capacity == 0) return std::string();
    std::string text = field == Gender ? CsvGenderText(record.Gender) : FieldValue(record, field);
    return text.substr(0, FitGbkLength(text.data(), text.size(), capacity - 1));
}

bool ExportCsvFile(const PathString& path, const ContactStore& store, bool onlyTicked, CsvFileEncoding encoding) {
    std::string text = HeaderLine();
    for (const auto& record : store.records) {
        if (!onlyTicked || IsTicked(*record)) text += RecordLine(*record);
    }
    if (encoding == CsvFileEncoding::Utf8WithBom) text = Utf8ByteOrderMark + Gb18030ToUtf8(text);
    return WriteFileReplacing(path, text);
}
