// The section after a book's records that holds what the contacts carry
// beside their fields. Readers that know only the records stop before it
// and never see it.
//
// Layout, little-endian: the tag "CVDX", a version, the contact count (the
// book's record count), then for each contact in store order its size in
// bytes and its part: id, whole forms (field, text), items (kind, size,
// label, parts). Every text is a 32-bit length and its bytes. An item of a
// kind this version does not know is skipped by its size; bytes after the
// known content of a contact's part are left for later versions.
#pragma once

#include <string>

#include "store/contact_store.h"
#include "store/little_endian.h"

const char DetailsSectionTag[] = "CVDX";
const int32_t DetailsSectionVersion = 1;
// Bounds the reader trusts: larger claims mean a damaged section.
const int32_t MaxDetailsPartSize = 16 << 20;

// True when the book needs the section: some contact has something to keep.
bool NeedsDetailsSection(const ContactStore& contacts);
// Appends the section for the store's contacts.
void PutDetailsSection(std::string& out, const ContactStore& contacts);

enum class DetailsSectionResult { Absent, Read, Refused };
// Reads the section that follows the records, if any. Refused: it does not
// fit the records or is damaged; the contacts keep the details they had.
DetailsSectionResult ReadDetailsSection(FileReader& reader, ContactStore& contacts);
