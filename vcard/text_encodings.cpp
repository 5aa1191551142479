#include "vcard/text_encodings.h"

#include <utility>

#include "platform/gb18030.h"
#include "platform/platform.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"
#include "vcard/quoted_printable.h"

namespace {

struct CharsetName {
    std::string_view name;
    unsigned codePage;
};

// Names as cards write them, compared without regard to case.
const CharsetName CharsetNames[] = {
    {"UTF-8", Utf8CodePage},  {"UTF8", Utf8CodePage},     {"GB2312", GbkCodePage},  {"GBK", GbkCodePage},
    {"CP936", GbkCodePage},   {"X-GBK", GbkCodePage},     {"EUC-CN", GbkCodePage},  {"GB18030", Gb18030CodePage},
    {"BIG5", Big5CodePage},            {"BIG-5", Big5CodePage},             {"CP950", Big5CodePage},           {"BIG5-HKSCS", Big5CodePage},
    {"SHIFT_JIS", ShiftJisCodePage},       {"SHIFT-JIS", ShiftJisCodePage},         {"SJIS", ShiftJisCodePage},            {"X-SJIS", ShiftJisCodePage},
    {"CP932", ShiftJisCodePage},           {"WINDOWS-31J", ShiftJisCodePage},       {"MS_KANJI", ShiftJisCodePage},        {"EUC-JP", 20932},
    {"ISO-2022-JP", 50220},   {"EUC-KR", 51949},          {"KS_C_5601-1987", KoreanCodePage},  {"CP949", KoreanCodePage},
    {"KOI8-R", 20866},        {"US-ASCII", 20127},        {"ASCII", 20127},         {"ISO-8859-1", 28591},
    {"ISO8859-1", 28591},     {"ISO_8859-1", 28591},      {"LATIN1", 28591},        {"ISO-8859-2", 28592},
    {"ISO-8859-5", 28595},    {"ISO-8859-7", 28597},      {"ISO-8859-15", 28605},   {"WINDOWS-1250", 1250},
    {"WINDOWS-1251", 1251},   {"WINDOWS-1252", 1252},     {"CP1252", 1252},         {"WINDOWS-1253", 1253},
    {"WINDOWS-1254", 1254},   {"WINDOWS-1257", 1257},     {"WINDOWS-874", 874},     {"TIS-620", 874},
};

std::u16string TextFromCodePage(const std::string& bytes, unsigned codePage) {
    if (codePage == Utf8CodePage) return Utf8ToUtf16(bytes);
    if (codePage == Latin1CodePage) {
        std::u16string text;
        for (char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
        return text;
    }
    std::u16string text;
    if (codePage != GbkCodePage && CodePageToUtf16(codePage, bytes, text)) return text;
    return GbkToUtf16(bytes);
}

// "\\", "\;", "\," and "\n" or "\N" undone; a line break, escaped or
// not (quoted-printable's =0D=0A), is kept as LF, the book's line
// break, as the editor writes it. Any other backslash stays, with what follows it.
std::u16string Unescaped(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            char16_t next = text[i + 1];
            if (next == u'\\' || next == u';' || next == u',') {
                out += next;
                ++i;
                continue;
            }
            if (next == u'n' || next == u'N') {
                out += u'\n';
                ++i;
                continue;
            }
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        out += c == u'\r' ? u'\n' : c;
    }
    return out;
}

// Bytes that Escaped looks at: most texts hold none at all (a trail byte
// may be a backslash, but never one of the others).
bool HoldsEscapedBytes(const std::string& gbk) {
    for (char c : gbk) {
        if (c == '\\' || c == ';' || c == ',' || c == '\r' || c == '\n') return true;
    }
    return false;
}

// "\", ";" and "," with a backslash before them (a reader of vCard 3.0
// takes a bare "," in a name or an address for a list). A line break
// (LF, CR LF or CR) is "\n" in the plain form; the quoted-printable forms
// make it CR LF for their escapes, =0D=0A, which phones read.
// Walked by whole characters, so that a trail byte of a double-byte
// character is never taken for "\".
std::string Escaped(const std::string& gbk, VcardEncoding encoding) {
    if (!HoldsEscapedBytes(gbk)) return gbk;  // the usual text, as it is
    std::string out;
    out.reserve(gbk.size() + 8);
    for (size_t i = 0; i < gbk.size();) {
        size_t length = GbkCharacterLength(gbk.data() + i, gbk.size() - i);
        char c = gbk[i];
        if (length == 1 && (c == '\\' || c == ';' || c == ',')) out += '\\';
        if (length == 1 && (c == '\r' || c == '\n')) {
            if (c == '\r' && i + 1 < gbk.size() && gbk[i + 1] == '\n') ++i;
            out += encoding == Plain ? "\\n" : "\r\n";
        } else {
            out.append(gbk, i, length);
        }
        i += length;
    }
    return out;
}

// A backslash or a line break, which the text of a value turns into
// something else.
bool HoldsEscapeOrBreak(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\\' || c == '\r' || c == '\n') return true;
    }
    return false;
}

// Each byte is the character of its number, of up to four bytes in GBK.
void AppendLatin1AsGbk(std::string& out, std::string_view bytes) {
    out.reserve(out.size() + bytes.size() * 4);
    for (char c : bytes) AppendGb18030(out, static_cast<unsigned char>(c));
}

// The text of a value, escapes undone.
std::u16string VcardText(const std::string& bytes, unsigned codePage) {
    std::u16string text = TextFromCodePage(bytes, codePage);
    if (text.find_first_of(u"\\\r\n") != std::u16string::npos) text = Unescaped(text);
    return text;
}

}  // namespace

VcardEncoding VcardEncodingFromValue(int value) {
    return value == Utf8Qp || value == UnicodeQp ? static_cast<VcardEncoding>(value) : Plain;
}

const char* VcardEncodingParameters(VcardEncoding encoding) {
    switch (encoding) {
    case Utf8Qp: return ";ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8";
    case UnicodeQp: return ";ENCODING=QUOTED-PRINTABLE";
    case Plain: break;
    }
    return "";
}

unsigned CodePageOfCharset(const std::string& name) {
    for (const CharsetName& known : CharsetNames) {
        if (SameNoCase(name, known.name)) return known.codePage;
    }
    return 0;
}

std::string VcardTextToGbk(const std::string& bytes, unsigned codePage) {
    std::string out;
    VcardTextToGbkInto(bytes, codePage, out);
    return out;
}

void VcardTextToGbkInto(std::string_view bytes, unsigned codePage, std::string& out) {
    // A value without escapes or line breaks in UTF-8 (the usual value of
    // a 3.0 or 4.0 card, and of a phone's quoted-printable) or in Latin-1
    // goes straight to GBK, without UTF-16 between.
    out.clear();
    if (!HoldsEscapeOrBreak(bytes)) {
        if (codePage == Utf8CodePage) return AppendUtf8AsGb18030(out, bytes);
        if (codePage == Latin1CodePage) return AppendLatin1AsGbk(out, bytes);
    }
    out = Utf16ToGbk(VcardText(std::string(bytes), codePage));
}

std::string VcardNumberToGbk(const std::string& bytes, unsigned codePage) {
    return Utf16ToGbk(WithoutInvisibleMarks(VcardText(bytes, codePage)));
}

std::string EncodeVcardText(const std::string& gbk, VcardEncoding encoding) {
    std::string text = Escaped(gbk, encoding);
    switch (encoding) {
    case Utf8Qp: return EncodeQpBytes(HasNonAscii(text) ? Utf16ToUtf8(GbkToUtf16(text)) : std::move(text));  // ASCII is the same in both
    case UnicodeQp: return EncodeQpPairs(text);
    case Plain: break;
    }
    return text;
}

bool HasNonAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}
