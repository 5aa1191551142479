#include "store/text_operations.h"

#include <algorithm>

std::string AsciiLowerCase(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    }
    return true;
}

void TrimSpacesAndTrailingLineFeeds(std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\n')) --end;
    size_t start = 0;
    while (start < end && text[start] == ' ') ++start;
    text = text.substr(start, end - start);
}

std::u16string WithoutInvisibleMarks(std::u16string text) {
    auto invisible = [](char16_t c) {
        return (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) ||
               c == 0xFEFF;
    };
    text.erase(std::remove_if(text.begin(), text.end(), invisible), text.end());
    return text;
}
