// Reading contacts from a vCard 2.1 file. The reader knows ten properties, matched in upper case,
// and ignores every line it does not understand.
#pragma once

#include "platform/platform.h"
#include "store/contact_store.h"

// Bytes of a line the reader takes in one read, line feed included; a
// longer physical line is taken as several lines.
const int VcardLineLength = 311;

// What an import did, for the message the user may need.
struct VcardImportResult {
    int filesRead = 0;        // files opened and read to their end
    int filesUnreadable = 0;  // files that could not be opened or read
    int imported = 0;         // contacts appended to the store
    int notImported = 0;      // named cards left out because the store was full
};

// Adds the counts of one part of an import to the total.
void AddImportResult(VcardImportResult& total, const VcardImportResult& part);

// Applies one trimmed property line to the card being built: 1 when the
// line was recognised and stored, 0 when it was ignored (no value, an
// unknown property, a TEL line without a known type).
int ParseVcardLine(const char* line, ContactRecord& card);

// Reads a .vcf file and appends each card that has a surname or a given
// name to the store, in file order, as a new record of group 0, while the
// store has room; named cards beyond MaxRecords are counted, not added.
// Lines end at a line feed, a carriage return and line feed, or a lone
// carriage return.
VcardImportResult ReadVcardFile(const PathString& path, ContactStore& store);
