// UTF-8 to UTF-16 and back, the same on every system: no code page is
// involved, so the conversion needs no call into the operating system.
#include "platform/platform.h"

namespace {

const char16_t Replacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The code point of the well-formed sequence at text[i], its length in
// `length`; 0 with length 0 when the bytes there are no such sequence
// (an overlong form, a surrogate, a value above U+10FFFF, a cut sequence).
char32_t DecodeAt(const std::string& text, size_t i, size_t& length) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
        length = 0;
        return 0;
    }
    if (text.size() - i < length) length = 0;
    for (size_t k = 1; k < length; ++k) {
        unsigned char b = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(b)) length = 0;
        code = (code << 6) | (b & 0x3F);
    }
    if (length == 0 || code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        length = 0;
        return 0;
    }
    return code;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t code = DecodeAt(utf8, i, length);
        if (length == 0) {
            out += Replacement;
            ++i;
        } else if (code < 0x10000) {
            out += static_cast<char16_t>(code);
            i += length;
        } else {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            i += length;
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        bool high = c >= 0xD800 && c <= 0xDBFF;
        bool lowNext = i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
        if (high && lowNext) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = Replacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}
