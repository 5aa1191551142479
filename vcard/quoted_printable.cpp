#include "vcard/quoted_printable.h"

#include "store/fixed_text.h"

namespace {

bool IsEscapeAt(std::string_view text, size_t i) {
    return text[i] == '=' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
           HexDigitValue(text[i + 2]) >= 0;
}

unsigned char EscapedByte(std::string_view text, size_t i) {
    return static_cast<unsigned char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
}

// A pair begins at i when two escapes follow one another and the first is FF or 00.
bool IsPairAt(std::string_view text, size_t i) {
    if (!IsEscapeAt(text, i) || i + 5 >= text.size() || !IsEscapeAt(text, i + 3)) return false;
    unsigned char high = EscapedByte(text, i);
    return high == 0xFF || high == 0x00;
}

// Byte by byte into room the caller reserved: cheaper than an append of
// three bytes, and a phone's value is mostly escapes.
void AppendEscape(std::string& out, unsigned char byte) {
    static const char Digits[] = "0123456789ABCDEF";
    out += '=';
    out += Digits[byte >> 4];
    out += Digits[byte & 0x0F];
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void ByteToHex(unsigned value, char out[3]) {
    static const char Digits[] = "0123456789ABCDEF";
    out[0] = Digits[(value >> 4) & 0x0F];
    out[1] = Digits[value & 0x0F];
    out[2] = '\0';
}

std::string DecodeQpBytes(std::string_view text) {
    std::string out;
    DecodeQpBytesInto(text, out);
    return out;
}

void DecodeQpBytesInto(std::string_view text, std::string& out) {
    out.resize(text.size());  // decoding never lengthens a text
    size_t n = 0;
    for (size_t i = 0; i < text.size();) {
        // Each digit read once: most of a phone's value is escapes.
        int high = text[i] == '=' && i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            out[n++] = static_cast<char>(high * 16 + low);
            i += 3;
        } else {
            out[n++] = text[i++];
        }
    }
    out.resize(n);
}

bool IsQpPairs(std::string_view text) {
    bool anyEscape = false;
    for (size_t i = 0; i < text.size();) {
        if (IsPairAt(text, i)) {
            anyEscape = true;
            i += 6;
        } else if (IsEscapeAt(text, i)) {
            return false;
        } else {
            ++i;
        }
    }
    return anyEscape;
}

std::string DecodeQpPairs(std::string_view text) {
    std::string out;
    DecodeQpPairsInto(text, out);
    return out;
}

void DecodeQpPairsInto(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (IsPairAt(text, i)) {
            out += static_cast<char>(EscapedByte(text, i + 3));
            i += 6;
        } else {
            out += text[i++];
        }
    }
}

bool QpMustEscape(const std::string& bytes, size_t i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    // Control bytes too: a raw CR or LF would end the line.
    if (b >= 0x80 || b == '=' || (b < 0x20 && b != '\t')) return true;
    return (b == ' ' || b == '\t') && i + 1 == bytes.size();
}

std::string EncodeQpBytes(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (QpMustEscape(bytes, i)) {
            AppendEscape(out, static_cast<unsigned char>(bytes[i]));
        } else {
            out += bytes[i];
        }
    }
    return out;
}

std::string EncodeQpPairs(const std::string& gbk) {
    std::string out;
    out.reserve(gbk.size() * 6);
    for (size_t i = 0; i < gbk.size();) {
        size_t length = GbkCharacterLength(gbk.data() + i, gbk.size() - i);
        for (size_t k = i; k < i + length; ++k) {
            unsigned char b = static_cast<unsigned char>(gbk[k]);
            if (length > 1 || QpMustEscape(gbk, k)) {
                AppendEscape(out, b >= 0x80 ? 0xFF : 0x00);
                AppendEscape(out, b);
            } else {
                out += gbk[k];
            }
        }
        i += length;
    }
    return out;
}
