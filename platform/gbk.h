// The bytes of GBK's (code page 936's) double-byte characters: a lead
// byte, then a trail byte. Any other byte stands alone.
#pragma once

const int GbkFirstLead = 0x81;
const int GbkLastLead = 0xFE;
const int GbkFirstTrail = 0x40;
const int GbkLastTrail = 0xFE;
const int GbkNoTrail = 0x7F;  // inside the trail range, yet no trail byte

inline bool IsGbkLead(unsigned char b) { return b >= GbkFirstLead && b <= GbkLastLead; }
inline bool IsGbkTrail(unsigned char b) { return b >= GbkFirstTrail && b <= GbkLastTrail && b != GbkNoTrail; }
