// Reading contacts from vCard files as phones and mail programs write
// them: versions 2.1, 3.0 and 4.0, folded lines, quoted-printable and
// the character sets a card names. Lines the reader does not understand
// are ignored.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/contact_store.h"

// Bytes of one logical line (folded and soft-broken lines joined) that
// the reader keeps; the rest of a longer line, such as a photo, is dropped.
const size_t VcardLineLimit = 64 * 1024;

// Cards inside cards (an agent's card, say) are read as cards of their
// own up to this depth; deeper ones are skipped.
const size_t VcardMaxNesting = 8;

// What an import did, for the message the user may need.
struct VcardImportResult {
    int filesRead = 0;        // files opened and read to their end
    int filesUnreadable = 0;  // files that could not be opened or read
    int imported = 0;         // contacts appended to the store
    int notImported = 0;      // named cards left out because the store was full
};

// Adds the counts of one part of an import to the total.
void AddImportResult(VcardImportResult& total, const VcardImportResult& part);

// The card being built, with what the reader needs to finish it.
struct VcardCard {
    ContactRecord record;
    int version = 21;                       // 21, 30 or 40, from its VERSION line
    std::string formattedName;              // FN, the name when N gives none
    std::vector<std::string> spareNumbers;  // phones that found no field of their own
    bool emailPreferred = false;            // the e-mail kept was marked PREF
};

// An empty card: an all-zero record, version 2.1.
VcardCard NewVcardCard();

// Applies one logical line to the card being built: 1 when the line was
// recognised and stored, 0 when it was ignored (no value, an unknown or
// binary property).
int ParseVcardLine(const char* line, VcardCard& card);

// Completes the card: the spare phone numbers go into the free ones of
// mobile, home and work phone, and a card without a name from N takes
// it from FN. True when the card has a name and so becomes a contact.
bool FinishVcardCard(VcardCard& card);

// Reads a .vcf file and appends each card that has a name to the store,
// in file order, as a new record of group 0, while the store has room;
// named cards beyond MaxRecords are counted, not added. Lines end at a
// line feed, a carriage return and line feed, or a lone carriage return.
VcardImportResult ReadVcardFile(const PathString& path, ContactStore& store);
