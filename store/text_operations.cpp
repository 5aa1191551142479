#include "store/text_operations.h"

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
    // The component ends at the first delimiter or terminator among the
    // first `capacity` bytes; found with strnlen and memchr rather than a
    // byte at a time, as the reader splits every value of every line.
    size_t length = strnlen(text, capacity);
    size_t n = length;
    if (delimiter != '\0') {
        const void* found = std::memchr(text, delimiter, length);
        if (found) n = static_cast<size_t>(static_cast<const char*>(found) - text);
    }
    if (n == capacity) {  // no end within reach: out is full
        std::memmove(out, text, capacity - 1);
        out[capacity - 1] = '\0';
        if (cursor) *cursor = EmptyText;
        return 0;
    }
    bool atDelimiter = text[n] == delimiter;  // read before out, which may be the text, changes
    std::memmove(out, text, n);
    out[n] = '\0';
    if (atDelimiter) {
        if (delimiter != '\0' && cursor) *cursor = text + n + 1;
        return 0;
    }
    if (cursor) *cursor = text + n;
    return 1;
}
