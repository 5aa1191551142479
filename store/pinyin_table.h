// The Mandarin readings of GB 18030's characters, generated into
// store/pinyin_table.cpp by tools/make_pinyin_table.py from the Unicode
// Han Database. store/pinyin.h and store/pinyin.cpp read them; nothing else
// should.
#pragma once

#include <cstdint>

// Every double-byte code: lead bytes 0x81 to 0xFE, trail bytes 0x40 to 0xFE.
const int GbkCodeCount = 126 * 191;
// The longest syllable, "zhuang", and its terminator, with room to spare.
const int PinyinSyllableCapacity = 8;

extern const int PinyinSyllableCount;
extern const char PinyinSyllables[][PinyinSyllableCapacity];

extern const int ReadingSetCount;
extern const uint16_t ReadingSetStart[];
extern const uint16_t ReadingSetSyllables[];
extern const uint16_t ReadingSetOfGbk[GbkCodeCount];
extern const int FourByteReadingCount;
extern const uint32_t FourByteReadingCodes[];
extern const uint16_t FourByteReadingSets[];

// A surname of one or two characters and how it is read at the start of a
// name (the second syllable is used only by a two-character surname).
struct SurnameReading {
    const char* gbk;
    int characters;
    uint16_t syllables[2];
};
extern const SurnameReading SurnameReadings[];
extern const int SurnameReadingCount;
