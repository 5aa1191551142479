#include "random_fields.h"

#include <algorithm>

#include "platform/platform.h"

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// A double-byte character that has a UTF-16 character of its own and
// comes back from it as the same two bytes.
std::string RandomGbkCharacter(std::mt19937& random) {
    for (;;) {
        unsigned char trail = static_cast<unsigned char>(0x40 + RandomBelow(random, 0xBF));
        if (trail == 0x7F) continue;
        std::string character = {static_cast<char>(0x81 + RandomBelow(random, 0x7E)), static_cast<char>(trail)};
        std::u16string wide = GbkToUtf16(character);
        if (wide.size() == 1 && wide[0] >= 0x80 && Utf16ToGbk(wide) == character) return character;
    }
}

std::string RandomCharacter(std::mt19937& random, size_t room, bool asciiOnly, const std::string& excluded) {
    for (;;) {
        if (!asciiOnly && room >= 2 && RandomBelow(random, 2) == 0) return RandomGbkCharacter(random);
        char c = static_cast<char>(0x20 + RandomBelow(random, 0x5F));
        if (excluded.find(c) == std::string::npos) return std::string(1, c);
    }
}

}  // namespace

int RandomBelow(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

std::string RandomFieldText(std::mt19937& random, size_t maxBytes, const std::string& excluded) {
    size_t length = 0;
    switch (RandomBelow(random, 4)) {
    case 0: length = 0; break;
    case 1: length = 1 + RandomBelow(random, static_cast<int>(std::min<size_t>(maxBytes, 6))); break;
    case 2: length = 1 + RandomBelow(random, static_cast<int>(maxBytes)); break;
    default: length = maxBytes; break;
    }
    // A third of the texts are ASCII alone, as phone numbers and e-mail
    // addresses are, and as long as their bytes allow.
    bool asciiOnly = RandomBelow(random, 3) == 0;
    std::string text;
    while (text.size() < length) text += RandomCharacter(random, length - text.size(), asciiOnly, excluded);
    return text;
}

std::string WholeCharacters(const std::string& text, size_t limit) {
    size_t kept = 0;
    while (kept < text.size()) {
        size_t next = kept + (IsLeadByte(static_cast<unsigned char>(text[kept])) ? 2 : 1);
        if (next > limit) break;
        kept = next;
    }
    return text.substr(0, kept);
}

std::string WithoutLeadingSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string WithoutTrailingSpaces(const std::string& text) {
    size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}
