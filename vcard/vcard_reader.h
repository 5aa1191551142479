// Reading contacts from vCard files as phones and mail programs write
// them: versions 2.1, 3.0 and 4.0, folded lines, quoted-printable and
// the character sets a card names. Lines the reader does not understand
// are ignored.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "store/document.h"
#include "store/imported_contact.h"
#include "store/progress_report.h"

// Bytes of one logical line (folded and soft-broken lines joined) that
// the reader keeps; the rest of a longer line, such as a photo, is dropped.
const size_t VcardLineLimit = 64 * 1024;

// The most of a UTF-16 file that is read (its text is held whole).
const size_t VcardUtf16FileLimit = 32 * 1024 * 1024;

// Cards inside cards (an agent's card, say) are read as cards of their
// own up to this depth; deeper ones are skipped.
const size_t VcardMaxNesting = 8;

// What an import did, for the message the user may need.
struct VcardImportResult {
    int filesRead = 0;        // files opened and read to their end
    int filesUnreadable = 0;  // files that could not be opened or read
    int imported = 0;         // contacts appended to the store
    int notImported = 0;      // named cards left out because the store was full
    int duplicates = 0;       // cards left out because the book already held the same contact
    bool cancelled = false;   // the user stopped the import before its end
};

// Adds the counts of one part of an import to the total.
void AddImportResult(VcardImportResult& total, const VcardImportResult& part);

// One TEL line, kept until the card's end chooses its field.
struct VcardPhone {
    std::string number;
    unsigned types;       // VcardType bits
    bool placed = false;  // it has found its field, or is left out
    std::string typeLabel;  // a type that names no field ("Emergency")
    std::string group;      // its X-ABLabel's group
};

// Room the reader keeps from one value to the next for decoding them.
struct VcardDecodeRoom;

// The card being built, with what the reader needs to finish it.
struct VcardCard {
    ContactRecord record;
    int version = 21;                  // 21, 30 or 40, from its VERSION line
    unsigned textCodePage;             // of a value that names no character set
    bool unicodeFile = false;          // the file was UTF-16 or marked UTF-8: every plain value is UTF-8
    std::string formattedName;         // FN, the name when N gives none
    std::string givenNameText;         // N's given name, whole, when N has no family name
    std::string nameGiven, nameMiddle; // a Chinese N's given and middle parts, joined at the end
    std::vector<VcardPhone> phones;    // in the card's order
    bool emailPreferred = false;       // the e-mail kept was marked PREF
    bool homeAddressPreferred = false, workAddressPreferred = false;  // the address kept was marked PREF
    std::string category;              // the first CATEGORIES entry that is no system label
    bool isGroup = false;              // an address book's group card, no contact
    std::string homeLabel, workLabel;  // LABEL: an address as one text, for a card without ADR
    ContactRecord asWritten;           // the finished card before the import named it
    ContactDetails details;            // what has no field: items, whole forms, the UID
    std::vector<std::string> itemGroups;               // each item's group, for its X-ABLabel
    std::map<std::string, std::string> groupLabels;    // group -> X-ABLabel
    VcardDecodeRoom* room = nullptr;                   // the file reader's; null: the thread's own
};

// An empty card: an all-zero record, version 2.1.
VcardCard NewVcardCard();

// Applies one logical line to the card being built: 1 when the line was
// recognised and stored, 0 when it was ignored (no value, an unknown or
// binary property). The line ends at its first NUL byte, if any.
int ParseVcardLine(std::string_view line, VcardCard& card);

// Completes the card: each phone number finds its field, and a card
// without a family name is named as every import names it. True when the
// card is a contact (it has a name, and is no group card).
bool FinishVcardCard(VcardCard& card);

// Reads a .vcf file and appends each contact of it to the book, in file
// order, unticked, in the group its category names (made as one import
// makes groups, see GroupForCategory), while the store has room; contacts
// beyond MaxRecords are counted, not added, and one the book already
// holds is counted and left out. Lines end at a line feed, a carriage
// return and line feed, or a lone carriage return; a file that starts
// with a UTF-16 byte-order mark, or whose first line has every other byte
// zero, is read as UTF-16.
VcardImportResult ReadVcardFile(const PathString& path, Document& book, ImportGroups& made);
// The same, telling progress before each card how many of the file's cards
// (counted first by their BEGIN lines) are read; when progress answers
// false the import stops there, keeping what it added, and the result says
// it was cancelled.
VcardImportResult ReadVcardFile(const PathString& path, Document& book, ImportGroups& made,
                                const ProgressReport& progress);
// How many lines of the file begin with BEGIN:VCARD, in any case: the
// cards a progress report counts to.
int CountVcardCards(const PathString& path);
// The same as one import of its own.
VcardImportResult ReadVcardFile(const PathString& path, Document& book);
