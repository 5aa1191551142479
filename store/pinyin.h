// How Chinese characters are read aloud, for the quick search and the sort
// by name: the Mandarin readings of every character of the book's text
// (GB 18030: two-byte codes and four-byte ones), without tones,
// and the readings surnames take at the start of a name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/pinyin_table.h"

// The readings of one character: syllable numbers, the customary reading
// first. Empty for a character that has none (symbols, Latin, kana...).
struct CharacterReadings {
    const uint16_t* first;
    const uint16_t* last;
    uint32_t initials;  // bit c - 'a' for each letter c a reading begins with

    bool empty() const { return first == last; }
};

CharacterReadings ReadingsOf(unsigned char lead, unsigned char trail);
// The reading set of a four-byte code (its four bytes); 0 for none.
int FourByteReadingSet(const unsigned char* code);
// The readings of the character of `length` bytes at text (two or four);
// empty for any other.
CharacterReadings ReadingsOfCharacter(const char* text, size_t length);
// Characters of the same readings share a reading set: the set of every
// double-byte code (by GbkCodeIndex), and the readings of a set (without
// the initials). Sets are numbered from 0 (no readings) to
// ReadingSetTotal() - 1.
const uint16_t* GbkReadingSetTable();
int ReadingSetTotal();
// Inline: the quick search asks for one at most characters it passes.
inline CharacterReadings ReadingsOfSet(int set) {
    return {ReadingSetSyllables + ReadingSetStart[set], ReadingSetSyllables + ReadingSetStart[set + 1], 0};
}

// The `initials` of every double-byte code, indexed by GbkCodeIndex: the
// quick search looks at nothing else for most characters.
const uint32_t* GbkInitialsTable();
inline int GbkCodeIndex(unsigned char lead, unsigned char trail) { return (lead - 0x81) * 191 + (trail - 0x40); }

// A syllable in lowercase ASCII letters, ü written "v" ("lv", "nve");
// syllables are numbered from 0 to SyllableCount() - 1.
const char* SyllableText(uint16_t syllable);
int SyllableCount();

// The surname a name text begins with, when it is one of those read
// otherwise at the start of a name (单 shan, 万俟 mo qi...): the number of
// characters it covers (1 or 2) and their readings; 0 when none.
int SurnameReadingAt(const char* name, size_t length, uint16_t syllables[2]);
