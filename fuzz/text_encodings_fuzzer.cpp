// Any bytes through the quoted-printable and UTF-8 conversions of vCard
// values. The first byte chooses the size (1 to 256) of the buffers the
// low-level conversions write into; the rest, up to a NUL and cut to 255
// bytes, is the text. Buffers are allocated at their exact sizes so that
// a read or write one unit too far is caught. Checked:
// - every result is terminated within its buffer, and a UnitString holds
//   at most 99 units;
// - GbkToUtf8 gives whole three-byte sequences for at most 33 characters,
//   and Utf8ToGbk turns them back into the same text;
// - each encode pipeline gives ASCII within 255 bytes, and decoding it
//   gives back every character the encoding carries (escaped bytes or
//   characters, ASCII letters and digits), all of them when the encoder
//   had room, else the first ones.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "platform/platform.h"
#include "vcard/text_encodings.h"

namespace {

// A buffer of exactly `size` bytes on the heap.
std::unique_ptr<char[]> Buffer(size_t size) { return std::unique_ptr<char[]>(new char[size]); }

bool TerminatedWithin(const char* text, size_t capacity) { return std::memchr(text, '\0', capacity) != nullptr; }

bool IsAsciiLetterOrDigit(unsigned c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What survives quoted-printable: escaped values and ASCII letters and digits.
bool Survives(unsigned value) { return value >= 0x80 || IsAsciiLetterOrDigit(value); }

bool IsAscii(const char* text) {
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80) return false;
    }
    return true;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// Units from the text's bytes taken in pairs, over and over, so that the
// string ends only where a pair is zero (or is empty with the text).
void UnitsFromText(const std::string& text, UnitString& units) {
    for (int i = 0; i < UnitStringCapacity; ++i) {
        if (text.empty()) {
            units.units[i] = 0;
            continue;
        }
        unsigned char low = static_cast<unsigned char>(text[(2 * i) % text.size()]);
        unsigned char high = static_cast<unsigned char>(text[(2 * i + 1) % text.size()]);
        units.units[i] = static_cast<uint16_t>(high << 8 | low);
    }
}

void CheckUnitString(const UnitString& units, const char* what) {
    Require(UnitCount(units) < UnitStringCapacity, what);
}

// The decoders, and the conversions from a UnitString into a buffer of
// `capacity` bytes, on units that may have no terminator at all.
void CheckLowLevel(const std::string& text, size_t capacity) {
    auto units = std::make_unique<UnitString>();
    DecodeQpBytes(text.c_str(), *units);
    CheckUnitString(*units, "DecodeQpBytes left no terminator within 100 units");
    for (int i = 0; i < UnitCount(*units); ++i) Require(units->units[i] <= 0xFF, "DecodeQpBytes gave a unit above a byte");
    DecodeQpPairs(text.c_str(), *units);
    CheckUnitString(*units, "DecodeQpPairs left no terminator within 100 units");
    WidenGbkBytes(text.c_str(), *units);
    CheckUnitString(*units, "WidenGbkBytes left no terminator within 100 units");

    UnitsFromText(text, *units);
    auto out = Buffer(capacity);
    Utf8ToGbk(*units, out.get(), capacity);
    Require(TerminatedWithin(out.get(), capacity), "Utf8ToGbk wrote no terminator within its buffer");
    UnitsToBytes(*units, out.get(), capacity);
    Require(TerminatedWithin(out.get(), capacity), "UnitsToBytes wrote no terminator within its buffer");
    EncodeQpBytes(*units, out.get(), capacity);
    Require(TerminatedWithin(out.get(), capacity), "EncodeQpBytes wrote no terminator within its buffer");
    EncodeQpPairs(*units, out.get(), capacity);
    Require(TerminatedWithin(out.get(), capacity), "EncodeQpPairs wrote no terminator within its buffer");
}

// GbkToUtf8 and back: whole sequences, at most 33 characters, the same text.
void CheckUtf8(const std::string& text) {
    auto units = std::make_unique<UnitString>();
    GbkToUtf8(text.c_str(), *units);
    CheckUnitString(*units, "GbkToUtf8 left no terminator within 100 units");
    int characters = 0;
    for (int i = 0; i < UnitCount(*units); ++characters) {
        uint16_t unit = units->units[i];
        if (unit < 0x80) {
            ++i;
            continue;
        }
        Require(unit >= 0xE0 && unit <= 0xEF && i + 2 < UnitCount(*units), "GbkToUtf8 gave a broken sequence");
        for (int k = 1; k <= 2; ++k) {
            Require(units->units[i + k] >= 0x80 && units->units[i + k] <= 0xBF, "GbkToUtf8 gave a broken sequence");
        }
        i += 3;
    }
    Require(characters <= MaxUtf8Characters, "GbkToUtf8 encoded more than 33 characters");

    auto back = Buffer(VcardTextCapacity);
    Utf8ToGbk(*units, back.get(), VcardTextCapacity);
    std::string expected = Utf16ToGbk(GbkToUtf16(text).substr(0, MaxUtf8Characters));
    Require(expected == back.get(), "Utf8ToGbk did not give back what GbkToUtf8 encoded");
}

// Encoding then decoding `text` (which holds no "=", since an "=" is
// written as itself and read as the start of an escape).
void CheckRoundTrip(const std::string& text, VcardEncoding encoding) {
    std::unique_ptr<char[]> buffer = Buffer(VcardTextCapacity);
    VcardText& value = *reinterpret_cast<VcardText*>(buffer.get());
    std::strcpy(value, text.c_str());
    EncodeVcardValue(value, encoding);
    Require(TerminatedWithin(value, VcardTextCapacity), "an encoded value is not terminated");
    if (encoding == Plain) Require(text == value, "Plain changed the text");
    if (encoding != Plain) Require(IsAscii(value), "an encoded value holds a byte above ASCII");

    // What the decoder should give back, and how long the whole encoding is.
    std::string carried;
    size_t encodedLength = 0;
    if (encoding == Utf8Qp) {
        std::u16string characters = GbkToUtf16(text).substr(0, MaxUtf8Characters);
        std::u16string kept;
        for (char16_t c : characters) {
            encodedLength += c < 0x80 ? 1 : 9;
            if (Survives(c)) kept += c;
        }
        carried = Utf16ToGbk(kept);
    } else if (encoding == UnicodeQp) {
        for (size_t i = 0; i < text.size() && i < UnitStringCapacity - 1; ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            encodedLength += c < 0x80 ? 1 : 6;
            if (Survives(c)) carried += text[i];
        }
    } else {
        carried = text;
    }

    DecodeVcardValue(value, encoding);
    Require(TerminatedWithin(value, VcardTextCapacity), "a decoded value is not terminated");
    const size_t encoderLimit = VcardTextCapacity - 5;
    if (encodedLength <= encoderLimit) {
        Require(carried == value, "a value did not come back through its encoding");
    } else {
        Require(StartsWith(carried, value), "a value cut by the encoder did not come back as its start");
    }
}

// Decoding any text: terminated, and no longer than its units allow.
void CheckDecode(const std::string& text, VcardEncoding encoding) {
    std::unique_ptr<char[]> buffer = Buffer(VcardTextCapacity);
    VcardText& value = *reinterpret_cast<VcardText*>(buffer.get());
    std::strcpy(value, text.c_str());
    DecodeVcardValue(value, encoding);
    Require(TerminatedWithin(value, VcardTextCapacity), "a decoded value is not terminated");
    size_t length = std::strlen(value);
    // At most 99 units, each one byte, or for UTF-8 one character of at most two GBK bytes.
    if (encoding == UnicodeQp) Require(length < UnitStringCapacity, "a UnicodeQp value decoded to more than 99 bytes");
    if (encoding == Utf8Qp) Require(length < 2 * UnitStringCapacity, "a Utf8Qp value decoded to more than 99 characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    size_t capacity = 1 + input.TakeByte();
    std::string text = input.Rest();
    text = text.substr(0, text.find('\0')).substr(0, VcardTextCapacity - 1);

    CheckLowLevel(text, capacity);
    CheckUtf8(text);
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        CheckDecode(text, encoding);
        if (text.find('=') == std::string::npos) CheckRoundTrip(text, encoding);
    }
    return 0;
}
