// The tables tools/make_gb18030_table.py generates from GB 18030-2022.
#pragma once

const int Gb18030TwoByteTrails = 0xFE - 0x40 + 1;
const int Gb18030TwoByteCount = (0xFE - 0x81 + 1) * Gb18030TwoByteTrails;
extern const char32_t Gb18030TwoByteCharacters[Gb18030TwoByteCount];

struct Gb18030TwoByteBeyondPlane {
    char32_t character;
    unsigned short code;  // lead << 8 | trail
};
extern const Gb18030TwoByteBeyondPlane Gb18030TwoByteBeyondPlaneCodes[];
extern const int Gb18030TwoByteBeyondPlaneCount;

// Four-byte codes of the Basic Multilingual Plane: `length` codes from
// the count `first` (81 30 81 30 counting 0) are the characters from
// `character` on. Sorted by count.
struct Gb18030FourByteRun {
    unsigned first;
    char16_t character;
    unsigned short length;
};
extern const Gb18030FourByteRun Gb18030FourByteRuns[];
extern const int Gb18030FourByteRunCount;
