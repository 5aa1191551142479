// The quick search and the two filters, as plain logic: the user
// interface reads its three controls into a FilterState, and RefreshList
// asks PassesFilters about every record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "store/contact_details.h"
#include "store/contact_record.h"
#include "store/contact_store.h"
#include "store/settings_file.h"

struct FilterState {
    int groupChoice;  // GroupFilter: 0 every group, k >= 1 group k - 1 only
    int fieldChoice;  // FieldFilter: 0 (or -1, none) every text, 1 the name, k >= 2 the (k-2)-th shown column
    std::string pattern;                    // GBK; empty matches everything
    int32_t columnFlags[ColumnFlagCount];   // which optional columns are shown
};

// A search text, worked out once for a whole pass over the book.
struct SearchQuery {
    std::string pattern;  // as typed
    // A search of Latin letters and spaces, lowercased without the spaces,
    // also spells Chinese text in pinyin; empty for any other search.
    std::string letters;
    // For a spelling of up to 63 letters: how many letters from each
    // position on agree with each syllable (position * syllable count +
    // syllable).
    std::vector<uint8_t> agreeing;
    // The same for the reading sets, one bit per position: for k letters
    // ((k - 1) * set count + set), the positions from which one of the
    // set's readings agrees with at least k letters. Reading a character
    // is then a look-up and a shift for each k, whatever was reached.
    std::vector<uint64_t> spans;
    // A search of digits and "+-() " also finds a phone number written
    // with other separators: its digits, and the same without a leading
    // 86 or 0086 country code. Empty for any other search.
    std::string digits;
    std::string digitsWithoutCountry;
    // What a record's search key must hold for the record to be searched
    // at all: the bits of the pattern's characters and of each two next to
    // each other, and for a spelling of up to 63 letters, the most letters
    // a syllable agrees with from each position; and every two lowercase
    // letters next to each other, which the key holds exactly.
    std::vector<std::pair<char, char>> letterPairs;
    uint64_t characterBits[16] = {};
    std::vector<uint8_t> syllableReach;
    // For a spelling that one reading can hold whole ("zhang", "lu" for
    // lü): the syllables that begin with it, any of which in a record's
    // key settles the search. Empty for any other search.
    std::vector<uint64_t> wholeInSyllables;
};

SearchQuery PrepareSearch(const std::string& pattern);

// 1 when the pattern occurs in the text as whole characters: a match
// starts and ends on character boundaries (a double-byte GBK character is
// one character), so bytes that span two characters are not found. Bytes
// are compared exactly, case included. An empty pattern matches.
int MatchText(const char* pattern, const char* text);
int MatchTextBytes(const char* pattern, size_t patternLength, const char* text, size_t length);

// 1 when the query's letters spell consecutive Chinese characters of the
// text, starting at any of them: each character by a non-empty beginning
// of one of its readings ("zs", "zhangs", "zhangsan" for 张三; ü as "v" or
// "u"). Spaces in the text are passed over. At the start of a name (when
// `isName`) a surname is also read as a surname (单 shan, 万俟 moqi).
int MatchSpoken(const SearchQuery& query, const char* text, size_t length, bool isName);

// 1 when the query's digits occur among the digits of the text, a leading
// +86 or 0086 on either side not needed.
int MatchPhone(const SearchQuery& query, const char* text, size_t length);

// 1 when the record belongs in the list under these filters.
int PassesFilters(const ContactRecord& record, const FilterState& filters);
// The same, with the search already prepared (from filters.pattern). With
// the contact's details, the name and the columns are searched in their
// whole forms, and a search of every column also looks in the items:
// numbers by their digits, texts by their pinyin.
int PassesFilters(const ContactRecord& record, const FilterState& filters, const SearchQuery& query,
                  const ContactDetails* details = nullptr);

// Sets the ShownFlag of every record of the store as PassesFilters gives
// it with the record's details, a large book split among the processor's
// cores; returns how many records are shown.
int ApplyFilters(ContactStore& store, const FilterState& filters);
