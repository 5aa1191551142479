// The small text rules the readers and dialogs share: one ASCII case fold
// and one trimming rule for each kind of input. Texts are GBK bytes (or
// the UTF-16 of a path); the bytes these rules look at are ASCII, so a
// double-byte character is never taken apart, except where a rule says so.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// ASCII letters only, whatever the locale: every other byte or unit, the
// bytes of a GBK character included, stays as it is.
template <class Char>
Char AsciiLower(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}
template <class Char>
Char AsciiUpper(Char c) {
    return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

inline bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The first byte c among the n at text, or null: memchr, eight bytes at a
// time. The readers and the search look for line ends, escapes and first
// bytes in every text they take; the C runtime that Windows programs link
// (msvcrt, Wine's as well) looks at one byte at a time, glibc's at 32 or
// more.
inline const char* FindByteInWords(const char* text, size_t n, char c) {
    const uint64_t ones = 0x0101010101010101u;
    const uint64_t highs = 0x8080808080808080u;
    const uint64_t pattern = ones * static_cast<unsigned char>(c);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        uint64_t same = word ^ pattern;  // a zero byte where c is
        if ((same - ones) & ~same & highs) break;
    }
    for (; i < n; ++i) {
        if (text[i] == c) return text + i;
    }
    return nullptr;
}

inline const char* FindByte(const char* text, size_t n, char c) {
#ifdef _WIN32
    return FindByteInWords(text, n, c);
#else
    return static_cast<const char*>(std::memchr(text, c, n));
#endif
}

// The text with its ASCII letters in lower case.
std::string AsciiLowerCase(std::string text);

// Equal, or beginning with `prefix`, when ASCII letters are compared in
// either case. SameNoCase is inline: the readers compare every name and
// parameter with lists of words, most of them of another length.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
inline bool SameNoCase(std::string_view text, std::string_view word) {
    return text.size() == word.size() && StartsWithNoCase(text, word);
}

// The text without the given characters around it.
template <class Char>
std::basic_string_view<Char> TrimmedOf(std::basic_string_view<Char> text, std::basic_string_view<Char> blanks) {
    size_t first = text.find_first_not_of(blanks);
    if (first == text.npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Without the spaces around it: a CSV cell, a path typed into a box.
inline std::string TrimSpaces(std::string_view text) { return std::string(TrimmedOf(text, std::string_view(" "))); }
inline std::wstring TrimSpaces(std::wstring_view text) { return std::wstring(TrimmedOf(text, std::wstring_view(L" "))); }

// Without the spaces and tabs around it: a value read from a vCard or CSV
// file, a name an import is given.
inline std::string TrimSpacesAndTabs(std::string_view text) {
    return std::string(TrimmedOf(text, std::string_view(" \t")));
}

// Without the spaces, tabs, CRs and line feeds around it: a vCard line's
// name and version. A view into the text, as the reader looks at every
// line's head.
inline std::string_view TrimWhiteSpace(std::string_view text) {
    return TrimmedOf(text, std::string_view(" \t\r\n"));
}

// Cuts the text after its last byte that is neither a space nor a line
// feed (all of it when there is none), then drops the leading spaces;
// carriage returns and tabs stay: a name typed into the settings, the
// titles of a CSV file.
void TrimSpacesAndTrailingLineFeeds(std::string& text);

// Without the invisible format and direction marks (U+200B to U+200F,
// U+202A to U+202E, U+2060 to U+2069, U+FEFF) that some programs put
// around a phone number: no part of a number, and GBK has none of them.
std::u16string WithoutInvisibleMarks(std::u16string text);
