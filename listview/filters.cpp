#include "listview/filters.h"

#include <algorithm>
#include <cstring>
#include <thread>
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
        const void* hit = std::memchr(text + i, part[0], last - i + 1);
        if (!hit) return false;
        i = static_cast<size_t>(static_cast<const char*>(hit) - text);
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

bool Found(const SearchQuery& query, const char* text, size_t length, TextKind kind, bool isName = false) {
    if (MatchTextBytes(query.pattern.data(), query.pattern.size(), text, length)) return true;
    if (kind == TextKind::Spoken && !query.letters.empty()) return MatchSpoken(query, text, length, isName) == 1;
    if (kind == TextKind::Phone && !query.digits.empty()) return MatchPhone(query, text, length) == 1;
    return false;
}

bool FoundInName(const ContactRecord& record, const SearchQuery& query, std::string& text,
                 const ContactDetails* details = nullptr) {
    text.clear();
    AppendNameText(record, text, details);
    return Found(query, text.data(), text.size(), TextKind::Spoken, true);
}

bool HasWholeForms(const ContactDetails* details) { return details && !details->wholes.empty(); }

bool FoundInColumn(const ContactRecord& record, int flag, const SearchQuery& query, std::string& text,
                   const ContactDetails* details = nullptr) {
    if (HasWholeForms(details)) {
        text.clear();
        AppendColumnText(record, flag, text, details);
        return Found(query, text.data(), text.size(), KindOf(flag));
    }
    // A column of one field is searched where it lies, without a copy.
    const ColumnInfo& column = ColumnInfoOf(flag);
    if (column.format == CellFormat::RunTogether && column.fieldCount == 1) {
        ContactField field = column.fields[0];
        const char* fieldText = FieldText(record, field);
        return Found(query, fieldText, strnlen(fieldText, static_cast<size_t>(FieldInfo(field).width)), KindOf(flag));
    }
    text.clear();
    AppendColumnText(record, flag, text);
    return Found(query, text.data(), text.size(), KindOf(flag));
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

bool FoundInItems(const ContactDetails& details, const SearchQuery& query) {
    for (const ContactItem& item : details.items) {
        TextKind kind = KindOfItem(item.kind);
        for (const std::string& part : item.parts) {
            if (!part.empty() && Found(query, part.data(), part.size(), kind)) return true;
        }
    }
    return false;
}

bool FoundAnywhere(const ContactRecord& record, const SearchQuery& query, std::string& text,
                   const ContactDetails* details = nullptr) {
    if (FoundInName(record, query, text, details)) return true;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (FoundInColumn(record, flag, query, text, details)) return true;
    }
    return details && FoundInItems(*details, query);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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
        const void* hit = std::memchr(text + from, pattern[0], lastStart - from + 1);
        if (!hit) return 0;
        size_t start = static_cast<size_t>(static_cast<const char*>(hit) - text);
        // The bytes first: the characters are walked only up to bytes that agree.
        if (std::memcmp(text + start, pattern, patternLength) == 0) {
            while (boundary < start) boundary += CharacterLength(text, boundary, length);
            if (boundary == start) {
                size_t end = start;
                while (end < start + patternLength) end += CharacterLength(text, end, length);
                if (end == start + patternLength) return 1;
            }
        }
        from = start + 1;
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

int PassesFilters(const ContactRecord& record, const FilterState& filters, const SearchQuery& query,
                  const ContactDetails* details) {
    // A group comes first: a record outside the chosen group is never searched.
    if (filters.groupChoice > 0 && filters.groupChoice - 1 != record.GroupIndex) return 0;
    if (query.pattern.empty()) return 1;

    // One buffer for the composed texts of every record of a pass, with no
    // allocation per record; one for each thread of ApplyFilters.
    thread_local std::string text;
    if (filters.fieldChoice <= 0) return FoundAnywhere(record, query, text, details) ? 1 : 0;
    if (filters.fieldChoice == 1) return FoundInName(record, query, text, details) ? 1 : 0;
    int flag = NthShownColumn(filters.columnFlags, filters.fieldChoice - 2);
    if (flag < 0) return 0;
    return FoundInColumn(record, flag, query, text, details) ? 1 : 0;
}

namespace {

// Below this many contacts a pass takes well under a millisecond, less
// than starting threads would.
const size_t SplitFromRecords = 8192;
const unsigned MostFilterThreads = 8;

void FilterRange(ContactStore& store, size_t begin, size_t end, const FilterState& filters, const SearchQuery& query) {
    for (size_t i = begin; i < end; ++i) {
        ContactRecord& record = *store.records[i];
        record.ShownFlag = PassesFilters(record, filters, query, FindDetails(store, &record));
    }
}

}  // namespace

int ApplyFilters(ContactStore& store, const FilterState& filters) {
    SearchQuery query = PrepareSearch(filters.pattern);
    size_t count = store.records.size();
    unsigned threads = std::min(std::max(1u, std::thread::hardware_concurrency()), MostFilterThreads);
    if (count < SplitFromRecords) threads = 1;
    // Each thread sets the flags of its own slice; the records and their
    // details are only read.
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
