// txltool import-csv and export-csv: the CSV exchange of the program, with
// the mapping questions answered from the command line.
#include <map>
#include <set>

#include "csv/csv_format.h"
#include "csv/csv_messages.h"
#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "platform/platform.h"
#include "tools/txltool/txltool.h"

namespace {

// The answers given on the command line; a title without one is ignored.
struct CommandLineAnswers {
    std::map<std::string, int> fields;
    std::set<std::string> ignoreRestFrom;
};

ColumnMappingChoice AnswerFromCommandLine(void* context, const std::string& title) {
    const auto* answers = static_cast<const CommandLineAnswers*>(context);
    if (answers->ignoreRestFrom.count(title) > 0) return ColumnMappingChoice{IgnoreRemaining, NoField};
    auto chosen = answers->fields.find(title);
    if (chosen != answers->fields.end()) return ColumnMappingChoice{MapToField, chosen->second};
    return ColumnMappingChoice{IgnoreColumn, NoField};
}

// The program's messages for standard error. wchar_t is UTF-16 on Windows
// and UTF-32 elsewhere; the messages never leave the basic plane.
std::string Utf8FromWide(const std::wstring& wide) { return Utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

int UsageError(const std::string& problem, const char* usage) {
    PrintError(problem);
    PrintBytes(stderr, std::string("usage: ") + usage + "\n");
    return ExitUsage;
}

// "TITLE=INDEX", split at the last "=", INDEX a CsvFieldTitles index or 27 for "其他信息".
bool ParseMapping(const PathString& argument, CommandLineAnswers& answers) {
    size_t equals = argument.rfind(PathChar('='));
    if (equals == PathString::npos) return false;
    std::string index = ArgumentToUtf8(argument.substr(equals + 1));
    if (index.empty() || index.size() > 2 || index.find_first_not_of("0123456789") != std::string::npos) return false;
    int field = std::stoi(index);
    if (field > OtherInformationChoice) return false;  // 27: "其他信息"
    answers.fields[ArgumentToGbk(argument.substr(0, equals))] = field;
    return true;
}

std::string Utf8FromGbk(const std::string& gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }

// Why a file with lines gave no contact.
std::string WhyNothingWasTaken(const CsvImportResult& result) {
    std::string unknown;
    for (const std::string& title : result.unknownTitles) unknown += (unknown.empty() ? "" : ", ") + Utf8FromGbk(title);
    if (!result.namingColumn) {
        // Nor any other column that can name a contact: a given name, a company, ...
        std::string why = "no surname column";
        if (!unknown.empty()) why += "; titles not recognised: " + unknown + " (map them with --map TITLE=INDEX)";
        return why;
    }
    return "no line holds a name, company, nickname, e-mail address or phone number";
}

}  // namespace

const char ImportCsvUsage[] = "txltool import-csv BOOK FILE [--map TITLE=INDEX]... [--ignore-rest-from TITLE]";
const char ExportCsvUsage[] = "txltool export-csv [--utf8] BOOK FILE";

int CommandImportCsv(const Arguments& args) {
    Arguments files;
    CommandLineAnswers answers;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string option = ArgumentToUtf8(args[i]);
        if (option == "--map" || option == "--ignore-rest-from") {
            if (i + 1 == args.size()) return UsageError(option + " needs a value", ImportCsvUsage);
            const PathString& value = args[++i];
            if (option == "--ignore-rest-from") {
                answers.ignoreRestFrom.insert(ArgumentToGbk(value));
            } else if (!ParseMapping(value, answers)) {
                return UsageError("--map " + ArgumentToUtf8(value) + ": expected TITLE=INDEX with INDEX 0 to 26",
                                  ImportCsvUsage);
            }
        } else if (option.compare(0, 2, "--") == 0) {
            return UsageError("unknown option " + option, ImportCsvUsage);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return UsageError("expected BOOK and FILE", ImportCsvUsage);

    Document document;
    if (!LoadBookOrNew(files[0], document)) return ExitFailed;
    CsvImportResult result =
        ImportCsvFile(files[1], document.contacts, document.groups,
                      ColumnMappingQuestion{AnswerFromCommandLine, &answers});
    if (!result.read) {
        PrintError(ArgumentToUtf8(files[1]) + ": " + Utf8FromWide(CsvCannotReadText));
        return ExitFailed;
    }
    if (result.notImported > 0) PrintError(ArgumentToUtf8(files[1]) + ": " + Utf8FromWide(CsvBookFullText(document.contacts.capacity, result.notImported)));
    if (result.duplicates > 0) PrintError(ArgumentToUtf8(files[1]) + ": " + Utf8FromWide(CsvDuplicatesText(result.duplicates)));
    if (result.cutRows > 0) PrintError(ArgumentToUtf8(files[1]) + ": " + Utf8FromWide(CsvCutTextsText(result.cutRows)));
    if (result.imported > 0 && !SaveBook(files[0], document)) return ExitFailed;
    // Lines that were all already in the book, or found it full, are said above.
    if (result.rows > 0 && result.imported == 0 && result.duplicates == 0 && result.notImported == 0) {
        PrintError(ArgumentToUtf8(files[1]) + ": no contact taken: " + WhyNothingWasTaken(result));
        return ExitFailed;
    }
    return ExitOk;
}

// --utf8 writes UTF-8 after a byte-order mark, as the export's second file type.
int CommandExportCsv(const Arguments& all) {
    bool utf8 = !all.empty() && ArgumentToUtf8(all[0]) == "--utf8";
    Arguments args(all.begin() + (utf8 ? 1 : 0), all.end());
    if (args.size() != 2) return UsageError("expected BOOK and FILE", ExportCsvUsage);
    Document document;
    if (!LoadBookOrNew(args[0], document)) return ExitFailed;
    CsvFileEncoding encoding = utf8 ? CsvFileEncoding::Utf8WithBom : CsvFileEncoding::Gb18030;
    if (!ExportCsvFile(args[1], document.contacts, false, encoding)) {
        PrintError(ArgumentToUtf8(args[1]) + ": " + Utf8FromWide(CsvExportFailedText));
        return ExitFailed;
    }
    return ExitOk;
}
