// Books of random contacts for property tests and interrupted saves: any
// bytes in any field, terminated or not, and any integers.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "store/document.h"

// A record whose every text field holds random GBK, ASCII or odd bytes,
// sometimes empty, sometimes filling its whole width without a terminator,
// sometimes with bytes after an early terminator; Gender, GroupIndex and
// the flags take any 32-bit value.
ContactRecord RandomRecord(std::mt19937& random);

// A group whose 16 name bytes are random the same way.
Group RandomGroup(std::mt19937& random);

// A document of `records` random contacts in a few random groups, the
// same for the same seed.
Document RandomBook(uint32_t seed, int records);

// The two large books the interrupted-save test and its writer share, and
// their size.
const uint32_t FullBookSeeds[2] = {512001, 512002};
const int FullBookSize = 512;

// The text a field of `width` bytes keeps of its raw bytes: what comes
// before the first NUL, cut to the longest run of whole GBK characters
// that leaves room for the terminator.
std::string KeptText(const char* bytes, size_t width);
