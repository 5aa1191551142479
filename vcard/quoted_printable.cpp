#include "vcard/quoted_printable.h"

namespace {

const uint16_t FirstEscapedUnit = 0x80;
// Encoders stop beginning units this many characters before the end of
// the buffer.
const size_t EncoderReserve = 5;

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

bool IsAsciiDigitOrLetter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// True when text[0..count) holds no terminator; checked in order, so
// nothing past a terminator is read.
bool HasCharacters(const char* text, int count) {
    for (int i = 0; i < count; ++i) {
        if (text[i] == '\0') return false;
    }
    return true;
}

enum EscapeKind { SingleEscapes, EscapePairs };

// The one walk behind both decoders.
void DecodeQp(const char* text, UnitString& out, EscapeKind kind) {
    const int escapeLength = kind == SingleEscapes ? 3 : 6;
    int n = 0;
    const char* p = text;
    while (*p != '\0' && n < UnitStringCapacity - 1) {
        char c = *p;
        if (c == '=') {
            // A soft line break or an escape cut short: the value ends here.
            if (!HasCharacters(p, escapeLength)) break;
            bool wellFormed = IsHexDigit(p[1]) && IsHexDigit(p[2]);
            if (kind == EscapePairs) wellFormed = wellFormed && IsHexDigit(p[4]) && IsHexDigit(p[5]);
            if (!wellFormed) {
                ++p;
                continue;
            }
            uint16_t unit = HexPairValue(p[1], p[2]);
            if (kind == EscapePairs) unit = static_cast<uint16_t>(((unit & 0xFF) << 8) | HexPairValue(p[4], p[5]));
            out.units[n++] = unit;
            p += escapeLength;
        } else {
            if (IsAsciiDigitOrLetter(c)) out.units[n++] = static_cast<unsigned char>(c);
            ++p;
        }
    }
    out.units[n] = 0;
}

void Encode(const UnitString& in, char* out, size_t capacity, EscapeKind kind) {
    if (capacity == 0) return;
    const size_t escapeLength = kind == SingleEscapes ? 3 : 6;
    const size_t limit = capacity > EncoderReserve ? capacity - EncoderReserve : 0;
    size_t written = 0;
    for (int i = 0; i < UnitStringCapacity && in.units[i] != 0 && written < limit; ++i) {
        uint16_t unit = in.units[i];
        if (unit < FirstEscapedUnit) {
            out[written++] = static_cast<char>(unit);
            continue;
        }
        if (written + escapeLength >= capacity) break;
        if (kind == EscapePairs) {
            out[written++] = '=';
            ByteToHex(unit >> 8, out + written);
            written += 2;
        }
        out[written++] = '=';
        ByteToHex(unit, out + written);
        written += 2;
    }
    out[written] = '\0';
}

}  // namespace

int UnitCount(const UnitString& units) {
    int n = 0;
    while (n < UnitStringCapacity && units.units[n] != 0) ++n;
    return n;
}

uint16_t HexPairValue(char a, char b) {
    if (a == '\0') return 0;
    int high = HexDigitValue(a) < 0 ? 0 : HexDigitValue(a);
    if (b == '\0') return static_cast<uint16_t>(high);
    int low = HexDigitValue(b) < 0 ? 0 : HexDigitValue(b);
    return static_cast<uint16_t>(high * 16 + low);
}

void ByteToHex(unsigned value, char out[3]) {
    static const char Digits[] = "0123456789ABCDEF";
    out[0] = Digits[(value >> 4) & 0x0F];
    out[1] = Digits[value & 0x0F];
    out[2] = '\0';
}

void DecodeQpBytes(const char* text, UnitString& out) { DecodeQp(text, out, SingleEscapes); }

void DecodeQpPairs(const char* text, UnitString& out) { DecodeQp(text, out, EscapePairs); }

void EncodeQpBytes(const UnitString& in, char* out, size_t capacity) { Encode(in, out, capacity, SingleEscapes); }

void EncodeQpPairs(const UnitString& in, char* out, size_t capacity) { Encode(in, out, capacity, EscapePairs); }
