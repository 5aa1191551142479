// Quoted-printable as vCard files use it: "=" and two hexadecimal digits
// stand for a byte, every other character for itself. The program's own
// Unicode-QP form writes each escaped byte as a pair of escapes, "=FF=XY"
// for a byte XY of 0x80 and above and "=00=XY" for one below.
#pragma once

#include <string>
#include <string_view>

// The value of a hexadecimal digit in either case; -1 for any other character.
int HexDigitValue(char c);

// Two upper-case hexadecimal digits of the value's low byte, terminated.
void ByteToHex(unsigned value, char out[3]);

// "=XY" gives the byte XY; every other character, an "=" that is not
// followed by two hexadecimal digits included, stands for itself.
std::string DecodeQpBytes(std::string_view text);
// The same into out, whose room is kept for the next value.
void DecodeQpBytesInto(std::string_view text, std::string& out);

// True when the text has escapes and every one of them is the first or
// second half of a Unicode-QP pair ("=FF=XY" or "=00=XY"): a value
// written by this program's Unicode-QP export, not ordinary
// quoted-printable.
bool IsQpPairs(std::string_view text);

// Decodes Unicode-QP: a pair gives the byte of its second escape; every
// other character stands for itself.
std::string DecodeQpPairs(std::string_view text);
void DecodeQpPairsInto(std::string_view text, std::string& out);

// Which bytes an encoder escapes besides those of 0x80 and above: "="
// always, a control byte (CR and LF among them) but the tab, and a space or
// tab that ends the value, which a reader would drop with the line's
// trailing white space.
bool QpMustEscape(const std::string& bytes, size_t i);

// Escapes what QpMustEscape names as "=XY"; nothing else changes and no
// line is broken.
std::string EncodeQpBytes(const std::string& bytes);

// Unicode-QP of a GBK text: what QpMustEscape names, and the second byte
// of every double-byte character, become pairs of escapes.
std::string EncodeQpPairs(const std::string& gbk);
