// Fixed-capacity text of the book (GB 18030): the one way text gets into a
// field or buffer.
#pragma once

#include <cstddef>
#include <string>

// Byte length of the character that starts at text[0], given that
// `available` bytes can be read: 2 for a lead byte followed by a trail
// byte, 4 for a four-byte code, 1 otherwise.
size_t GbkCharacterLength(const char* text, size_t available);

// The longest prefix of text[0..length) that fits in `limit` bytes without
// splitting a character of two or four bytes.
size_t FitGbkLength(const char* text, size_t length, size_t limit);

// The most of a text box that is read: its 200-byte buffer, terminator
// included. Every field is narrower still; the search reads this much too.
const size_t TextBoxReadLimit = 199;

// Copies text into a field of `capacity` bytes: at most capacity - 1
// bytes, cut at a whole GBK character, always terminated, the rest zero.
void CopyToField(char* field, size_t capacity, const char* text, size_t length);
void CopyToField(char* field, size_t capacity, const std::string& text);
void CopyToField(char* field, size_t capacity, const char* text);

// The text of a field that may lack its terminator: stops at the first
// NUL or at the field's end.
std::string FieldString(const char* field, size_t capacity);

// GBK bytes of a text the program itself spells, written in the source as
// a UTF-16 literal so that it reads as Chinese.
std::string GbkText(const char16_t* text);
