// txltool import-vcf and export-vcf: the vCard import, batch import and
// export of the program, from the command line.
#include <string>

#include "tools/txltool/txltool.h"
#include "vcard/batch_import.h"
#include "vcard/vcard_export.h"
#include "vcard/vcard_reader.h"
#include "vcard/vcard_writer.h"

namespace {

int UsageError(const char* usage) {
    PrintError(std::string("usage: ") + usage);
    return ExitUsage;
}

struct EncodingName {
    const char* name;
    VcardEncoding encoding;
};

const EncodingName EncodingNames[] = {{"plain", Plain}, {"utf8qp", Utf8Qp}, {"unicodeqp", UnicodeQp}};

bool EncodingNamed(const std::string& name, VcardEncoding& encoding) {
    for (const EncodingName& entry : EncodingNames) {
        if (name == entry.name) {
            encoding = entry.encoding;
            return true;
        }
    }
    return false;
}

// One PATH: a .vcf file, or a directory whose .vcf files are all read.
VcardImportResult ImportPath(const PathString& path, Document& book) {
    bool directory = IsDirectory(path);
    VcardImportResult result = directory ? ImportVcardDirectory(path, book) : ReadVcardFile(path, book);
    if (result.filesUnreadable > 0) {
        PrintError(ArgumentToUtf8(path) + (directory ? ": " + std::to_string(result.filesUnreadable) +
                                                           " .vcf files cannot be read"
                                                     : ": cannot be read"));
    }
    return result;
}

}  // namespace

const char ImportVcfUsage[] = "txltool import-vcf BOOK PATH...";
const char ExportVcfUsage[] =
    "txltool export-vcf BOOK DIR [--encoding plain|utf8qp|unicodeqp]\n"
    "       txltool export-vcf BOOK FILE.vcf --one-file [--encoding plain|utf8qp|unicodeqp]";

int CommandImportVcf(const Arguments& args) {
    if (args.size() < 2) return UsageError(ImportVcfUsage);
    Document document;
    if (!LoadBookOrNew(args[0], document)) return ExitFailed;
    VcardImportResult total;
    for (size_t i = 1; i < args.size(); ++i) AddImportResult(total, ImportPath(args[i], document));
    PrintBytes(stdout, "imported\t" + std::to_string(total.imported) + "\n");
    if (total.duplicates > 0) {
        PrintError(std::to_string(total.duplicates) + " contacts skipped: the book already holds them");
    }
    if (total.notImported > 0) {
        PrintError(std::to_string(total.notImported) + " contacts not imported: a book holds at most " +
                   std::to_string(document.contacts.capacity));
    }
    if (total.imported > 0 && !SaveBook(args[0], document)) return ExitFailed;
    return total.filesUnreadable == 0 && total.notImported == 0 ? ExitOk : ExitFailed;
}

int CommandExportVcf(const Arguments& args) {
    Arguments positional;
    VcardEncoding encoding = Plain;
    bool oneFile = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string argument = ArgumentToUtf8(args[i]);
        if (argument == "--one-file") {
            oneFile = true;
        } else if (argument != "--encoding") {
            positional.push_back(args[i]);
        } else if (i + 1 == args.size() || !EncodingNamed(ArgumentToUtf8(args[++i]), encoding)) {
            return UsageError(ExportVcfUsage);
        }
    }
    if (positional.size() != 2) return UsageError(ExportVcfUsage);
    const PathString& target = positional[1];
    Document document;
    if (!LoadBookOrNew(positional[0], document)) return ExitFailed;
    if (oneFile) {
        if (!WriteVcardCardsFile(target, document.contacts, encoding, &document.groups)) {
            PrintError(ArgumentToUtf8(target) + ": cannot be written");
            return ExitFailed;
        }
        PrintBytes(stdout, "written\t" + std::to_string(RecordCount(document.contacts)) + "\n");
        return ExitOk;
    }
    if (!IsDirectory(target)) {
        PrintError(ArgumentToUtf8(target) + ": not a directory");
        return ExitFailed;
    }
    VcardExportResult result = ExportVcardFiles(document.contacts, target, encoding, ExportAll, &document.groups);
    PrintBytes(stdout, "written\t" + std::to_string(result.written) + "\n");
    if (result.failed > 0) {
        PrintError(std::to_string(result.failed) + " files could not be written");
        return ExitFailed;
    }
    return ExitOk;
}
