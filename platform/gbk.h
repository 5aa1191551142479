// The bytes of GBK's (code page 936's) double-byte characters: a lead
// byte, then a trail byte; and GB 18030's four-byte characters: a lead
// byte, a digit, a lead byte, a digit. Any other byte stands alone.
#pragma once

#include <cstddef>

const int GbkFirstLead = 0x81;
const int GbkLastLead = 0xFE;
const int GbkFirstTrail = 0x40;
const int GbkLastTrail = 0xFE;
const int GbkNoTrail = 0x7F;  // inside the trail range, yet no trail byte

inline bool IsGbkLead(unsigned char b) { return b >= GbkFirstLead && b <= GbkLastLead; }
inline bool IsGbkTrail(unsigned char b) { return b >= GbkFirstTrail && b <= GbkLastTrail && b != GbkNoTrail; }

inline bool IsGb18030Digit(unsigned char b) { return b >= 0x30 && b <= 0x39; }

// The length of the character at p: 4, 2, or 1 (also for a byte that
// starts no whole character), never more than available.
inline size_t Gb18030CharacterLength(const unsigned char* p, size_t available) {
    if (available < 2 || !IsGbkLead(p[0])) return available == 0 ? 0 : 1;
    if (IsGbkTrail(p[1])) return 2;
    if (available >= 4 && IsGb18030Digit(p[1]) && IsGbkLead(p[2]) && IsGb18030Digit(p[3])) return 4;
    return 1;
}
