// UTF-8 by hand, so that both systems read and write it alike.
#include "platform/platform.h"

#include "platform/gb18030.h"

namespace {

const char16_t Replacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts, 0 for a byte that starts none.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Walks the text: how many bytes the next character takes (1 when it is
// no character, which reads as U+FFFD) and whether it is strict UTF-8.
int NextCharacter(std::string_view text, size_t i, bool* valid, char32_t* c) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
    size_t left = text.size() - i;
    int length = SequenceLength(p[0]);
    bool whole = length > 0 && static_cast<size_t>(length) <= left;
    for (int k = 1; whole && k < length; ++k) whole = IsContinuation(p[k]);
    *valid = whole;
    *c = Replacement;
    if (!whole) return 1;
    switch (length) {
    case 1:
        *c = p[0];
        return length;
    case 2:
        *c = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        return length;
    case 3:
        *c = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        if (*c >= 0xD800 && *c <= 0xDFFF) break;  // a surrogate is no character
        // An overlong form is no strict UTF-8, but an earlier export wrote
        // "·" so, and it is read.
        *valid = *c >= 0x800;
        return length;
    default:
        *c = ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
        if (*c < 0x10000 || *c > 0x10FFFF) break;
        return length;
    }
    // Each byte of a sequence that spells no character stands for U+FFFD.
    *valid = false;
    *c = Replacement;
    return 1;
}

}  // namespace

// Character by character, without UTF-16 between: an import converts
// every UTF-8 value so.
std::string Utf8ToGb18030(std::string_view utf8) {
    std::string out;
    AppendUtf8AsGb18030(out, utf8);
    return out;
}

void AppendUtf8AsGb18030(std::string& out, std::string_view utf8) {
    out.reserve(out.size() + utf8.size() * 2);  // at most: a character of two bytes may take four
    for (size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out += utf8[i++];  // ASCII is the same in both
            continue;
        }
        bool valid;
        char32_t c;
        i += NextCharacter(utf8, i, &valid, &c);
        AppendGb18030(out, c);
    }
}

void AppendCodePoint(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        bool valid;
        char32_t c;
        i += NextCharacter(utf8, i, &valid, &c);
        AppendCodePoint(out, c);
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size() * 3);
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = Replacement;
        }
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
    return out;
}

bool IsValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        bool valid;
        char32_t c;
        i += NextCharacter(text, i, &valid, &c);
        if (!valid) return false;
    }
    return true;
}
