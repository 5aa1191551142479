#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/name_order.h"
#include "test_support.h"

namespace {

ContactStore Book(const std::vector<std::pair<const char*, const char*>>& names) {
    ContactStore store;
    for (const auto& name : names) {
        AppendRecord(store, Record({{Surname, Gbk(name.first)}, {GivenName, Gbk(name.second)}}));
    }
    return store;
}

std::vector<std::string> Names(const ContactStore& store) {
    std::vector<std::string> names;
    for (const auto& record : store.records) {
        names.push_back(FieldValue(*record, Surname) + "|" + FieldValue(*record, GivenName));
    }
    return names;
}

std::vector<std::string> Names(const std::vector<std::pair<const char*, const char*>>& names) {
    std::vector<std::string> out;
    for (const auto& name : names) out.push_back(Gbk(name.first) + "|" + Gbk(name.second));
    return out;
}

}  // namespace

TEST(SortByName, OrdersByPinyinOfSurnameThenGivenNameLatinAmongThemSymbolsLast) {
    ContactStore store = Book({{"123", ""},
                               {"张", "三"},
                               {"zhao", "Lei"},
                               {"曾", "国藩"},  // zeng as a surname, not ceng
                               {"王", "小明"},
                               {"Wang", "Alice"},
                               {"王", "小"},
                               {"单", "雄"},  // shan
                               {"安", "琪"},
                               {"吕", "布"},  // lv, after lu
                               {"陆", "逊"},
                               {"#", "x"},
                               {"䶮", "一"},     // yan, a character GBK has in its last row
                               {"𬀩", "二"}});  // wei, four bytes
    ContactRecord* first = store.records[0].get();
    SortByName(store);
    EXPECT_EQ(Names({{"安", "琪"},
                     {"陆", "逊"},
                     {"吕", "布"},
                     {"单", "雄"},
                     {"Wang", "Alice"},
                     {"王", "小"},
                     {"王", "小明"},
                     {"𬀩", "二"},
                     {"䶮", "一"},
                     {"曾", "国藩"},
                     {"张", "三"},
                     {"zhao", "Lei"},
                     {"#", "x"},
                     {"123", ""}}),
              Names(store));
    EXPECT_EQ(13, IndexOfRecord(store, first));  // the records themselves moved
}

TEST(SortByName, KeepsTheOldOrderOfEqualNames) {
    ContactStore store = Book({{"张", "三"}, {"章", "三"}, {"ZHANG", "san"}, {"张", "三"}});
    std::vector<ContactRecord*> before;
    for (const auto& record : store.records) before.push_back(record.get());
    SortByName(store);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i], store.records[i].get());
}
