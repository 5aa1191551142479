// GB 18030-2022 by table: the two-byte codes and the four-byte runs of the
// Basic Multilingual Plane come from the generated table, the four-byte
// codes beyond it are counted.
#include "platform/gb18030.h"

#include "platform/gb18030_table.h"
#include "platform/gbk.h"
#include "platform/platform.h"

#include <cstdint>

namespace {

const char16_t Replacement = 0xFFFD;
const unsigned char LoneEuroByte = 0x80;
const char16_t Euro = 0x20AC;
// The count of 90 30 81 30, the code of U+10000.
const unsigned SupplementaryFirstCount = ((((0x90 - 0x81) * 10 + 0) * 126 + 0) * 10 + 0);
const char32_t LastCharacter = 0x10FFFF;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// What each character of the plane is written as: below 0x80 itself,
// (lead << 8 | trail) for a two-byte code, FourByteMark | count for a
// four-byte one, 0 for a surrogate.
const uint32_t FourByteMark = 0x10000;

struct EncodeTable {
    uint32_t codeOf[0x10000];
};

const EncodeTable& Encoding() {
    static const EncodeTable* table = [] {
        auto* t = new EncodeTable();  // kept for the whole run
        for (unsigned c = 0; c < 0x80; ++c) t->codeOf[c] = c;
        for (int i = 0; i < Gb18030FourByteRunCount; ++i) {
            const Gb18030FourByteRun& run = Gb18030FourByteRuns[i];
            for (unsigned k = 0; k < run.length; ++k) t->codeOf[run.character + k] = FourByteMark | (run.first + k);
        }
        for (int i = 0; i < Gb18030TwoByteCount; ++i) {
            char32_t c = Gb18030TwoByteCharacters[i];
            if (c == 0 || c > 0xFFFF) continue;
            unsigned lead = GbkFirstLead + i / Gb18030TwoByteTrails;
            unsigned trail = GbkFirstTrail + i % Gb18030TwoByteTrails;
            t->codeOf[c] = lead << 8 | trail;
        }
        return t;
    }();
    return *table;
}

void AppendFourByteCode(std::string& out, unsigned count) {
    char code[4];
    code[3] = static_cast<char>(0x30 + count % 10);
    count /= 10;
    code[2] = static_cast<char>(0x81 + count % 126);
    count /= 126;
    code[1] = static_cast<char>(0x30 + count % 10);
    count /= 10;
    code[0] = static_cast<char>(0x81 + count);
    out.append(code, 4);
}

// A character beyond the plane: counted, but for the few with a two-byte code.
void AppendBeyondPlane(std::string& out, char32_t c) {
    for (int i = 0; i < Gb18030TwoByteBeyondPlaneCount; ++i) {
        if (Gb18030TwoByteBeyondPlaneCodes[i].character != c) continue;
        out += static_cast<char>(Gb18030TwoByteBeyondPlaneCodes[i].code >> 8);
        out += static_cast<char>(Gb18030TwoByteBeyondPlaneCodes[i].code & 0xFF);
        return;
    }
    AppendFourByteCode(out, SupplementaryFirstCount + static_cast<unsigned>(c - 0x10000));
}

void AppendPlaneCharacter(std::string& out, const EncodeTable& table, char16_t c) {
    uint32_t code = table.codeOf[c];
    if (code == 0 && c != 0) code = table.codeOf[Replacement];
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < FourByteMark) {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    } else {
        AppendFourByteCode(out, code & ~FourByteMark);
    }
}

// The character of a four-byte count; Replacement for a count no
// character has.
char32_t CharacterOfCount(unsigned count) {
    if (count >= SupplementaryFirstCount) {
        char32_t c = 0x10000 + (count - SupplementaryFirstCount);
        return c <= LastCharacter ? c : Replacement;
    }
    int low = 0;
    int high = Gb18030FourByteRunCount;
    while (low < high) {  // the first run that starts after the count
        int middle = (low + high) / 2;
        if (Gb18030FourByteRuns[middle].first <= count) low = middle + 1;
        else high = middle;
    }
    if (low == 0) return Replacement;
    const Gb18030FourByteRun& run = Gb18030FourByteRuns[low - 1];
    return count < run.first + run.length ? run.character + (count - run.first) : Replacement;
}

}  // namespace

std::u16string Gb18030ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        unsigned char b = p[i];
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        size_t length = Gb18030CharacterLength(p + i, size - i);
        if (length == 2) {
            char32_t c = Gb18030TwoByteCharacters[(b - GbkFirstLead) * Gb18030TwoByteTrails + (p[i + 1] - GbkFirstTrail)];
            AppendCodePoint(out, c != 0 ? c : Replacement);
        } else if (length == 4) {
            unsigned count = (((b - 0x81) * 10 + (p[i + 1] - 0x30)) * 126 + (p[i + 2] - 0x81)) * 10 + (p[i + 3] - 0x30);
            AppendCodePoint(out, CharacterOfCount(count));
        } else {
            out += b == LoneEuroByte ? Euro : Replacement;
        }
        i += length;
    }
    return out;
}

void AppendGb18030(std::string& out, char32_t c) {
    if (c < 0x10000) {
        AppendPlaneCharacter(out, Encoding(), static_cast<char16_t>(c));
    } else if (c <= LastCharacter) {
        AppendBeyondPlane(out, c);
    } else {
        AppendPlaneCharacter(out, Encoding(), Replacement);
    }
}

std::string Utf16ToGb18030(std::u16string_view units) {
    const EncodeTable& table = Encoding();
    std::string out;
    out.reserve(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t unit = units[i];
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            char32_t c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            AppendBeyondPlane(out, c);
            ++i;
        } else {
            AppendPlaneCharacter(out, table, unit);  // a lone surrogate has no code: U+FFFD's
        }
    }
    return out;
}

std::string Gb18030ToUtf8(std::string_view bytes) { return Utf16ToUtf8(Gb18030ToUtf16(bytes)); }

// The book's text is GB 18030; these keep the names the program has
// always called them by.
std::u16string GbkToUtf16(const std::string& gbk) { return Gb18030ToUtf16(gbk); }
std::string Utf16ToGbk(const std::u16string& units) { return Utf16ToGb18030(units); }

bool CodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out) {
    const unsigned GbkCodePage = 936;
    const unsigned Gb18030CodePage = 54936;
    if (codePage == GbkCodePage || codePage == Gb18030CodePage) {
        out = Gb18030ToUtf16(bytes);
        return true;
    }
    return SystemCodePageToUtf16(codePage, bytes, out);
}
