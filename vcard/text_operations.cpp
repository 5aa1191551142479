#include "vcard/text_operations.h"

#include <cstring>

namespace {

bool IsTrailingBlank(char c) { return c == ' ' || c == '\n'; }

}  // namespace

void TrimSpaces(std::string& text) {
    size_t end = text.size();
    while (end > 0 && IsTrailingBlank(text[end - 1])) --end;
    size_t start = 0;
    while (start < end && text[start] == ' ') ++start;
    text = text.substr(start, end - start);
}

void TrimSpaces(char* text) {
    std::string trimmed = text;
    TrimSpaces(trimmed);
    std::memcpy(text, trimmed.c_str(), trimmed.size() + 1);
}
