#include "vcard/text_operations.h"

#include <cstring>

namespace {

bool IsTrailingBlank(char c) { return c == ' ' || c == '\n'; }

// Where a cursor goes when a component had to be cut: every later
// component taken from it is empty.
const char EmptyText[] = "";

}  // namespace

void TrimSpaces(std::string& text) {
    size_t end = text.size();
    while (end > 0 && IsTrailingBlank(text[end - 1])) --end;
    size_t start = 0;
    while (start < end && text[start] == ' ') ++start;
    text = text.substr(start, end - start);
}

// In place, without a copy: the vCard reader trims every line it reads.
void TrimSpaces(char* text) {
    size_t end = std::strlen(text);
    while (end > 0 && IsTrailingBlank(text[end - 1])) --end;
    size_t start = 0;
    while (start < end && text[start] == ' ') ++start;
    std::memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

int ContainsToken(const char* text, const char* token, const char** cursor) {
    const char* found = std::strstr(text, token);
    if (!found) return 0;
    if (cursor) *cursor = found + std::strlen(token);
    return 1;
}

int MatchPrefix(const char* text, const char* prefix, const char** cursor) {
    if (cursor) *cursor = nullptr;
    size_t length = std::strlen(prefix);
    if (std::strncmp(text, prefix, length) != 0) return 0;
    if (cursor) *cursor = text + length;
    return 1;
}

int TakeComponent(const char* text, char* out, const char** cursor, char delimiter, size_t capacity) {
    if (capacity == 0) return 0;
    size_t n = 0;
    for (;;) {
        char c = text[n];
        if (c == delimiter) {
            out[n] = '\0';
            if (delimiter != '\0' && cursor) *cursor = text + n + 1;
            return 0;
        }
        if (c == '\0') {
            out[n] = '\0';
            if (cursor) *cursor = text + n;
            return 1;
        }
        if (n + 1 == capacity) {
            out[n] = '\0';
            if (cursor) *cursor = EmptyText;
            return 0;
        }
        out[n++] = c;
    }
}
