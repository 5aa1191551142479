// Exporting contacts as vCard files, one file per contact, into one
// directory: the walk behind the export dialog and txltool export-vcf.
#pragma once

#include <set>

#include "platform/platform.h"
#include "store/contact_store.h"
#include "store/groups.h"
#include "store/progress_report.h"
#include "vcard/text_encodings.h"

// Which contacts an export writes.
enum VcardExportScope {
    ExportTicked,  // those whose check box is ticked
    ExportAll,     // every contact, also those hidden by a search or filter
};

struct VcardExportResult {
    int written = 0;
    int failed = 0;  // could not be written, or the path would be too long
    bool cancelled = false;  // the user stopped the export before its end
};

// The longest full path, in GBK bytes, that an export writes to.
const size_t MaxExportPathBytes = 255;

// True when at least one contact is ticked, so that exporting only the
// ticked ones makes sense.
bool AnyRecordTicked(const ContactStore& store);

// The name a contact's file would get on its own: surname and given name
// followed by ".vcf". Characters that Windows forbids in a file name
// (\ / : * ? " < > | and control characters) become "_", so that no name
// reaches outside the directory, and a reserved device name such as CON
// gets a leading "_".
PathString VcardFileName(const ContactRecord& record);

// Makes a file name unique within one export, comparing names without
// regard to ASCII case as Windows does: the first 张三.vcf stays, the next
// ones become 张三(2).vcf, 张三(3).vcf and so on. `used` holds the names
// already taken.
PathString UniqueFileName(const PathString& name, std::set<PathString>& used);

// Writes one file per contact in scope, in store order, into directory,
// replacing files of the same names (from an earlier export, say). A
// contact whose path would be longer than MaxExportPathBytes is skipped
// and counted as failed; it is never cut into another name. An empty
// directory exports nothing. The groups, when given, name each
// contact's group in the form for phones.
// Before each file it tells progress, when given, how many of how many
// files are done; when progress answers false the export stops there,
// keeping the files written, and the result says it was cancelled.
VcardExportResult ExportVcardFiles(const ContactStore& store, const PathString& directory, VcardEncoding encoding,
                                   VcardExportScope scope, const GroupList* groups = nullptr,
                                   const ProgressReport& progress = nullptr);
