#include "vcard/batch_import.h"

#include <vector>

#include "vcard/vcard_format.h"

VcardImportResult ImportVcardDirectory(const PathString& directory, Document& book, const ImportProgress& progress) {
    VcardImportResult total;
    ImportGroups made;
    std::vector<PathString> names = ListFilesWithExtension(directory, VcardExtension);
    const int fileCount = static_cast<int>(names.size());
    for (int index = 0; index < fileCount; ++index) {
        if (progress && !progress(index, fileCount)) {
            total.cancelled = true;
            break;
        }
        AddImportResult(total, ReadVcardFile(JoinPath(directory, names[index]), book, made));
    }
    return total;
}
