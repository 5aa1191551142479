// Quoted-printable as vCard files use it here: "=" and two hexadecimal
// digits for a byte, or two such escapes for a 16-bit unit. Encoders
// escape only values of 0x80 and above and never break lines; decoders
// keep only escapes, ASCII digits and ASCII letters.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for the units of one conversion, terminator included. A 0 unit
// ends the string wherever it stands.
const int UnitStringCapacity = 100;

// The intermediate form of every quoted-printable and UTF-8 conversion:
// 16-bit units holding either one byte each (UTF-8 or GBK bytes) or a
// value built from a pair of escapes.
struct UnitString {
    uint16_t units[UnitStringCapacity];
};

// Units before the terminator (all of them when it is missing).
int UnitCount(const UnitString& units);

// The value of the hexadecimal digits a and b: 0 when a is the
// terminator, digit(a) alone when b is. Upper- and lower-case digits are
// read alike; any other character counts as the digit 0.
uint16_t HexPairValue(char a, char b);

// Two upper-case hexadecimal digits of the value's low byte, terminated.
void ByteToHex(unsigned value, char out[3]);

// Decodes into one unit per byte: "=XY" gives the byte XY, an ASCII
// digit or letter itself; every other character is dropped, and so is an
// "=" followed by something that is not two hexadecimal digits. An escape
// cut short by the end of the text (a soft line break) ends the result.
// At most UnitStringCapacity - 1 units are decoded.
void DecodeQpBytes(const char* text, UnitString& out);

// As DecodeQpBytes, but a pair of escapes "=XY=ZW" gives the one unit
// 0xXYZW; the second "=" is not examined.
void DecodeQpPairs(const char* text, UnitString& out);

// Writes the units, escaping each of 0x80 and above as "=XY" (its low
// byte), into out, a buffer of `capacity` bytes. A unit is begun only
// while fewer than capacity - 5 characters have been written and only
// when its whole escape and the terminator still fit.
void EncodeQpBytes(const UnitString& in, char* out, size_t capacity);

// As EncodeQpBytes, but a unit of 0x80 and above is written as two
// escapes, its high byte then its low byte.
void EncodeQpPairs(const UnitString& in, char* out, size_t capacity);
