// Random contact values as the program holds them, for round trips
// through the exchange formats: terminated texts of printable ASCII and
// GBK double-byte characters, each of which converts to UTF-16 and back.
#pragma once

#include <cstddef>
#include <random>
#include <string>

// A text of at most maxBytes bytes, never splitting a double-byte
// character: sometimes empty, sometimes filling maxBytes. None of the
// ASCII bytes in `excluded` occurs in it.
std::string RandomFieldText(std::mt19937& random, size_t maxBytes, const std::string& excluded = std::string());

// A number below n.
int RandomBelow(std::mt19937& random, int n);

// The longest start of such a text that fits in `limit` bytes.
std::string WholeCharacters(const std::string& text, size_t limit);

std::string WithoutLeadingSpaces(const std::string& text);
std::string WithoutTrailingSpaces(const std::string& text);
