#include "vcard/vcard_export.h"

#include <string>
#include <type_traits>

#include "store/text_operations.h"
#include "vcard/vcard_format.h"
#include "vcard/vcard_writer.h"

namespace {

const PathChar Replacement = '_';

bool IsForbiddenInFileName(PathChar c) {
    switch (c) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return true;
    default:
        auto code = static_cast<std::make_unsigned_t<PathChar>>(c);
        return code < 0x20 || code == 0x7F;
    }
}

PathString LowerAscii(PathString text) {
    for (PathChar& c : text) c = AsciiLower(c);
    return text;
}

// CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 name devices on
// Windows, whatever extension follows; "CON.vcf" is no file.
bool IsDeviceName(const PathString& name) {
    PathString stem = LowerAscii(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul"}) {
        if (stem == PathFromAscii(device)) return true;
    }
    if (stem.size() != 4 || stem[3] < '0' || stem[3] > '9') return false;
    PathString prefix = stem.substr(0, 3);
    return prefix == PathFromAscii("com") || prefix == PathFromAscii("lpt");
}

bool InScope(const ContactRecord& record, VcardExportScope scope) {
    return scope == ExportAll || IsTicked(record);
}

}  // namespace

bool AnyRecordTicked(const ContactStore& store) {
    for (const auto& record : store.records) {
        if (IsTicked(*record)) return true;
    }
    return false;
}

PathString VcardFileName(const ContactRecord& record) {
    // Converted first and replaced after: in GBK a "\" or "|" byte can be
    // the second half of a Chinese character.
    PathString stem = PathFromGbk(FieldValue(record, Surname) + FieldValue(record, GivenName));
    for (PathChar& c : stem) {
        if (IsForbiddenInFileName(c)) c = Replacement;
    }
    if (IsDeviceName(stem)) stem.insert(stem.begin(), Replacement);
    return stem + PathFromAscii(VcardExtension);
}

PathString UniqueFileName(const PathString& name, std::set<PathString>& used) {
    PathString extension = PathFromAscii(VcardExtension);
    PathString stem = name;
    if (stem.size() >= extension.size() && LowerAscii(stem.substr(stem.size() - extension.size())) == extension) {
        stem.resize(stem.size() - extension.size());
    }
    PathString candidate = name;
    for (int n = 2; !used.insert(LowerAscii(candidate)).second; ++n) {
        candidate = stem + PathFromAscii(("(" + std::to_string(n) + ")").c_str()) + extension;
    }
    return candidate;
}

VcardExportResult ExportVcardFiles(const ContactStore& store, const PathString& directory, VcardEncoding encoding,
                                   VcardExportScope scope, const GroupList* groups, const ProgressReport& progress) {
    VcardExportResult result;
    if (directory.empty()) return result;
    int total = 0;
    for (const auto& record : store.records) total += InScope(*record, scope) ? 1 : 0;
    std::set<PathString> used;
    int done = 0;
    for (const auto& record : store.records) {
        if (!InScope(*record, scope)) continue;
        if (progress && !progress(done++, total)) {
            result.cancelled = true;
            break;
        }
        PathString path = JoinPath(directory, UniqueFileName(VcardFileName(*record), used));
        if (PathToGbk(path).size() > MaxExportPathBytes) {
            ++result.failed;
            continue;
        }
        if (WriteVcardFile(path, record.get(), encoding, groups, &DetailsOf(store, record.get())) == VcardWritten) {
            ++result.written;
        } else {
            ++result.failed;
        }
    }
    return result;
}
