// How Chinese characters are read aloud, for the quick search and the sort
// by name: the Mandarin readings of every GBK character, without tones,
// and the readings surnames take at the start of a name.
#pragma once

#include <cstddef>
#include <cstdint>

// The readings of one character: syllable numbers, the customary reading
// first. Empty for a character that has none (symbols, Latin, kana...).
struct CharacterReadings {
    const uint16_t* first;
    const uint16_t* last;
    uint32_t initials;  // bit c - 'a' for each letter c a reading begins with

    bool empty() const { return first == last; }
};

CharacterReadings ReadingsOf(unsigned char lead, unsigned char trail);

// A syllable in lowercase ASCII letters, ü written "v" ("lv", "nve").
const char* SyllableText(uint16_t syllable);

// The surname a name text begins with, when it is one of those read
// otherwise at the start of a name (单 shan, 万俟 mo qi...): the number of
// characters it covers (1 or 2) and their readings; 0 when none.
int SurnameReadingAt(const char* name, size_t length, uint16_t syllables[2]);
