// What must hold whatever bytes a reader was given. A check that fails
// prints what broke and aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/address_book_file.h"
#include "store/groups.h"

// Aborts with `what` when the condition is false.
void Require(bool condition, const char* what);

// The document a reader starts from: the five default groups and one
// contact that a successful read must replace.
void StartDocument(Document& document);

// Reads a book from bytes in memory, as ReadAddressBook reads a file.
LoadResult ReadBookFromBytes(const uint8_t* data, size_t size, GroupList& groups, ContactStore& contacts);

// Every field of every contact terminated within its width, no more than
// MaxRecords contacts, and the bytes WriteAddressBook would put on disk
// read back to the same groups and contacts.
void CheckDocument(const GroupList& groups, const ContactStore& contacts);
