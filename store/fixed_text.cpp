#include "store/fixed_text.h"

#include <cstring>

#include "platform/gbk.h"
#include "platform/platform.h"
#include "store/text_operations.h"

size_t GbkCharacterLength(const char* text, size_t available) {
    if (available == 0) return 1;
    return Gb18030CharacterLength(reinterpret_cast<const unsigned char*>(text), available);
}

size_t FitGbkLength(const char* text, size_t length, size_t limit) {
    // Every step below stays within the text, so a text that fits as a
    // whole comes out whole; only a longer one needs the walk.
    if (length <= limit) return length;
    size_t fitted = 0;
    while (fitted < length) {
        size_t next = fitted + GbkCharacterLength(text + fitted, length - fitted);
        if (next > limit) break;
        fitted = next;
    }
    return fitted;
}

void CopyToField(char* field, size_t capacity, const char* text, size_t length) {
    if (capacity == 0) return;
    const char* end = FindByte(text, length, '\0');
    size_t textLength = end ? static_cast<size_t>(end - text) : length;
    size_t kept = FitGbkLength(text, textLength, capacity - 1);
    std::memcpy(field, text, kept);
    std::memset(field + kept, 0, capacity - kept);
}

void CopyToField(char* field, size_t capacity, const std::string& text) {
    CopyToField(field, capacity, text.data(), text.size());
}

void CopyToField(char* field, size_t capacity, const char* text) {
    CopyToField(field, capacity, text, std::strlen(text));
}

std::string FieldString(const char* field, size_t capacity) {
    size_t length = 0;
    while (length < capacity && field[length] != '\0') ++length;
    return std::string(field, length);
}

std::string GbkText(const char16_t* text) { return Utf16ToGbk(text); }
