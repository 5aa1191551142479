#include "store/pinyin.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gbk.h"
#include "store/pinyin_table.h"

namespace {

uint32_t LetterBit(char c) { return c >= 'a' && c <= 'z' ? 1u << (c - 'a') : 0; }

// The first letters of each reading set, worked out once.
struct SetInitials {
    std::vector<uint32_t> bits;
    SetInitials() : bits(static_cast<size_t>(ReadingSetCount)) {
        for (int set = 0; set < ReadingSetCount; ++set) {
            for (int i = ReadingSetStart[set]; i < ReadingSetStart[set + 1]; ++i) {
                bits[set] |= LetterBit(PinyinSyllables[ReadingSetSyllables[i]][0]);
            }
        }
    }
};

const uint32_t* Initials() {
    static const SetInitials initials;
    return initials.bits.data();
}

struct CodeInitials {
    std::vector<uint32_t> bits;
    CodeInitials() : bits(GbkCodeCount) {
        for (int code = 0; code < GbkCodeCount; ++code) bits[code] = Initials()[ReadingSetOfGbk[code]];
    }
};

}  // namespace

CharacterReadings ReadingsOf(unsigned char lead, unsigned char trail) {
    if (!IsGbkLead(lead) || !IsGbkTrail(trail)) return {nullptr, nullptr, 0};
    int set = ReadingSetOfGbk[GbkCodeIndex(lead, trail)];
    return {ReadingSetSyllables + ReadingSetStart[set], ReadingSetSyllables + ReadingSetStart[set + 1],
            Initials()[set]};
}

int FourByteReadingSet(const unsigned char* code) {
    uint32_t count = (((code[0] - 0x81u) * 10 + (code[1] - 0x30u)) * 126 + (code[2] - 0x81u)) * 10 + (code[3] - 0x30u);
    const uint32_t* end = FourByteReadingCodes + FourByteReadingCount;
    const uint32_t* found = std::lower_bound(FourByteReadingCodes, end, count);
    return found != end && *found == count ? FourByteReadingSets[found - FourByteReadingCodes] : 0;
}

CharacterReadings ReadingsOfCharacter(const char* text, size_t length) {
    const unsigned char* code = reinterpret_cast<const unsigned char*>(text);
    if (length == 2) return ReadingsOf(code[0], code[1]);
    if (length != 4) return {nullptr, nullptr, 0};
    int set = FourByteReadingSet(code);
    return {ReadingSetSyllables + ReadingSetStart[set], ReadingSetSyllables + ReadingSetStart[set + 1],
            Initials()[set]};
}

const uint16_t* GbkReadingSetTable() { return ReadingSetOfGbk; }

int ReadingSetTotal() { return ReadingSetCount; }


const uint32_t* GbkInitialsTable() {
    static const CodeInitials initials;
    return initials.bits.data();
}

int SyllableCount() { return PinyinSyllableCount; }

const char* SyllableText(uint16_t syllable) {
    return syllable < PinyinSyllableCount ? PinyinSyllables[syllable] : "";
}

int SurnameReadingAt(const char* name, size_t length, uint16_t syllables[2]) {
    // A compound surname wins over the single character it begins with (长孙 over 长).
    int found = 0;
    for (int i = 0; i < SurnameReadingCount; ++i) {
        const SurnameReading& surname = SurnameReadings[i];
        size_t bytes = 2 * static_cast<size_t>(surname.characters);
        if (surname.characters <= found || bytes > length || name[0] != surname.gbk[0] ||
            std::memcmp(name, surname.gbk, bytes) != 0) {
            continue;
        }
        found = surname.characters;
        syllables[0] = surname.syllables[0];
        syllables[1] = surname.syllables[1];
    }
    return found;
}
