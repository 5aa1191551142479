#include "vcard/text_encodings.h"

#include <string>

#include "platform/platform.h"
#include "store/fixed_text.h"
#include "vcard/text_operations.h"

namespace {

const char QpToken[] = "ENCODING=QUOTED-PRINTABLE";
const char Utf8Token[] = "CHARSET=UTF-8";

bool IsThreeByteLead(uint16_t unit) { return (unit & 0xFF) >= 0xE0 && (unit & 0xFF) <= 0xEF; }

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

VcardEncoding VcardEncodingOfProperty(const char* property) {
    if (!ContainsToken(property, QpToken)) return Plain;
    return ContainsToken(property, Utf8Token) ? Utf8Qp : UnicodeQp;
}

void Utf8ToGbk(const UnitString& in, char* out, size_t capacity) {
    std::u16string wide;
    int i = 0;
    while (i < UnitStringCapacity && in.units[i] != 0) {
        uint16_t unit = in.units[i];
        if (!IsThreeByteLead(unit)) {
            wide += static_cast<char16_t>(unit);
            ++i;
            continue;
        }
        if (i + 2 >= UnitStringCapacity || in.units[i + 1] == 0 || in.units[i + 2] == 0) break;
        wide += static_cast<char16_t>(((unit & 0x0F) << 12) | ((in.units[i + 1] & 0x3F) << 6) |
                                      (in.units[i + 2] & 0x3F));
        i += 3;
    }
    CopyToField(out, capacity, Utf16ToGbk(wide));
}

void GbkToUtf8(const char* gbk, UnitString& out) {
    std::u16string wide = GbkToUtf16(gbk).substr(0, MaxUtf8Characters);
    int n = 0;
    for (char16_t u : wide) {
        if (u < 0x80) {
            out.units[n++] = u;
        } else {
            out.units[n++] = static_cast<uint16_t>(0xE0 | (u >> 12));
            out.units[n++] = static_cast<uint16_t>(0x80 | ((u >> 6) & 0x3F));
            out.units[n++] = static_cast<uint16_t>(0x80 | (u & 0x3F));
        }
    }
    out.units[n] = 0;
}

void UnitsToBytes(const UnitString& in, char* out, size_t capacity) {
    if (capacity == 0) return;
    size_t n = 0;
    for (int i = 0; i < UnitStringCapacity && in.units[i] != 0 && n + 1 < capacity; ++i) {
        out[n++] = static_cast<char>(in.units[i] & 0xFF);
    }
    out[n] = '\0';
}

void WidenGbkBytes(const char* gbk, UnitString& out) {
    int n = 0;
    for (; gbk[n] != '\0' && n < UnitStringCapacity - 1; ++n) {
        out.units[n] = static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(gbk[n])));
    }
    out.units[n] = 0;
}

void EncodeVcardValue(VcardText& text, VcardEncoding encoding) {
    UnitString units;
    switch (encoding) {
    case Utf8Qp:
        GbkToUtf8(text, units);
        EncodeQpBytes(units, text, VcardTextCapacity);
        break;
    case UnicodeQp:
        WidenGbkBytes(text, units);
        EncodeQpPairs(units, text, VcardTextCapacity);
        break;
    case Plain:
        break;
    }
}

void DecodeVcardValue(VcardText& text, VcardEncoding encoding) {
    UnitString units;
    switch (encoding) {
    case Utf8Qp:
        DecodeQpBytes(text, units);
        Utf8ToGbk(units, text, VcardTextCapacity);
        break;
    case UnicodeQp:
        DecodeQpPairs(text, units);
        UnitsToBytes(units, text, VcardTextCapacity);
        break;
    case Plain:
        break;
    }
}
