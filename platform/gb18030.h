// The book's encoding, GB 18030-2022, to UTF-16 and UTF-8 and back, the
// same on every system (Wine has no code page 54936, and Windows' own
// differs from the 2022 edition for a few characters). GB 18030 is GBK
// with four-byte codes added for every other character: GBK text is
// unchanged by it.
#pragma once

#include <string>
#include <string_view>

// A byte sequence without a character becomes U+FFFD one byte at a time,
// so the bytes after it are read as they would be alone. The lone byte
// 0x80 is read as "€", which code page 936 writes it for.
std::u16string Gb18030ToUtf16(std::string_view bytes);
// An unpaired surrogate becomes the code of U+FFFD.
std::string Utf16ToGb18030(std::u16string_view units);

std::string Gb18030ToUtf8(std::string_view bytes);
// A byte that starts no whole UTF-8 character becomes the code of U+FFFD.
std::string Utf8ToGb18030(std::string_view utf8);
// The same, appended to out: a reader converts every value into room it keeps.
void AppendUtf8AsGb18030(std::string& out, std::string_view utf8);

// The code of one character (U+0000 to U+10FFFF; a surrogate or a value
// beyond gives U+FFFD's), appended to out.
void AppendGb18030(std::string& out, char32_t character);
