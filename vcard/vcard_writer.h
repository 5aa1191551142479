// Writing contacts as vCard 2.1: GBK text with CR LF line ends, no line
// end after the last line of a one-card file. "\", ";" and "," in a
// text are escaped with a backslash in every encoding. Plain and Unicode-QP write
// every line whether it is empty or not, with the name, company and
// title in the chosen encoding and the rest as GBK, and a nickname, when
// there is one, just before END:VCARD; UTF-8 QP, the form for phones,
// writes every value that holds Chinese (or ends in white space, which a
// reader trims from a line) as UTF-8 quoted-printable, the nickname too,
// leaves out empty properties, and names the contact's group, unless it
// is the first, in CATEGORIES, its last line before END:VCARD. A birthday
// without a year or a day is written as vCard writes one (--0422, 1990-05).
#pragma once

#include <string>

#include "platform/platform.h"
#include "store/contact_store.h"
#include "store/groups.h"
#include "vcard/text_encodings.h"

// One card for one record, without a line end after END:VCARD. The
// groups, when given, name the contact's group for phones; the first
// group, and a group index that is no group of the list, give no CATEGORIES.
// The details, when given, give the fields' whole forms, a UID line and
// each item as the property it came from, after the fields' lines.
std::string VcardFileText(const ContactRecord& record, VcardEncoding encoding,
                          const GroupList* groups = nullptr, const ContactDetails* details = nullptr);

// What WriteVcardFile reports.
const int VcardWritten = 1;
const int VcardNotWritten = 0;  // the file could not be created or written
const int VcardNoRecord = 2;

// Writes the record to path, replacing a file of that name only once the
// new one is complete on disk.
int WriteVcardFile(const PathString& path, const ContactRecord* record, VcardEncoding encoding,
                   const GroupList* groups = nullptr, const ContactDetails* details = nullptr);

// Every contact of the store, in store order, one card after another in
// one file, each card ended by CR LF: the form a phone imports in one step.
bool WriteVcardCardsFile(const PathString& path, const ContactStore& store, VcardEncoding encoding,
                         const GroupList* groups = nullptr);
