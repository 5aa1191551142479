// The one seam between the portable core and the operating system:
// code-page conversion, paths and files, the current directory and
// directory listing. platform_windows.cpp and platform_posix.cpp are its
// two sides; nothing else in the core knows which system it runs on.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
// Paths stay UTF-16 as the W API gives them, so a folder whose name GBK
// cannot spell still works.
using PathChar = wchar_t;
#else
// Paths are the system's own bytes (UTF-8 on any modern Linux).
using PathChar = char;
#endif
using PathString = std::basic_string<PathChar>;

// The separator the program puts between a directory and a file name.
extern const PathChar PathSeparator;

// The book's text (GB 18030, which holds GBK unchanged) to UTF-16 and
// back, alike on both systems: see gb18030.h for what becomes of bytes
// and surrogates that are no character.
std::u16string GbkToUtf16(const std::string& gbk);
std::string Utf16ToGbk(const std::u16string& units);

// UTF-8 and UTF-16, written by hand so that both systems agree. A byte
// that starts no whole character becomes U+FFFD. A three-byte form of a
// character below U+0800 (which an earlier export wrote for "·") is read
// as that character.
std::u16string Utf8ToUtf16(const std::string& utf8);
// Appends a code point as one unit, or as a surrogate pair beyond U+FFFF.
void AppendCodePoint(std::u16string& out, char32_t c);
std::string Utf16ToUtf8(const std::u16string& units);
// True when the bytes are strict UTF-8 (no overlong form, no surrogate).
bool IsValidUtf8(const std::string& text);

// Text in a Windows code page (950 Big5, 932 Shift_JIS, 28591 ISO-8859-1
// and so on) to UTF-16; false when this system cannot convert from it.
// A byte sequence without a character becomes U+FFFD or "?". Code pages
// 936 and 54936 are read by the program's own GB 18030 codec; the others
// by the system (SystemCodePageToUtf16).
bool CodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out);
bool SystemCodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out);

// Paths from and to the book's text: file names typed by the user or
// stored in the settings file are GB 18030, paths are the system's own.
PathString PathFromGbk(const std::string& gbk);
std::string PathToGbk(const PathString& path);
PathString PathFromAscii(const char* ascii);
// A path for messages shown to the user or printed by tools (UTF-8).
std::string PathToUtf8(const PathString& path);

// Joins a directory and a name with the separator.
PathString JoinPath(const PathString& directory, const PathString& name);

// The process's current directory; empty when it cannot be read.
PathString CurrentDirectory();

// Opens a file in binary mode; mode is "rb", "wb" or "ab".
FILE* OpenFile(const PathString& path, const char* mode);

// True when the path names an existing directory.
bool IsDirectory(const PathString& path);

// The names (not full paths) of the regular files in a directory whose
// names end in the given extension, compared without regard to case,
// in the order of a case-insensitive comparison of the names.
std::vector<PathString> ListFilesWithExtension(const PathString& directory, const char* extension);

// Makes written data durable before it replaces anything.
bool FlushToDisk(FILE* file);

// Puts the file at source in the place of target, replacing it in one
// step, so that target is always either the old or the new file.
// A read-only target is never replaced (false).
bool ReplaceFileWith(const PathString& target, const PathString& source);

// Removes a file; false when it could not be removed.
bool RemoveFile(const PathString& path);
