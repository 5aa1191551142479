// Any bytes as a CSV file. The first byte chooses how many contacts the
// store already holds, the next four the answers given, in turn, to the
// column mapping questions (any of the three answers or one the dialog
// never gives, any field, in range or not); the rest is the file. The
// reader asks only about trimmed, non-empty titles of at most CsvCellBytes
// bytes that match no field title, never after "ignore the rest", appends
// only named contacts in groups of the book (at most 32 new ones), no
// contact twice, stops at the book's capacity, and the book still saves
// and reads back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "csv/csv_format.h"
#include "csv/csv_reader.h"
#include "fuzz/fuzz_checks.h"
#include "store/imported_contact.h"

namespace {

const int AnswerCount = 4;
const int DefaultGroupCount = 5;

struct Answers {
    uint8_t bytes[AnswerCount];
    int asked;
    bool ignoringTheRest;
};

ColumnMappingChoice Answer(void* context, const std::string& title) {
    Answers& answers = *static_cast<Answers*>(context);
    Require(!answers.ignoringTheRest, "asked again after ignore the rest");
    Require(answers.asked < CsvMaxColumns, "asked about more columns than a header keeps");
    Require(!title.empty(), "asked about an empty title");
    Require(title.size() <= CsvCellBytes, "asked about a title longer than a cell");
    Require(title.find('\r') == std::string::npos && title.find('\n') == std::string::npos,
            "asked about a title with a line end");
    Require(title.empty() || (title.front() != ' ' && title.back() != ' '), "asked about an untrimmed title");
    for (const std::string& known : CsvFieldTitles()) Require(title != known, "asked about a known title");

    uint8_t byte = answers.bytes[answers.asked++ % AnswerCount];
    static const ColumnMappingAnswer kinds[] = {IgnoreColumn, IgnoreRemaining, MapToField,
                                                static_cast<ColumnMappingAnswer>(0)};
    ColumnMappingChoice choice{kinds[byte % 4], (byte / 4) % 32 - 2};
    if (choice.answer == IgnoreRemaining) answers.ignoringTheRest = true;
    return choice;
}

// Every field and the group, the flags left out.
// The fields, and the items in any order: two contacts whose items differ are two contacts.
std::string Contents(const ContactStore& store, const ContactRecord& record) {
    std::string text;
    std::vector<std::string> items;
    if (const ContactDetails* details = FindDetails(store, &record)) {
        for (const ContactItem& item : details->items) {
            std::string one = std::to_string(static_cast<int>(item.kind)) + '\1' + item.label;
            for (const std::string& part : item.parts) one += '\1' + part;
            items.push_back(one);
        }
    }
    std::sort(items.begin(), items.end());
    for (const std::string& item : items) text += item + '\2';
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        text += info.isText ? FieldValue(record, info.field) : std::to_string(record.Gender);
        text += '\0';
    }
    return text + std::to_string(record.GroupIndex);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchFile("input.csv");
    FuzzInput input{data, size};
    Document document;
    ResetDocument(document);
    int before = FillStoreBeforeImport(input.TakeByte(), document.contacts);
    Answers answers = {};
    for (uint8_t& byte : answers.bytes) byte = input.TakeByte();
    std::string file = input.Rest();
    WriteScratchFile(path, file);

    CsvImportResult result = ImportCsvFile(path, document.contacts, document.groups, ColumnMappingQuestion{Answer, &answers});
    // A byte-order mark alone is no text, nor is a UTF-16 one with less than a character after it.
    bool utf16 = file.compare(0, 2, "\xFF\xFE") == 0 || file.compare(0, 2, "\xFE\xFF") == 0;
    bool empty = file.empty() || file == "\xEF\xBB\xBF" || (utf16 && file.size() < 4);
    Require(result.read == !empty, "a file was read that is empty, or not read that is not");
    CheckImport(document, before, result.imported, result.notImported);
    Require(GroupCount(document.groups) <= DefaultGroupCount + MaxGroupsPerImport, "more than 32 new groups");
    std::set<std::string> seen;
    for (int n = 0; n < RecordCount(document.contacts); ++n) {
        const ContactRecord& record = *RecordAt(document.contacts, n);
        bool isNew = seen.insert(Contents(document.contacts, record)).second;
        if (n < before) continue;
        Require(record.Surname[0] != '\0' || record.GivenName[0] != '\0', "a contact without a name was imported");
        Require(isNew, "a contact was imported twice");
    }
    return 0;
}
