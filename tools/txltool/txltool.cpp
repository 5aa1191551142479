#include "tools/txltool/txltool.h"

#include <cstring>

#include "platform/gb18030.h"
#include "store/address_book_file.h"
#include "store/name_order.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

struct Command {
    const char* name;
    int (*run)(const Arguments& args);
    const char* usage;
};

const Command Commands[] = {
    {"new", CommandNew, "txltool new BOOK"},
    {"dump", CommandDump,
     "txltool dump [--utf8] BOOK\n"
     "       (in the id, item and whole lines a tab is \\t, a line break \\n (a CR \\r), a backslash \\\\)"},
    {"sort", CommandSort, "txltool sort BOOK"},
    {"import-csv", CommandImportCsv, ImportCsvUsage},
    {"export-csv", CommandExportCsv, ExportCsvUsage},
    {"import-vcf", CommandImportVcf, ImportVcfUsage},
    {"export-vcf", CommandExportVcf, ExportVcfUsage},
    {"edit", CommandEdit, EditUsageText},
    {"delete", CommandDelete, DeleteUsageText},
    {"sync", CommandSync, SyncUsageText},
};

int Usage() {
    std::string text = "usage:\n";
    for (const Command& command : Commands) text += std::string("  ") + command.usage + "\n";
    PrintBytes(stderr, text);
    return ExitUsage;
}

}  // namespace

void PrintBytes(FILE* stream, const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stream); }

void PrintError(const std::string& utf8) { PrintBytes(stderr, "txltool: " + utf8 + "\n"); }

std::string ArgumentToGbk(const PathString& argument) { return PathToGbk(argument); }

std::string ArgumentToUtf8(const PathString& argument) { return PathToUtf8(argument); }

bool LoadBookOrNew(const PathString& book, Document& document) {
    FILE* probe = OpenFile(book, "rb");
    if (!probe) {
        ResetDocument(document);
        return true;
    }
    std::fclose(probe);
    LoadResult result = ReadAddressBook(book, document.groups, document.contacts);
    if (result != LoadOk) {
        PrintError(PathToUtf8(book) + ": not a readable address book (result " + std::to_string(result) + ")");
        return false;
    }
    document.currentPath = book;
    return true;
}

bool SaveBook(const PathString& book, const Document& document) {
    if (WriteAddressBook(book, document.groups, document.contacts) == 1) return true;
    PrintError(PathToUtf8(book) + ": cannot be written");
    return false;
}

int CommandNew(const Arguments& args) {
    if (args.size() != 1) return Usage();
    Document document;
    ResetDocument(document);
    return SaveBook(args[0], document) ? ExitOk : ExitFailed;
}

// A text of an item on one dump line: tabs, line breaks and backslashes escaped.
std::string DumpText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

// What a contact carries beside its fields, after its record line.
std::string DumpDetails(const ContactRecord& record, const ContactDetails& details) {
    std::string out = "id\t" + DumpText(details.id) + "\n";
    for (const ContactItem& item : details.items) {
        out += std::string("item\t") + ItemKindName(item.kind) + "\t" + DumpText(item.label) + "\t" +
               DumpText(JoinedParts(item)) + "\n";
    }
    for (const auto& whole : details.wholes) {
        // One that an edit of the field has made stale is no longer the field's.
        if (WholeFieldValue(record, details, static_cast<ContactField>(whole.first)) != whole.second) continue;
        out += "whole\t" + std::to_string(whole.first) + "\t" + DumpText(whole.second) + "\n";
    }
    return out;
}

// The book's own bytes (GB 18030), or with --utf8 the same texts in UTF-8.
int CommandDump(const Arguments& all) {
    bool utf8 = !all.empty() && all[0] == PathFromAscii("--utf8");
    Arguments args(all.begin() + (utf8 ? 1 : 0), all.end());
    if (args.size() != 1) return Usage();
    Document document;
    LoadResult result = ReadAddressBook(args[0], document.groups, document.contacts);
    std::string out = "result\t" + std::to_string(result) + "\n";
    if (result == LoadOk) {
        for (int g = 0; g < GroupCount(document.groups); ++g) out += "group\t" + GroupName(document.groups, g) + "\n";
        for (const auto& record : document.contacts.records) {
            out += "record";
            for (int f = 0; f < ContactFieldCount; ++f) {
                const ContactFieldInfo& info = FieldInfo(f);
                out += '\t';
                out += info.isText ? FieldValue(*record, info.field) : std::to_string(record->Gender);
            }
            out += "\t" + std::to_string(record->GroupIndex) + "\n";
            out += DumpDetails(*record, DetailsOf(document.contacts, record.get()));
        }
    }
    PrintBytes(stdout, utf8 ? Gb18030ToUtf8(out) : out);
    return result == LoadOk ? ExitOk : ExitFailed;
}

// Puts a book in order of name, as the program's "按姓名排序" and a save do.
int CommandSort(const Arguments& args) {
    if (args.size() != 1) return Usage();
    Document document;
    LoadResult result = ReadAddressBook(args[0], document.groups, document.contacts);
    if (result != LoadOk) {
        PrintError(PathToUtf8(args[0]) + ": not a readable address book (result " + std::to_string(result) + ")");
        return ExitFailed;
    }
    SortByName(document.contacts);
    return SaveBook(args[0], document) ? ExitOk : ExitFailed;
}

int RunTxltool(const Arguments& all) {
    if (all.empty()) return Usage();
    std::string name = ArgumentToUtf8(all[0]);
    for (const Command& command : Commands) {
        if (name == command.name) return command.run(Arguments(all.begin() + 1, all.end()));
    }
    return Usage();
}

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return RunTxltool(Arguments(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) { return RunTxltool(Arguments(argv + 1, argv + argc)); }
#endif
