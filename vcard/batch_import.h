// Importing every vCard file of one directory in a single step, such as a
// directory filled by the export, which writes one file per contact.
#pragma once

#include "platform/platform.h"
#include "store/document.h"
#include "vcard/vcard_reader.h"

// Reads every file of a directory whose name ends in ".vcf", in any case,
// in name order (compared without regard to case); subdirectories are not
// searched. A directory that does not exist or holds no such file imports
// nothing. Stops adding at the store's capacity like ReadVcardFile.
// The files are one import: together they make at most MaxGroupsPerImport
// groups.
VcardImportResult ImportVcardDirectory(const PathString& directory, Document& book);
