// Importing every vCard file of one directory in a single step, such as a
// directory filled by the export, which writes one file per contact.
#pragma once

#include "platform/platform.h"
#include "store/contact_store.h"
#include "vcard/vcard_reader.h"

// Reads every file of a directory whose name ends in ".vcf", in any case,
// in name order (compared without regard to case); subdirectories are not
// searched. A directory that does not exist or holds no such file imports
// nothing. Stops adding at the store's capacity like ReadVcardFile.
VcardImportResult ImportVcardDirectory(const PathString& directory, ContactStore& store);
