// The filter pass sifts the records through their search keys before it
// searches them: it must show exactly the records PassesFilters shows,
// whatever the book, the search, the field and the group, also after
// records were changed, added, removed or moved.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "listview/columns.h"
#include "listview/filters.h"
#include "store/contact_store.h"
#include "test_support.h"
#include "store/random_books.h"

namespace {

// Characters with many readings, surnames read otherwise, ü, a four-byte
// character, characters whose second byte is a lowercase letter, spaces,
// separators and digits: texts that searches find.
const char* const Pieces[] = {"张", "三", "单", "长", "行", "重", "万", "俟", "绿", "女", "李", "吕", "杭", "州",
                              "中", "国", "𠀀", "乤a", "亃z", "，", " ", " ", "a", "Z", "s", "h", "+86 ", "0086", "138", "-",
                              "0", "5", "9", "(", ")", "x", "1", "朴", "尉", "迟", "令", "狐"};
// Surnames read otherwise at the start of a name.
const char* const Surnames[] = {"万俟", "朴", "尉迟", "单", "曾", "令狐"};
const char* const Syllables[] = {"z", "zh", "zhang", "s", "san", "sh", "shan", "c", "ch", "chang", "h", "hang",
                                 "x", "xing", "l", "lv", "lu", "li", "n", "nv", "nu", "m", "mo", "q", "qi", "w",
                                 "wan", "zhong", "g", "guo", "zhou", "chong", "a", " ", "p", "piao", "y", "yu",
                                 "mq", "moqi", "ling", "pu", "wei", "zha", "cha"};
const char* const Numbers[] = {"1", "3", "8", "13", "138", "86", "+86", "0086", "+86 13", "-0", "5 9", "(0)"};

std::string ReadableText(std::mt19937& random, int pieces) {
    std::string text;
    for (int i = 0; i < pieces; ++i) text += Gbk(Pieces[random() % (sizeof Pieces / sizeof Pieces[0])]);
    return text;
}

ContactRecord ReadableRecord(std::mt19937& random) {
    ContactRecord record = EmptyRecord();
    for (int field = 0; field < ContactFieldCount; ++field) {
        const ContactFieldInfo& info = FieldInfo(field);
        if (info.isText && random() % 3 != 0) SetField(record, info.field, ReadableText(random, static_cast<int>(random() % 8)));
    }
    if (random() % 3 == 0) SetField(record, Surname, Gbk(Surnames[random() % (sizeof Surnames / sizeof Surnames[0])]));
    record.Gender = static_cast<int32_t>(random() % 3);
    record.GroupIndex = static_cast<int32_t>(random() % 3);
    return record;
}

void AddRecord(ContactStore& store, std::mt19937& random) {
    ContactRecord* record = AppendRecord(store, random() % 4 == 0 ? RandomRecord(random) : ReadableRecord(random));
    if (random() % 3 == 0) {
        ContactDetails& details = DetailsOf(store, record);
        details.items.push_back(MakeItem(ItemKind::Phone, "", ReadableText(random, 4)));
        details.items.push_back(MakeItem(ItemKind::Note, "", ReadableText(random, 6)));
        details.items.push_back(MakeItem(ItemKind::Email, "", ReadableText(random, 3)));
        if (random() % 2) SetWholeField(*record, details, Nickname, ReadableText(random, 20));
    }
}

std::string RandomSearch(const ContactStore& store, std::mt19937& random) {
    std::string search;
    switch (random() % 4) {
        case 0: {  // a piece of a record's text, cut anywhere
            const ContactRecord& record = *store.records[random() % store.records.size()];
            std::string text = ColumnText(record, static_cast<int>(random() % ColumnFlagCount)) + NameText(record);
            if (text.empty()) return "z";
            size_t start = random() % 2 ? 0 : random() % text.size();
            return text.substr(start, 1 + random() % 6);
        }
        case 1:
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) search += Syllables[random() % (sizeof Syllables / sizeof Syllables[0])];
            return search;
        case 2: return Numbers[random() % (sizeof Numbers / sizeof Numbers[0])];
        default: return ReadableText(random, 1 + static_cast<int>(random() % 2));
    }
}

// Applies the filters and compares every record's flag with PassesFilters.
void ExpectSameAsEachRecordAlone(ContactStore& store, const FilterState& filters) {
    ApplyFilters(store, filters);
    SearchQuery query = PrepareSearch(filters.pattern);
    for (const auto& record : store.records) {
        int expected = PassesFilters(*record, filters, query, FindDetails(store, record.get()));
        ASSERT_EQ(expected, record->ShownFlag) << "search \"" << filters.pattern << "\", field " << filters.fieldChoice
                                               << ", group " << filters.groupChoice;
    }
}

void ChangeBook(ContactStore& store, std::mt19937& random) {
    for (int i = 0; i < 10; ++i) {
        ContactRecord& record = *store.records[random() % store.records.size()];
        const ContactFieldInfo& info = FieldInfo(static_cast<int>(random() % ContactFieldCount));
        if (info.isText) SetField(record, info.field, ReadableText(random, static_cast<int>(random() % 6)));
        else record.Gender ^= 1;
    }
    DetailsOf(store, store.records[random() % store.records.size()].get())
        .items.push_back(MakeItem(ItemKind::Address, "", ReadableText(random, 5)));
    RemoveRecord(store, store.records[random() % store.records.size()].get());
    AddRecord(store, random);
    if (random() % 2) std::reverse(store.records.begin(), store.records.end());
}

void CheckBook(ContactStore& store, std::mt19937& random, int rounds, int searches) {
    for (int round = 0; round < rounds; ++round) {
        for (int s = 0; s < searches; ++s) {
            FilterState filters = {};
            // The first pass after a change has nothing typed, as when the
            // search box is cleared after an edit.
            if (s > 0) filters.pattern = RandomSearch(store, random);
            filters.fieldChoice = static_cast<int>(random() % 8) - 1;
            filters.groupChoice = random() % 3 == 0 ? static_cast<int>(random() % 4) : 0;
            for (int32_t& flag : filters.columnFlags) flag = static_cast<int32_t>(random() % 2);
            ExpectSameAsEachRecordAlone(store, filters);
            if (::testing::Test::HasFatalFailure()) return;
        }
        ChangeBook(store, random);
    }
}

}  // namespace

TEST(ApplyFilters, ShowsWhatEachRecordAloneWouldOnRandomBooksAndSearches) {
    std::mt19937 random(2612);
    for (int book = 0; book < 6; ++book) {
        ContactStore store;
        for (int i = 0; i < 150; ++i) AddRecord(store, random);
        CheckBook(store, random, 6, 40);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(ApplyFilters, ALargeBookSplitAmongTheCoresShowsTheSame) {
    std::mt19937 random(2613);
    ContactStore store;
    for (int i = 0; i < 9000; ++i) AddRecord(store, random);
    CheckBook(store, random, 2, 6);
}
