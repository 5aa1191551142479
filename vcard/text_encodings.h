// The forms a vCard value takes on the way between a contact's GBK text
// and a file: the three encodings of the export, the character sets a
// card may name, and the backslash escapes of vCard text.
#pragma once

#include <string>
#include <string_view>

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

// The code pages the reader converts from.
const unsigned Utf8CodePage = 65001;
const unsigned GbkCodePage = 936;
const unsigned Latin1CodePage = 28591;
const unsigned Gb18030CodePage = 54936;
const unsigned Big5CodePage = 950;
const unsigned ShiftJisCodePage = 932;
const unsigned KoreanCodePage = 949;

// The Windows code page of a CHARSET name in any case ("UTF-8", "GB2312",
// "Big5", "Shift_JIS", "ISO-8859-1", ...); 0 for a name it does not know.
unsigned CodePageOfCharset(const std::string& name);

// One text of a card: the value bytes (quoted-printable already undone)
// in the given code page, with the escapes "\\", "\;", "\," and "\n"
// undone, as GBK. A line break, escaped or not, becomes LF; a character GBK lacks
// becomes "?". Bytes in a code page this system cannot convert are read
// as GBK.
std::string VcardTextToGbk(const std::string& bytes, unsigned codePage);
// The same into out, whose room is kept for the next value.
void VcardTextToGbkInto(std::string_view bytes, unsigned codePage, std::string& out);
// The same for a number (a phone, a fax, a QQ number), without the
// invisible marks that some programs put around one.
std::string VcardNumberToGbk(const std::string& bytes, unsigned codePage);

// A contact's text as one escaped component of a value in the chosen
// encoding: "\", ";" and "," get a backslash, a line break is "\n" in the
// plain form and =0D=0A in the quoted-printable ones, and those forms
// escape every byte they would otherwise lose.
std::string EncodeVcardText(const std::string& gbk, VcardEncoding encoding);

// True when the text has a byte of 0x80 or above.
bool HasNonAscii(std::string_view text);
