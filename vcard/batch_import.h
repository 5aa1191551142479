// Importing every vCard file of one directory in a single step, such as a
// directory filled by the export, which writes one file per contact.
#pragma once

#include "platform/platform.h"
#include "store/document.h"
#include "store/progress_report.h"
#include "vcard/vcard_reader.h"

// Reads every file of a directory whose name ends in ".vcf", in any case,
// in name order (compared without regard to case); subdirectories are not
// searched. A directory that does not exist or holds no such file imports
// nothing. Stops adding at the store's capacity like ReadVcardFile.
// The files are one import: together they make at most MaxGroupsPerImport
// groups.
// Before each file it tells progress how many of how many files are read;
// when progress answers false the import stops there, keeping what it added,
// and the result says it was cancelled.
using ImportProgress = ProgressReport;
VcardImportResult ImportVcardDirectory(const PathString& directory, Document& book,
                                       const ImportProgress& progress = nullptr);
