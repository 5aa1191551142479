// Any bytes through the conversions of vCard values. The first byte
// chooses the code page a value is read in; the rest is the text.
// Checked:
// - quoted-printable in both forms gives back exactly the bytes it
//   encoded, and its escapes are recognised as the form they are;
// - UTF-8 written from UTF-16 is strict and reads back the same, and
//   strict UTF-8 read and written again is unchanged;
// - GB 18030: what any bytes read as writes back to bytes that read the
//   same; UTF-16 without lone surrogates and private use reads back from
//   its GB 18030 exactly; no byte sequence, however broken, takes the
//   character after it;
// - any bytes in any code page convert without harm;
// - a contact's text (any GBK that converts to UTF-16 and back, without
//   line breaks) goes through each export encoding and the reader's line
//   parser and comes back as the field holds it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "platform/gb18030.h"
#include "platform/platform.h"
#include "store/fixed_text.h"
#include "vcard/quoted_printable.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_reader.h"

namespace {

const unsigned CodePages[] = {Utf8CodePage, GbkCodePage, 54936, 950, 932, 28591, 1252, 20127, 0};

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool HasLoneSurrogate(const std::u16string& units) {
    for (size_t i = 0; i < units.size(); ++i) {
        bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            return true;
        }
    }
    return false;
}

void CheckQuotedPrintable(const std::string& bytes) {
    std::string single = EncodeQpBytes(bytes);
    Require(IsAscii(single), "EncodeQpBytes wrote a byte of 0x80 or above");
    Require(DecodeQpBytes(single) == bytes, "quoted-printable did not give back its bytes");
    std::string pairs = EncodeQpPairs(bytes);
    Require(DecodeQpPairs(pairs) == bytes, "Unicode-QP did not give back its bytes");
    Require(IsQpPairs(pairs) == (pairs != bytes), "Unicode-QP escapes were not recognised as pairs");
    DecodeQpBytes(bytes);
    DecodeQpPairs(bytes);
    IsQpPairs(bytes);
}

void CheckUtf8(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    if (!HasLoneSurrogate(units)) {
        std::string utf8 = Utf16ToUtf8(units);
        Require(IsValidUtf8(utf8), "UTF-8 written from UTF-16 is not strict");
        Require(Utf8ToUtf16(utf8) == units, "UTF-8 did not read back as it was written");
    }
    std::u16string read = Utf8ToUtf16(bytes);
    if (IsValidUtf8(bytes)) Require(Utf16ToUtf8(read) == bytes, "strict UTF-8 changed when read and written");
}

void CheckGb18030(const std::string& bytes) {
    std::u16string read = Gb18030ToUtf16(bytes);
    std::string written = Utf16ToGb18030(read);
    Require(Gb18030ToUtf16(written) == read, "GB 18030 written from what was read reads otherwise");
    Require(Gb18030ToUtf16(bytes + "\n" + Utf16ToGb18030(u"张")) == read + u"\n张",
            "a broken GB 18030 sequence took the character after it");
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    bool privateUse = false;
    for (char16_t unit : units) privateUse = privateUse || (unit >= 0xE000 && unit <= 0xF8FF);
    if (!HasLoneSurrogate(units) && !privateUse) {
        Require(Gb18030ToUtf16(Utf16ToGb18030(units)) == units, "UTF-16 did not come back from GB 18030");
    }
}

void CheckContactText(const std::string& bytes) {
    std::string text;
    for (char c : Utf16ToGbk(GbkToUtf16(bytes))) {
        if (c != '\r' && c != '\n' && c != '\0') text += c;
    }
    if (Utf16ToGbk(GbkToUtf16(text)) != text) return;  // not text the program would hold
    // A reader trims white space at the end of a line; the quoted-printable
    // forms keep it as an escape, a plain value loses it.
    std::string plain = text.substr(0, text.find_last_not_of(" \t") + 1);
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        char expected[sizeof ContactRecord{}.Email];
        CopyToField(expected, sizeof expected, encoding == Plain ? plain : text);
        std::string line = std::string("EMAIL") + VcardEncodingParameters(encoding) + ":" +
                           EncodeVcardText(text, encoding);
        VcardCard card = NewVcardCard();
        ParseVcardLine(line.c_str(), card);
        Require(FieldValue(card.record, Email) == expected, "a text did not come back through an encoding");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    unsigned codePage = CodePages[input.TakeByte() % (sizeof CodePages / sizeof CodePages[0])];
    std::string bytes = input.Rest();
    CheckQuotedPrintable(bytes);
    CheckUtf8(bytes);
    CheckGb18030(bytes);
    VcardTextToGbk(bytes, codePage);
    CheckContactText(bytes.substr(0, 400));
    return 0;
}
