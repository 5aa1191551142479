#include "listview/filters.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <thread>
#include <unordered_map>
#include <vector>
#include <utility>

#include "listview/columns.h"
#include "platform/gbk.h"
#include "store/fixed_text.h"
#include "store/pinyin.h"
#include "store/text_operations.h"

namespace {

// ---- Whole characters

// As GbkCharacterLength, inline: the search walks every character it passes.
inline size_t CharacterLength(const char* text, size_t at, size_t length) {
    return Gb18030CharacterLength(reinterpret_cast<const unsigned char*>(text) + at, length - at);
}

// The length of a four-byte character at text[at], 1 for anything else.
inline size_t FourByteOrOne(const char* text, size_t at, size_t length) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text) + at;
    return at + 3 < length && IsGbkLead(p[0]) && IsGb18030Digit(p[1]) && IsGbkLead(p[2]) && IsGb18030Digit(p[3]) ? 4
                                                                                                             : 1;
}

// ---- Pinyin

// Positions 0..n in the query's letters that the characters read so far
// may have reached. No reading is longer than six letters and no text
// searched longer than 128 bytes (64 characters), so a query of more than
// 384 letters spells nothing; the set has room for 512. Only the words a
// query needs are touched.
struct PositionSet {
    static const size_t Capacity = 512;
    uint64_t words[Capacity / 64];
    size_t used;

    explicit PositionSet(size_t positions) : used(positions / 64 + 1) { Clear(); }
    void Clear() { std::memset(words, 0, used * sizeof words[0]); }
    void Add(size_t position) { words[position / 64] |= uint64_t{1} << (position % 64); }
    bool Has(size_t position) const { return words[position / 64] >> (position % 64) & 1; }
    bool Empty() const {
        for (size_t i = 0; i < used; ++i) {
            if (words[i]) return false;
        }
        return true;
    }
};

// A letter typed for a letter of a reading: ü is typed "v" or "u".
bool SameLetter(char typed, char reading) { return typed == reading || (reading == 'v' && typed == 'u'); }

uint32_t LetterBit(char c) { return 1u << (c - 'a'); }

// Adds every position a non-empty beginning of the syllable leads to from `from`.
void Advance(const std::string& letters, size_t from, const char* syllable, PositionSet& next) {
    size_t n = letters.size();
    for (size_t k = 0; syllable[k] && from + k < n && SameLetter(letters[from + k], syllable[k]); ++k) {
        next.Add(from + k + 1);
    }
}

// The longest spelling read with one bit per position; longer ones take
// the PositionSet.
const size_t ShortSpelling = 63;
// No reading is longer than "zhuang": a character moves on by one to six
// letters.
const size_t LongestReading = 6;

// MatchSpoken for a spelling of at most ShortSpelling letters: the same
// reading, with the positions in one word and the agreeing letters looked up.
int MatchShortSpelling(const SearchQuery& query, const char* text, size_t length, const uint16_t surname[2],
                       int surnameCharacters) {
    size_t n = query.letters.size();
    const uint8_t* agreeing = query.agreeing.data();
    const uint64_t* spans = query.spans.data();  // row k - 1: where a reading agrees with k letters or more
    const uint16_t* sets = GbkReadingSetTable();
    size_t syllables = static_cast<size_t>(SyllableCount());
    size_t setCount = static_cast<size_t>(ReadingSetTotal());
    uint64_t reached = 0;  // never holds the start: every reading moves on
    int character = 0;
    for (size_t i = 0; i < length; ++character) {
        // Most characters: nothing under way, and no reading begins with
        // the first letter. They are passed over in this tighter loop.
        if (!reached && character >= surnameCharacters) {
            while (i + 1 < length) {
                unsigned char lead = static_cast<unsigned char>(text[i]);
                unsigned char trail = static_cast<unsigned char>(text[i + 1]);
                if (lead < GbkFirstLead) {
                    ++i;
                } else if (!IsGbkLead(lead) || !IsGbkTrail(trail)) {
                    size_t step = FourByteOrOne(text, i, length);
                    if (step == 4 && spans[FourByteReadingSet(reinterpret_cast<const unsigned char*>(text) + i)] & 1) {
                        break;
                    }
                    i += step;
                } else if (spans[sets[GbkCodeIndex(lead, trail)]] & 1) {
                    break;
                } else {
                    i += 2;
                }
            }
            if (i + 1 >= length) return 0;
        }
        unsigned char lead = static_cast<unsigned char>(text[i]);
        unsigned char trail = i + 1 < length ? static_cast<unsigned char>(text[i + 1]) : 0;
        size_t set;
        if (lead < GbkFirstLead) {
            i += 1;
            if (lead != ' ') reached = 0;  // "北京 朝阳" reads on across the space
            continue;
        }
        if (IsGbkLead(lead) && IsGbkTrail(trail)) {
            set = sets[GbkCodeIndex(lead, trail)];
            i += 2;
        } else if (FourByteOrOne(text, i, length) == 4) {
            set = static_cast<size_t>(FourByteReadingSet(reinterpret_cast<const unsigned char*>(text) + i));
            i += 4;
        } else {
            i += 1;
            if (lead != ' ') reached = 0;  // "北京 朝阳" reads on across the space
            continue;
        }
        // From every position reached and from the start, k letters on
        // where a reading agrees with k letters: the same steps whatever
        // was reached, without a branch.
        uint64_t from = reached | 1;
        uint64_t next = 0;
        for (size_t k = 1; k <= LongestReading; ++k) next |= (from & spans[(k - 1) * setCount + set]) << k;
        if (character < surnameCharacters) {
            for (; from; from &= from - 1) {
                size_t p = static_cast<size_t>(__builtin_ctzll(from));
                next |= ((uint64_t{1} << agreeing[p * syllables + surname[character]]) - 1) << (p + 1);
            }
        }
        if (next >> n & 1) return 1;
        reached = next;
    }
    return 0;
}

// The positions reached after one more character, from the positions in
// `reached` and a fresh start at position 0.
void ReadCharacter(const std::string& letters, const CharacterReadings& readings, int surnameSyllable,
                   uint32_t initials, const PositionSet& reached, PositionSet& next) {
    next.Clear();
    for (size_t from = 0; from < letters.size(); ++from) {
        if (from != 0 && !reached.Has(from)) continue;
        if (!(initials & LetterBit(letters[from]))) continue;
        for (const uint16_t* s = readings.first; s != readings.last; ++s) Advance(letters, from, SyllableText(*s), next);
        if (surnameSyllable >= 0) {
            Advance(letters, from, SyllableText(static_cast<uint16_t>(surnameSyllable)), next);
        }
    }
}

// ---- Phone numbers

// The digits of a number, and where they begin once a leading country
// code (+86 or 0086) is left out. A field's digits fit the buffer; a
// longer text's go to the heap.
struct NumberDigits {
    char buffer[256];
    std::string longer;
    char* digits;
    size_t length;
    size_t withoutCountry;
};

// Whole characters are stepped over, so that the trail byte of a pair is
// never taken for the lead of a four-byte code.
size_t CharacterLengthAt(const char* text, size_t at, size_t length) {
    return Gb18030CharacterLength(reinterpret_cast<const unsigned char*>(text) + at, length - at);
}

void TakeDigits(const char* text, size_t length, NumberDigits& out) {
    out.digits = out.buffer;
    if (length > sizeof out.buffer) {
        out.longer.assign(length, '\0');
        out.digits = &out.longer[0];
    }
    // The digits of a four-byte character's code are no digits of the number.
    bool plus = false;
    size_t i = 0;
    for (; i < length && (text[i] < '0' || text[i] > '9'); ++i) {
        plus = plus || text[i] == '+';
        if (static_cast<unsigned char>(text[i]) >= GbkFirstLead) i += CharacterLengthAt(text, i, length) - 1;
    }
    out.length = 0;
    for (; i < length; ++i) {
        char c = text[i];
        out.digits[out.length] = c;
        out.length += static_cast<unsigned char>(c - '0') < 10;
        if (static_cast<unsigned char>(c) >= GbkFirstLead) i += CharacterLengthAt(text, i, length) - 1;
    }
    out.withoutCountry = 0;
    if (plus && out.length >= 2 && std::memcmp(out.digits, "86", 2) == 0) out.withoutCountry = 2;
    if (!plus && out.length >= 4 && std::memcmp(out.digits, "0086", 4) == 0) out.withoutCountry = 4;
}

bool Contains(const char* text, size_t length, const std::string& part) {
    if (part.size() > length) return false;
    size_t last = length - part.size();
    for (size_t i = 0; i <= last;) {
        const char* hit = FindByte(text + i, last - i + 1, part[0]);
        if (!hit) return false;
        i = static_cast<size_t>(hit - text);
        if (std::memcmp(text + i, part.data(), part.size()) == 0) return true;
        ++i;
    }
    return false;
}

// ---- The texts of a record

// How a text is searched besides as whole characters: the texts people
// type in Chinese by pinyin, phone numbers by their digits. The gender
// word and the birthday are not spelled, or "n" and "nian" would find
// everyone.
enum class TextKind { Plain, Spoken, Phone };

TextKind KindOf(int flag) {
    switch (flag) {
        case NicknameColumn:
        case HomeAddressColumn:
        case WorkAddressColumn:
        case CompanyColumn:
        case DepartmentColumn:
        case JobTitleColumn:
            return TextKind::Spoken;
        case MobileColumn:
        case QQColumn:
        case HomePhoneColumn:
        case WorkPhoneColumn:
        case WorkFaxColumn:
        case HomeFaxColumn:
            return TextKind::Phone;
        default:
            return TextKind::Plain;
    }
}

// The ways a text may be found. A record's search key rules some out,
// and the texts that only those could find are then not searched.
enum SearchWay : unsigned { AsWritten = 1, BySpelling = 2, ByDigits = 4, EveryWay = 7 };

bool MayBeFound(TextKind kind, unsigned ways) {
    if (ways & AsWritten) return true;
    if (kind == TextKind::Spoken) return (ways & BySpelling) != 0;
    return kind == TextKind::Phone && (ways & ByDigits) != 0;
}

bool Found(const SearchQuery& query, const char* text, size_t length, TextKind kind, unsigned ways,
           bool isName = false) {
    if ((ways & AsWritten) && MatchTextBytes(query.pattern.data(), query.pattern.size(), text, length)) return true;
    if (kind == TextKind::Spoken && (ways & BySpelling) && !query.letters.empty()) {
        return MatchSpoken(query, text, length, isName) == 1;
    }
    if (kind == TextKind::Phone && (ways & ByDigits) && !query.digits.empty()) return MatchPhone(query, text, length) == 1;
    return false;
}

bool FoundInName(const ContactRecord& record, const SearchQuery& query, std::string& text,
                 const ContactDetails* details, unsigned ways) {
    if (!MayBeFound(TextKind::Spoken, ways)) return false;
    text.clear();
    AppendNameText(record, text, details);
    return Found(query, text.data(), text.size(), TextKind::Spoken, ways, true);
}

bool HasWholeForms(const ContactDetails* details) { return details && !details->wholes.empty(); }

bool FoundInColumn(const ContactRecord& record, int flag, const SearchQuery& query, std::string& text,
                   const ContactDetails* details, unsigned ways) {
    TextKind kind = KindOf(flag);
    if (!MayBeFound(kind, ways)) return false;
    if (HasWholeForms(details)) {
        text.clear();
        AppendColumnText(record, flag, text, details);
        return Found(query, text.data(), text.size(), kind, ways);
    }
    // A column of one field is searched where it lies, without a copy.
    const ColumnInfo& column = ColumnInfoOf(flag);
    if (column.format == CellFormat::RunTogether && column.fieldCount == 1) {
        ContactField field = column.fields[0];
        const char* fieldText = FieldText(record, field);
        return Found(query, fieldText, strnlen(fieldText, static_cast<size_t>(FieldInfo(field).width)), kind, ways);
    }
    text.clear();
    AppendColumnText(record, flag, text);
    return Found(query, text.data(), text.size(), kind, ways);
}

// Numbers by their digits; notes, addresses, names and labels by their pinyin too.
TextKind KindOfItem(ItemKind kind) {
    switch (kind) {
        case ItemKind::Phone: return TextKind::Phone;
        case ItemKind::Email:
        case ItemKind::Url:
        case ItemKind::Date: return TextKind::Plain;
        default: return TextKind::Spoken;
    }
}

bool FoundInItems(const ContactDetails& details, const SearchQuery& query, unsigned ways) {
    for (const ContactItem& item : details.items) {
        TextKind kind = KindOfItem(item.kind);
        if (!MayBeFound(kind, ways)) continue;
        for (const std::string& part : item.parts) {
            if (!part.empty() && Found(query, part.data(), part.size(), kind, ways)) return true;
        }
    }
    return false;
}

bool FoundAnywhere(const ContactRecord& record, const SearchQuery& query, std::string& text,
                   const ContactDetails* details, unsigned ways) {
    if (FoundInName(record, query, text, details, ways)) return true;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (FoundInColumn(record, flag, query, text, details, ways)) return true;
    }
    return details && FoundInItems(*details, query, ways);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ---- The search keys kept beside the store

// A hash of everything a key is made from: the record's fields (Gender
// included) and its details. Four lanes of eight bytes each, so that a
// large book's records are checked in a few milliseconds.
struct Stamp {
    uint64_t lanes[4] = {0x243F6A8885A308D3u, 0x13198A2E03707344u, 0xA4093822299F31D0u, 0x082EFA98EC4E6C89u};
    uint64_t total = 0;

    static uint64_t Mixed(uint64_t lane, uint64_t word) {
        lane = (lane ^ word) * 0x9E3779B97F4A7C15u;
        return lane ^ lane >> 29;
    }
    void Add(const void* bytes, size_t length) {
        const unsigned char* p = static_cast<const unsigned char*>(bytes);
        size_t i = 0;
        for (; i + 32 <= length; i += 32) {
            for (int lane = 0; lane < 4; ++lane) {
                uint64_t word;
                std::memcpy(&word, p + i + 8 * lane, 8);
                lanes[lane] = Mixed(lanes[lane], word);
            }
        }
        uint64_t rest[4] = {0, 0, 0, 0};
        std::memcpy(rest, p + i, length - i);
        for (int lane = 0; lane < 4; ++lane) lanes[lane] = Mixed(lanes[lane], rest[lane]);
        total += length;
        lanes[0] = Mixed(lanes[0], total);
    }
    void Add(const std::string& text) { Add(text.data(), text.size()); }
    uint64_t Value() const {
        uint64_t value = total;
        for (uint64_t lane : lanes) value = Mixed(value, lane);
        return value;
    }
};

// The fields end at JobTitle; the flags and the group after it are not searched.
const size_t SearchedBytes = offsetof(ContactRecord, JobTitle) + sizeof(ContactRecord::JobTitle);

uint64_t SearchStamp(const ContactRecord& record, const ContactDetails* details) {
    Stamp stamp;
    stamp.Add(&record, SearchedBytes);
    if (details) {
        for (const ContactItem& item : details->items) {
            int32_t kind = static_cast<int32_t>(item.kind);
            stamp.Add(&kind, sizeof kind);
            for (const std::string& part : item.parts) stamp.Add(part);
        }
        for (const auto& whole : details->wholes) {
            stamp.Add(&whole.first, sizeof whole.first);
            stamp.Add(whole.second);
        }
    }
    return stamp.Value();
}

// -- What a key holds

inline unsigned CharacterBit(uint32_t code) { return (code * 0x9E3779B1u) >> 22; }
inline unsigned PairBit(uint32_t first, uint32_t second) {
    return ((first * 0x85EBCA77u) ^ (second * 0xC2B2AE3Du)) * 0x9E3779B1u >> 22;
}
inline void SetBit(uint64_t bits[16], unsigned bit) { bits[bit / 64] |= uint64_t{1} << (bit % 64); }

inline bool IsLowerLetter(uint32_t code) { return code >= 'a' && code <= 'z'; }

// Every character of the text and every two characters next to each other,
// the characters taken as MatchTextBytes walks them; two lowercase letters
// also in `letterPairs`, when given.
void AddCharacters(const char* text, size_t length, uint64_t bits[16], uint32_t* letterPairs = nullptr) {
    uint32_t previous = 0;
    for (size_t i = 0; i < length;) {
        size_t size = CharacterLength(text, i, length);
        uint32_t code = 0;
        for (size_t k = 0; k < size; ++k) code = code << 8 | static_cast<unsigned char>(text[i + k]);
        SetBit(bits, CharacterBit(code));
        if (i > 0) {
            SetBit(bits, PairBit(previous, code));
            if (letterPairs && IsLowerLetter(previous) && IsLowerLetter(code)) {
                letterPairs[previous - 'a'] |= 1u << (code - 'a');
            }
        }
        previous = code;
        i += size;
    }
}

// The letter a spelling may type for a reading's initial: ü also as "u".
uint32_t TypedInitialBits(char initial) { return LetterBit(initial) | (initial == 'v' ? LetterBit('u') : 0); }

const std::vector<uint32_t>& SetInitials() {
    static const std::vector<uint32_t> initials = [] {
        std::vector<uint32_t> table(static_cast<size_t>(ReadingSetTotal()));
        for (size_t set = 0; set < table.size(); ++set) {
            CharacterReadings readings = ReadingsOfSet(static_cast<int>(set));
            for (const uint16_t* r = readings.first; r != readings.last; ++r) table[set] |= TypedInitialBits(SyllableText(*r)[0]);
        }
        return table;
    }();
    return initials;
}

// A spelling's letters with ü typed as "u": a reading "lve" and a typed
// "lue" or "lve" leave the same bits.
inline uint32_t SpellingLetter(char c) { return static_cast<unsigned char>(c == 'v' ? 'u' : c); }

// The hash of the first letters of a reading, or of a typed spelling.
inline uint32_t LettersHash(const char* letters, size_t count) {
    uint32_t hash = 0x811C9DC5u;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ SpellingLetter(letters[i])) * 0x9E3779B1u;
    return hash;
}

// The bit of a reading's first letters (two or more of them) followed by a
// character read with `following` as its initial (0: whatever follows).
inline unsigned SpellingBit(uint32_t lettersHash, char following) {
    uint32_t hash = (lettersHash ^ SpellingLetter(following) * 0xC2B2AE3Du) * 0x27D4EB2Fu;
    return (hash ^ hash >> 15) * 0x85EBCA77u >> 22;  // 1,024 bits
}

inline void SetSpellingBit(SearchKey& key, unsigned bit) { key.spellings[bit / 64] |= uint64_t{1} << (bit % 64); }

bool HasSpelling(const SearchKey& key, const char* letters, size_t count, char following) {
    unsigned bit = SpellingBit(LettersHash(letters, count), following);
    return key.spellings[bit / 64] >> (bit % 64) & 1;
}

// For each syllable, the hashes of its beginnings of two letters or more:
// the key of every character needs them.
const std::vector<std::vector<uint32_t>>& SyllableBeginnings() {
    static const std::vector<std::vector<uint32_t>> beginnings = [] {
        std::vector<std::vector<uint32_t>> table(static_cast<size_t>(SyllableCount()));
        for (size_t s = 0; s < table.size(); ++s) {
            const char* syllable = SyllableText(static_cast<uint16_t>(s));
            for (size_t count = 2; syllable[count - 1]; ++count) table[s].push_back(LettersHash(syllable, count));
        }
        return table;
    }();
    return beginnings;
}

// Every beginning of two letters or more of a reading: alone, or with each
// initial of the following character when one follows.
void AddSpellings(uint16_t syllable, uint32_t followingInitials, SearchKey& key) {
    for (uint32_t hash : SyllableBeginnings()[syllable]) {
        if (!followingInitials) SetSpellingBit(key, SpellingBit(hash, 0));
        for (uint32_t rest = followingInitials; rest; rest &= rest - 1) {
            SetSpellingBit(key, SpellingBit(hash, static_cast<char>('a' + __builtin_ctz(rest))));
        }
    }
}

// The readings of a character for AddInitials: its set's, and the surname's.
struct ReadCharacterOf {
    int set;
    int surname;  // a syllable, or -1
};

inline void AddSyllable(uint16_t syllable, SearchKey& key) {
    if (syllable < 64 * SearchKeySyllableWords) key.syllables[syllable / 64] |= uint64_t{1} << (syllable % 64);
}

void AddReadingSpellings(const ReadCharacterOf& character, uint32_t followingInitials, SearchKey& key) {
    CharacterReadings readings = ReadingsOfSet(character.set);
    for (const uint16_t* r = readings.first; r != readings.last; ++r) AddSpellings(*r, followingInitials, key);
    if (character.surname >= 0) AddSpellings(static_cast<uint16_t>(character.surname), followingInitials, key);
    if (followingInitials) return;  // the character's own syllables were added alone
    for (const uint16_t* r = readings.first; r != readings.last; ++r) AddSyllable(*r, key);
    if (character.surname >= 0) AddSyllable(static_cast<uint16_t>(character.surname), key);
}

// The initials of the characters as MatchSpoken reads them, and which
// follow which: a space is passed over, any other character without a
// reading ends a spelling.
void AddInitials(const char* text, size_t length, bool isName, SearchKey& key) {
    const uint16_t* sets = GbkReadingSetTable();
    const std::vector<uint32_t>& setInitials = SetInitials();
    uint16_t surname[2] = {0, 0};
    int surnameCharacters = isName ? SurnameReadingAt(text, length, surname) : 0;
    uint32_t previous = 0;
    ReadCharacterOf before = {0, -1};
    int character = 0;
    for (size_t i = 0; i < length; ++character) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        unsigned char trail = i + 1 < length ? static_cast<unsigned char>(text[i + 1]) : 0;
        ReadCharacterOf now = {0, -1};
        if (lead >= GbkFirstLead && IsGbkLead(lead) && IsGbkTrail(trail)) {
            now.set = sets[GbkCodeIndex(lead, trail)];
            i += 2;
        } else if (lead >= GbkFirstLead && FourByteOrOne(text, i, length) == 4) {
            now.set = FourByteReadingSet(reinterpret_cast<const unsigned char*>(text) + i);
            i += 4;
        } else {
            i += 1;
            if (lead != ' ') previous = 0;
            continue;
        }
        uint32_t initials = setInitials[static_cast<size_t>(now.set)];
        if (character < surnameCharacters) {
            now.surname = surname[character];
            initials |= TypedInitialBits(SyllableText(surname[character])[0]);
        }
        key.initials |= initials;
        for (uint32_t from = previous; from; from &= from - 1) key.followers[__builtin_ctz(from)] |= initials;
        AddReadingSpellings(now, 0, key);
        if (previous) AddReadingSpellings(before, initials, key);
        previous = initials;
        before = now;
    }
}

void AddDigits(const char* text, size_t length, SearchKey& key) {
    NumberDigits number;
    TakeDigits(text, length, number);
    for (size_t i = 0; i < number.length; ++i) {
        int digit = number.digits[i] - '0';
        key.digits |= static_cast<uint16_t>(1u << digit);
        if (i > 0) key.digitPairs[number.digits[i - 1] - '0'] |= static_cast<uint16_t>(1u << digit);
    }
}

void AddText(const char* text, size_t length, TextKind kind, bool isName, SearchKey& key) {
    AddCharacters(text, length, key.characters, key.letterPairs);
    if (kind == TextKind::Spoken) AddInitials(text, length, isName, key);
    if (kind == TextKind::Phone) AddDigits(text, length, key);
}

// `text` is room for the composed texts, kept by the pass.
void MakeSearchKey(const ContactRecord& record, const ContactDetails* details, uint64_t stamp, SearchKey& key,
                   std::string& text) {
    key = SearchKey{};
    key.record = &record;
    key.stamp = stamp;
    text.clear();
    AppendNameText(record, text, details);
    AddText(text.data(), text.size(), TextKind::Spoken, true, key);
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        text.clear();
        AppendColumnText(record, flag, text, details);
        AddText(text.data(), text.size(), KindOf(flag), false, key);
    }
    if (!details) return;
    for (const ContactItem& item : details->items) {
        for (const std::string& part : item.parts) AddText(part.data(), part.size(), KindOfItem(item.kind), false, key);
    }
}

// -- What a search needs of a key

bool HoldsCharacters(const SearchKey& key, const SearchQuery& query) {
    for (int w = 0; w < 16; ++w) {
        if ((key.characters[w] & query.characterBits[w]) != query.characterBits[w]) return false;
    }
    // Pinyin is typed in lowercase letters, whose pairs the key holds
    // exactly: the hashed bits let many records through.
    for (const auto& pair : query.letterPairs) {
        if (!(key.letterPairs[pair.first - 'a'] >> (pair.second - 'a') & 1)) return false;
    }
    return true;
}

// Whether the letters can be spelled by characters whose initials follow
// one another in the key: from each position a character takes one to
// syllableReach[position] letters, and the next one begins where it ends.
bool MaySpell(const SearchKey& key, const SearchQuery& query) {
    const std::string& letters = query.letters;
    size_t n = letters.size();
    if (query.syllableReach.empty()) return true;  // a long spelling is not sifted
    if (!(key.initials & LetterBit(letters[0]))) return false;
    uint64_t reached = 1;
    for (size_t from = 0; from < n; ++from) {
        if (!(reached >> from & 1)) continue;
        size_t last = from + query.syllableReach[from];
        // A character that takes two letters or more has a reading that
        // begins with them; one that another follows, followed by a
        // character read with the next letter as its initial.
        const char* taken = letters.data() + from;
        if (last >= n && (n - from == 1 || HasSpelling(key, taken, n - from, 0))) return true;
        uint32_t followers = key.followers[letters[from] - 'a'];
        for (size_t next = from + 1; next <= last && next < n; ++next) {
            if (!(followers & LetterBit(letters[next]))) continue;
            if (next - from >= 2 && !HasSpelling(key, taken, next - from, letters[next])) continue;
            reached |= uint64_t{1} << next;
        }
    }
    return false;
}

bool HoldsDigits(const SearchKey& key, const std::string& digits) {
    if (digits.empty()) return false;
    for (size_t i = 0; i < digits.size(); ++i) {
        int digit = digits[i] - '0';
        if (!(key.digits >> digit & 1)) return false;
        if (i > 0 && !(key.digitPairs[digits[i - 1] - '0'] >> digit & 1)) return false;
    }
    return true;
}

// The ways the record may still pass the search, whatever field is
// searched: the key holds the features of every text, and every way a
// text is found needs its own. None when the record cannot pass.
unsigned WaysKeyAllows(const SearchKey& key, const SearchQuery& query) {
    unsigned ways = HoldsCharacters(key, query) ? AsWritten : 0u;
    if (!query.letters.empty() && MaySpell(key, query)) ways |= BySpelling;
    if (!query.digits.empty() && (HoldsDigits(key, query.digits) || HoldsDigits(key, query.digitsWithoutCountry))) {
        ways |= ByDigits;
    }
    return ways;
}

// True when the key alone shows that a search anywhere finds the record:
// one letter is spelled by any character read with it as its initial, two
// by such a character followed by one read with the second, which is what
// the key's initials and followers hold, unhashed.
bool KeyAssuresMatch(const SearchKey& key, const SearchQuery& query, const FilterState& filters) {
    if (filters.fieldChoice > 0) return false;
    const std::string& letters = query.letters;
    if (letters.size() == 1) return key.initials & LetterBit(letters[0]);
    if (letters.size() == 2) return key.followers[letters[0] - 'a'] & LetterBit(letters[1]);
    // A character read with a syllable that begins with every letter.
    for (size_t w = 0; w < query.wholeInSyllables.size(); ++w) {
        if (key.syllables[w] & query.wholeInSyllables[w]) return true;
    }
    return false;
}

bool InChosenGroup(const ContactRecord& record, const FilterState& filters) {
    return filters.groupChoice <= 0 || filters.groupChoice - 1 == record.GroupIndex;
}

}  // namespace

SearchQuery PrepareSearch(const std::string& pattern) {
    SearchQuery query;
    query.pattern = pattern.c_str();  // a search ends at its first NUL
    bool spelled = true;
    bool numbered = true;
    for (char c : query.pattern) {
        if (IsAsciiLetter(c)) {
            query.letters += AsciiLower(c);
        } else if (c != ' ') {
            spelled = false;
        }
        if (!IsDigit(c) && !std::strchr("+-() ", c)) numbered = false;
    }
    if (!spelled) query.letters.clear();
    if (!query.letters.empty() && query.letters.size() <= ShortSpelling) {
        size_t syllables = static_cast<size_t>(SyllableCount());
        query.agreeing.resize(query.letters.size() * syllables);
        for (size_t p = 0; p < query.letters.size(); ++p) {
            for (size_t s = 0; s < syllables; ++s) {
                const char* syllable = SyllableText(static_cast<uint16_t>(s));
                uint8_t k = 0;
                while (syllable[k] && p + k < query.letters.size() && SameLetter(query.letters[p + k], syllable[k])) ++k;
                query.agreeing[p * syllables + s] = k;
            }
        }
        // Should a reading ever be longer, the spans stay empty and the
        // search takes the longer way.
        size_t sets = static_cast<size_t>(ReadingSetTotal());
        if (*std::max_element(query.agreeing.begin(), query.agreeing.end()) <= LongestReading) {
            query.spans.resize(LongestReading * sets);
            for (size_t set = 0; set < sets; ++set) {
                CharacterReadings readings = ReadingsOfSet(static_cast<int>(set));
                for (size_t p = 0; p < query.letters.size(); ++p) {
                    uint8_t longest = 0;
                    for (const uint16_t* r = readings.first; r != readings.last; ++r) {
                        longest = std::max(longest, query.agreeing[p * syllables + *r]);
                    }
                    for (size_t k = 1; k <= longest; ++k) query.spans[(k - 1) * sets + set] |= uint64_t{1} << p;
                }
            }
        }
    }
    AddCharacters(query.pattern.data(), query.pattern.size(), query.characterBits);
    const std::string& typed = query.pattern;
    for (size_t i = 0, size = 0; i < typed.size(); i += size) {
        size = CharacterLength(typed.data(), i, typed.size());
        if (size == 1 && i + 1 < typed.size() && IsLowerLetter(static_cast<unsigned char>(typed[i])) &&
            IsLowerLetter(static_cast<unsigned char>(typed[i + 1]))) {
            query.letterPairs.emplace_back(typed[i], typed[i + 1]);
        }
    }
    if (!query.agreeing.empty()) {
        size_t syllables = static_cast<size_t>(SyllableCount());
        if (syllables <= 64 * SearchKeySyllableWords && query.letters.size() <= LongestReading) {
            query.wholeInSyllables.assign(SearchKeySyllableWords, 0);
            for (size_t s = 0; s < syllables; ++s) {
                if (query.agreeing[s] == query.letters.size()) query.wholeInSyllables[s / 64] |= uint64_t{1} << (s % 64);
            }
        }
        query.syllableReach.resize(query.letters.size());
        for (size_t p = 0; p < query.letters.size(); ++p) {
            query.syllableReach[p] = *std::max_element(query.agreeing.begin() + p * syllables,
                                                       query.agreeing.begin() + (p + 1) * syllables);
        }
    }
    if (numbered) {
        NumberDigits number;
        TakeDigits(query.pattern.data(), query.pattern.size(), number);
        query.digits.assign(number.digits, number.length);
        query.digitsWithoutCountry.assign(number.digits + number.withoutCountry, number.length - number.withoutCountry);
    }
    return query;
}

int MatchTextBytes(const char* pattern, size_t patternLength, const char* text, size_t length) {
    if (patternLength == 0) return 1;
    if (patternLength > length) return 0;
    size_t boundary = 0;  // a character start at or before every later candidate
    size_t from = 0;
    size_t lastStart = length - patternLength;
    while (from <= lastStart) {
        // The bytes first: the characters are walked only up to bytes that agree.
        const char* hit = FindByte(text + from, lastStart - from + 1, pattern[0]);
        if (!hit) return 0;
        size_t start = static_cast<size_t>(hit - text);
        from = start + 1;
        if (patternLength > 1 && (text[start + 1] != pattern[1] ||
                                  std::memcmp(text + start + 2, pattern + 2, patternLength - 2) != 0)) {
            continue;
        }
        while (boundary < start) boundary += CharacterLength(text, boundary, length);
        if (boundary == start) {
            size_t end = start;
            while (end < start + patternLength) end += CharacterLength(text, end, length);
            if (end == start + patternLength) return 1;
        }
    }
    return 0;
}

int MatchText(const char* pattern, const char* text) {
    return MatchTextBytes(pattern, std::strlen(pattern), text, std::strlen(text));
}

int MatchSpoken(const SearchQuery& query, const char* text, size_t length, bool isName) {
    const std::string& letters = query.letters;
    if (letters.empty() || letters.size() >= PositionSet::Capacity) return 0;
    uint16_t surname[2] = {0, 0};
    int surnameCharacters = isName ? SurnameReadingAt(text, length, surname) : 0;
    if (!query.spans.empty()) {
        return MatchShortSpelling(query, text, length, surname, surnameCharacters);
    }
    const uint32_t* codeInitials = GbkInitialsTable();
    uint32_t firstLetter = LetterBit(letters[0]);
    PositionSet reached(letters.size());
    PositionSet next(letters.size());
    bool reachedNothing = true;
    int character = 0;
    for (size_t i = 0; i < length; ++character) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        unsigned char trail = i + 1 < length ? static_cast<unsigned char>(text[i + 1]) : 0;
        size_t size = IsGbkLead(lead) && IsGbkTrail(trail) ? 2 : FourByteOrOne(text, i, length);
        if (size == 1) {
            i += 1;
            if (lead == ' ' || reachedNothing) continue;  // "北京 朝阳" reads on across the space
            reached.Clear();
            reachedNothing = true;
            continue;
        }
        CharacterReadings readings = size == 2 ? CharacterReadings{nullptr, nullptr, codeInitials[GbkCodeIndex(lead, trail)]}
                                               : ReadingsOfCharacter(text + i, size);
        const char* at = text + i;
        i += size;
        uint32_t initials = readings.initials;
        int surnameSyllable = character < surnameCharacters ? surname[character] : -1;
        if (surnameSyllable >= 0) initials |= LetterBit(SyllableText(static_cast<uint16_t>(surnameSyllable))[0]);
        // Most characters: nothing under way, and no reading begins with the first letter.
        if (reachedNothing && !(initials & firstLetter)) continue;
        if (initials == 0) {
            reached.Clear();
            reachedNothing = true;
            continue;
        }
        ReadCharacter(letters, size == 2 ? ReadingsOf(lead, trail) : ReadingsOfCharacter(at, size), surnameSyllable,
                      initials, reached, next);
        if (next.Has(letters.size())) return 1;
        std::swap(reached, next);
        reachedNothing = reached.Empty();
    }
    return 0;
}

int MatchPhone(const SearchQuery& query, const char* text, size_t length) {
    if (query.digits.empty()) return 0;
    NumberDigits number;
    TakeDigits(text, length, number);
    if (Contains(number.digits, number.length, query.digits)) return 1;
    // Without a country code on either side, the second search is the first.
    if (query.digitsWithoutCountry.empty() ||
        (number.withoutCountry == 0 && query.digitsWithoutCountry.size() == query.digits.size())) {
        return 0;
    }
    return Contains(number.digits + number.withoutCountry, number.length - number.withoutCountry,
                    query.digitsWithoutCountry)
               ? 1
               : 0;
}

int PassesFilters(const ContactRecord& record, const FilterState& filters) {
    return PassesFilters(record, filters, PrepareSearch(filters.pattern));
}

namespace {

// `text` is room for the composed texts: one for every record of a pass,
// with no allocation per record.
int PassesFiltersIn(const ContactRecord& record, const FilterState& filters, const SearchQuery& query,
                    const ContactDetails* details, unsigned ways, std::string& text) {
    // A group comes first: a record outside the chosen group is never searched.
    if (!InChosenGroup(record, filters)) return 0;
    if (query.pattern.empty()) return 1;
    if (filters.fieldChoice <= 0) return FoundAnywhere(record, query, text, details, ways) ? 1 : 0;
    if (filters.fieldChoice == 1) return FoundInName(record, query, text, details, ways) ? 1 : 0;
    int flag = NthShownColumn(filters.columnFlags, filters.fieldChoice - 2);
    if (flag < 0) return 0;
    return FoundInColumn(record, flag, query, text, details, ways) ? 1 : 0;
}

}  // namespace

int PassesFilters(const ContactRecord& record, const FilterState& filters, const SearchQuery& query,
                  const ContactDetails* details) {
    if (query.pattern.empty()) return InChosenGroup(record, filters) ? 1 : 0;
    thread_local std::string text;  // a thread's own variable costs a call under MinGW: only for a search
    return PassesFiltersIn(record, filters, query, details, EveryWay, text);
}

namespace {

// The keys follow the records when these were sorted, removed or added:
// each kept key moves to its record's place.
void AlignSearchKeys(ContactStore& store) {
    // Records added after the last pass leave the keys in line: each
    // gets a key of its own in the pass.
    size_t count = store.records.size();
    bool aligned = store.searchKeys.size() <= count;
    for (size_t i = 0; aligned && i < store.searchKeys.size(); ++i) {
        aligned = store.searchKeys[i].record == store.records[i].get();
    }
    if (aligned) {
        store.searchKeys.resize(count);
        return;
    }
    std::unordered_map<const ContactRecord*, size_t> kept;
    for (size_t i = 0; i < store.searchKeys.size(); ++i) kept.emplace(store.searchKeys[i].record, i);
    std::vector<SearchKey> keys(count);
    for (size_t i = 0; i < count; ++i) {
        auto found = kept.find(store.records[i].get());
        if (found != kept.end()) keys[i] = std::move(store.searchKeys[found->second]);
    }
    store.searchKeys.swap(keys);
}

// Below this many contacts a pass takes well under a millisecond, less
// than starting threads would.
const size_t SplitFromRecords = 8192;
const unsigned MostFilterThreads = 8;

void FilterRange(ContactStore& store, size_t begin, size_t end, const FilterState& filters, const SearchQuery& query) {
    std::string text;  // the composed texts of this slice's records, one at a time
    for (size_t i = begin; i < end; ++i) {
        ContactRecord& record = *store.records[i];
        SearchKey& key = store.searchKeys[i];
        // With nothing typed only the group counts. A record without a key
        // gets one; a changed record's key waits for the first letter,
        // which checks every stamp: reading every record for its stamp
        // is most of a pass over a large book.
        if (query.pattern.empty() && key.record == &record) {
            record.ShownFlag = InChosenGroup(record, filters) ? 1 : 0;
            continue;
        }
        const ContactDetails* details = FindDetails(store, &record);
        uint64_t stamp = SearchStamp(record, details);
        if (key.record != &record || key.stamp != stamp) MakeSearchKey(record, details, stamp, key, text);
        if (KeyAssuresMatch(key, query, filters)) {
            record.ShownFlag = InChosenGroup(record, filters) ? 1 : 0;
        } else if (unsigned ways = WaysKeyAllows(key, query)) {
            record.ShownFlag = PassesFiltersIn(record, filters, query, details, ways, text);
        } else {
            record.ShownFlag = 0;
        }
    }
}

}  // namespace

int ApplyFilters(ContactStore& store, const FilterState& filters) {
    SearchQuery query = PrepareSearch(filters.pattern);
    // The keys are made by every pass, also one with nothing typed, so
    // that the first letter finds them ready.
    AlignSearchKeys(store);
    size_t count = store.records.size();
    unsigned threads = std::min(std::max(1u, std::thread::hardware_concurrency()), MostFilterThreads);
    if (count < SplitFromRecords) threads = 1;
    // Each thread sets the flags and keys of its own slice; the records
    // and their details are only read.
    std::vector<std::thread> helpers;
    size_t slice = (count + threads - 1) / threads;
    for (unsigned t = 1; t < threads; ++t) {
        size_t begin = std::min(count, t * slice);
        size_t end = std::min(count, begin + slice);
        helpers.emplace_back(FilterRange, std::ref(store), begin, end, std::cref(filters), std::cref(query));
    }
    FilterRange(store, 0, std::min(count, slice), filters, query);
    for (std::thread& helper : helpers) helper.join();
    ShownFlagsChanged(store);
    return ShownRecordCount(store);
}
