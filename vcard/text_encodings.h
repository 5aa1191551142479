// The three forms a vCard value can take, and the conversions between
// GBK, UTF-16 and UTF-8 behind them. Every buffer here has a fixed size
// and belongs to the caller; every conversion stops at a fixed limit and
// leaves a terminated result.
#pragma once

#include <cstddef>

#include "vcard/quoted_printable.h"

// What the vCard reader and writer pass to these conversions: at most 255
// bytes of text and the terminator.
const size_t VcardTextCapacity = 256;
using VcardText = char[VcardTextCapacity];

// Also the item indexes of the export dialog's encoding list.
enum VcardEncoding {
    Plain = 0,      // the GBK bytes themselves
    Utf8Qp = 1,     // UTF-8 bytes, those of 0x80 and above escaped
    UnicodeQp = 2,  // each GBK byte of 0x80 and above as the escapes =FF=XY
};
const int VcardEncodingCount = 3;

// The encoding with that value; Plain for any value outside 0 to 2.
VcardEncoding VcardEncodingFromValue(int value);

// The parameters written after a property name: "",
// ";ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8" or ";ENCODING=QUOTED-PRINTABLE".
const char* VcardEncodingParameters(VcardEncoding encoding);

// The encoding a property part (the text before the first ":") announces.
VcardEncoding VcardEncodingOfProperty(const char* property);

// GbkToUtf8 encodes at most this many UTF-16 units of its input, so that
// three bytes each fit a UnitString.
const int MaxUtf8Characters = 33;

// UTF-8 byte units to GBK text in out (`capacity` bytes). Three-byte
// sequences are decoded without checking their continuation bytes; every
// other unit stands for the UTF-16 unit of the same value. At most
// UnitStringCapacity units are read; a three-byte sequence cut short by
// the end is left out. A character GBK cannot spell becomes "?"; the
// result is cut at a whole GBK character.
void Utf8ToGbk(const UnitString& in, char* out, size_t capacity);

// The first MaxUtf8Characters UTF-16 units of a GBK text as UTF-8 byte
// units, every non-ASCII character as three bytes (U+00B7 gives E0 82 B7).
void GbkToUtf8(const char* gbk, UnitString& out);

// The low byte of each unit, terminated, into out (`capacity` bytes).
void UnitsToBytes(const UnitString& in, char* out, size_t capacity);

// Each byte of a GBK text as one unit, sign-extended, so that bytes of
// 0x80 and above become 0xFF80 to 0xFFFF; cut at the UnitString's room.
void WidenGbkBytes(const char* gbk, UnitString& out);

// The four pipelines, each replacing the text in its buffer:
// Utf8Qp: GbkToUtf8 then EncodeQpBytes / DecodeQpBytes then Utf8ToGbk;
// UnicodeQp: WidenGbkBytes then EncodeQpPairs / DecodeQpPairs then
// UnitsToBytes. Plain leaves the text alone.
void EncodeVcardValue(VcardText& text, VcardEncoding encoding);
void DecodeVcardValue(VcardText& text, VcardEncoding encoding);
