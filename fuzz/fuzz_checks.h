// What must hold whatever bytes a reader was given. A check that fails
// prints what broke and aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "store/address_book_file.h"
#include "store/document.h"

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

// An input whose first bytes choose how a harness runs and whose rest is
// the text or file it reads.
struct FuzzInput {
    const uint8_t* data;
    size_t size;

    // The next byte, taken off the front; 0 once the input is used up.
    uint8_t TakeByte();
    std::string Rest() const { return std::string(reinterpret_cast<const char*>(data), size); }
};

// A file of this name in a private folder of the run, removed at exit.
// Harnesses whose readers take a path read their inputs from there.
std::string ScratchFile(const char* name);

// Replaces the file with the bytes.
void WriteScratchFile(const std::string& path, const std::string& bytes);

// The contacts in the store before an import, chosen by one byte: most
// often none, sometimes one, sometimes all but two of a capacity lowered to
// FuzzBookCapacity, so that imports also meet a store that fills up. Returns how many there are.
const int FuzzBookCapacity = 512;
int FillStoreBeforeImport(uint8_t choice, ContactStore& store);

// What an import appended to the document's first `before` contacts:
// `imported` new contacts, each in a group of the book, unticked, with gender 0 or 1;
// the store full when `notImported` contacts had to be left out; and the
// new contacts pass CheckDocument (checked on their own, so that a store
// filled beforehand costs no time).
void CheckImport(const Document& document, int before, int imported, int notImported);
