// The ".txl" address-book file: groups and contacts in a compact binary
// layout, little-endian throughout.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "store/details_section.h"
#include "store/groups.h"

const int32_t AddressBookMagic = 199219;
const int32_t FormatVersion = 2;

enum LoadResult {
    OpenFailed = 0,
    LoadOk = 1,
    BadMagic = 2,
    TooManyRecords = 3,
    VersionTooNew = 4,
    FileTruncated = 5,     // the file ends before the data its header announces
    GroupNameTooLong = 10,
};

// Reads a book into groups and contacts. On a refusal they hold:
// OpenFailed, BadMagic, VersionTooNew: unchanged; GroupNameTooLong: the
// groups before the refused one, contacts unchanged; TooManyRecords: the
// file's groups, no contacts; FileTruncated: the groups read before the
// end (unchanged when it ends inside the header), no contacts.
// On LoadOk, sectionResult (when given) tells whether the contacts' other
// information was there, read, or refused (the records are read all the same).
LoadResult ReadAddressBook(const PathString& path, GroupList& groups, ContactStore& contacts,
                           DetailsSectionResult* sectionResult = nullptr);
LoadResult ReadAddressBook(FILE* file, GroupList& groups, ContactStore& contacts,
                           DetailsSectionResult* sectionResult = nullptr);

// The bytes of a book: the section of other information follows the
// records only when a contact has some. Empty when it has more contacts than a book may hold.
std::string EncodeAddressBook(const GroupList& groups, const ContactStore& contacts);

// Writes a book so that the file on disk is always the old or the new one.
// 1 on success; 0, with the old file untouched, when it cannot be written
// or holds more contacts than the reader accepts.
int WriteAddressBook(const PathString& path, const GroupList& groups, const ContactStore& contacts);
