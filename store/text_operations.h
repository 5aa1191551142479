// Small text operations shared by the vCard reader, the CSV reader and
// the dialogs that read a name or a path. Texts are NUL-terminated GBK;
// the tokens, prefixes and delimiters the program searches for are ASCII
// bytes below 0x40, which never occur inside a double-byte character, so
// plain byte comparison is safe.
#pragma once

#include <cstddef>
#include <string>

// Cuts the text after its last byte that is neither a space nor a line
// feed (all of it when there is none), then drops the leading spaces.
// Carriage returns and tabs stay.
void TrimSpaces(char* text);
void TrimSpaces(std::string& text);

// 1 when the token occurs anywhere in the text (bytes compared exactly),
// with *cursor, when given, set just behind its first occurrence; 0 with
// the cursor left alone otherwise.
int ContainsToken(const char* text, const char* token, const char** cursor = nullptr);

// 1 when the text begins with the prefix, with *cursor set just behind
// it; 0 with *cursor cleared (null) otherwise. The cursor may be null.
int MatchPrefix(const char* text, const char* prefix, const char** cursor);

// Copies the text up to the delimiter into out, a buffer of `capacity`
// bytes, and always terminates it:
// - at the delimiter: the delimiter is not copied and *cursor is set
//   behind it (left alone when the delimiter is the terminator); result 0;
// - at the end of the text: *cursor is set to the terminator, so every
//   later component taken from it is empty; result 1;
// - when out is full (capacity - 1 bytes): *cursor is set to an empty
//   text, so every later component is empty; result 0.
// The cursor may be null; it may also point at the text itself.
int TakeComponent(const char* text, char* out, const char** cursor, char delimiter, size_t capacity);
