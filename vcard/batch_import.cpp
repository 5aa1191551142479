#include "vcard/batch_import.h"

#include "vcard/vcard_format.h"

VcardImportResult ImportVcardDirectory(const PathString& directory, Document& book) {
    VcardImportResult total;
    ImportGroups made;
    for (const PathString& name : ListFilesWithExtension(directory, VcardExtension)) {
        AddImportResult(total, ReadVcardFile(JoinPath(directory, name), book, made));
    }
    return total;
}
