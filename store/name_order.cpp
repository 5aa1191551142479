#include "store/name_order.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "store/fixed_text.h"
#include "store/pinyin.h"
#include "store/text_operations.h"

namespace {

// Each unit of a key begins with its class; the end of the surname is
// lower than any unit, so a shorter surname comes first.
const char EndOfSurname = '\x00';
const char LetterUnit = '\x01';
const char OtherUnit = '\x02';
const char EndOfUnit = '\x00';

void AppendLetters(std::string& key, const char* letters) {
    key += LetterUnit;
    key += letters;
    key += EndOfUnit;
}

void AppendKeyOf(const std::string& text, bool isSurname, std::string& key) {
    uint16_t surname[2] = {0, 0};
    int surnameCharacters = isSurname ? SurnameReadingAt(text.data(), text.size(), surname) : 0;
    int character = 0;
    for (size_t i = 0; i < text.size(); ++character) {
        size_t size = GbkCharacterLength(text.data() + i, text.size() - i);
        if (size > 1) {
            CharacterReadings readings = ReadingsOfCharacter(text.data() + i, size);
            if (character < surnameCharacters) {
                AppendLetters(key, SyllableText(surname[character]));
            } else if (!readings.empty()) {
                AppendLetters(key, SyllableText(*readings.first));
            } else {
                key += OtherUnit;
                key.append(text, i, size);
                key += EndOfUnit;
            }
            i += size;
        } else if (IsAsciiLetter(text[i])) {
            key += LetterUnit;
            for (; i < text.size() && IsAsciiLetter(text[i]); ++i) key += AsciiLower(text[i]);
            key += EndOfUnit;
        } else {
            key += OtherUnit;
            key += text[i++];
            key += EndOfUnit;
        }
    }
}

}  // namespace

std::string NameSortKey(const ContactRecord& record) {
    std::string key;
    AppendKeyOf(FieldValue(record, Surname), true, key);
    key += EndOfSurname;
    AppendKeyOf(FieldValue(record, GivenName), false, key);
    return key;
}

void SortByName(ContactStore& store) {
    std::vector<std::pair<std::string, std::unique_ptr<ContactRecord>>> keyed;
    keyed.reserve(store.records.size());
    for (auto& record : store.records) keyed.emplace_back(NameSortKey(*record), std::move(record));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) store.records[i] = std::move(keyed[i].second);
    ShownFlagsChanged(store);
}
