#include "vcard/batch_import.h"

#include "vcard/vcard_format.h"

VcardImportResult ImportVcardDirectory(const PathString& directory, ContactStore& store) {
    VcardImportResult total;
    for (const PathString& name : ListFilesWithExtension(directory, VcardExtension)) {
        AddImportResult(total, ReadVcardFile(JoinPath(directory, name), store));
    }
    return total;
}
