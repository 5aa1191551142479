#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "store/contact_store.h"
#include "test_support.h"

TEST(ContactRecord, FieldsLieEndToEndAsInTheFile) {
    int offset = 0, total = 0;
    for (int f = 0; f < ContactFieldCount; ++f) total += FieldInfo(f).width;
    EXPECT_EQ(634, total);
    const int expectedOffsets[ContactFieldCount] = {0,   10,  20,  24,  29,  32,  36,  56,  184,
                                                    204, 224, 242, 262, 282, 332, 350, 370, 400,
                                                    418, 438, 458, 508, 526, 546, 576, 606, 620};
    for (int f = 0; f < ContactFieldCount; ++f) {
        EXPECT_EQ(expectedOffsets[f], offset) << "field " << f;
        offset += FieldInfo(f).width;
    }
}

TEST(ContactStore, AppendClearsBothFlags) {
    ContactStore store;
    ContactRecord value = Person("a");
    value.CheckFlag = 1;
    value.ShownFlag = 1;
    ContactRecord* record = AppendRecord(store, value);
    EXPECT_EQ(0, record->CheckFlag);
    EXPECT_EQ(0, record->ShownFlag);
    EXPECT_EQ(1, RecordCount(store));
}

TEST(ContactStore, RecordsKeepTheirAddressWhileOthersComeAndGo) {
    ContactStore store;
    ContactRecord* first = AppendRecord(store, Person("a"));
    ContactRecord* second = AppendRecord(store, Person("b"));
    for (int i = 0; i < 100; ++i) AppendRecord(store, Person("x"));
    EXPECT_EQ(1, RemoveRecord(store, first));
    EXPECT_EQ(0, IndexOfRecord(store, second));
    EXPECT_STREQ("b", second->Surname);
}

// Records come from blocks of places, and removed ones' places are taken
// again: across several blocks, with every other record removed and as
// many added, two stores' records never share a byte.
TEST(ContactStore, EveryRecordHasAPlaceOfItsOwnWhenManyComeAndGo) {
    ContactStore first, second;
    for (int i = 0; i < 9000; ++i) AppendRecord(i % 2 ? second : first, Person(std::to_string(i)));
    for (int i = 0; i < 9000; i += 4) first.records[i / 2]->CheckFlag = 1;
    RemoveTickedRecords(first);
    ClearRecords(second);
    for (int i = 0; i < 9000; ++i) AppendRecord(i % 3 ? first : second, Person("n" + std::to_string(i)));
    std::vector<std::pair<const char*, const char*>> places;
    for (const ContactStore* store : {&first, &second}) {
        for (const auto& record : store->records) {
            const char* start = reinterpret_cast<const char*>(record.get());
            places.emplace_back(start, start + sizeof(ContactRecord));
            EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(start) % alignof(ContactRecord));
        }
    }
    std::sort(places.begin(), places.end());
    for (size_t i = 1; i < places.size(); ++i) ASSERT_LE(places[i - 1].second, places[i].first) << i;
    EXPECT_STREQ("2", first.records.front()->Surname);  // kept through it all
    EXPECT_STREQ("n8997", second.records.back()->Surname);
}

TEST(ContactStore, ShownRecordAtCountsOnlyShownRecords) {
    ContactStore store;
    ContactRecord* records[5];
    for (int i = 0; i < 5; ++i) records[i] = AppendRecord(store, Person(std::to_string(i)));
    records[1]->ShownFlag = 1;
    records[3]->ShownFlag = 1;
    records[4]->ShownFlag = 2;  // only exactly 1 counts
    EXPECT_EQ(records[1], ShownRecordAt(store, 0));
    EXPECT_EQ(records[3], ShownRecordAt(store, 1));
    EXPECT_EQ(nullptr, ShownRecordAt(store, 2));
    EXPECT_EQ(nullptr, ShownRecordAt(store, -1));
}

TEST(ContactStore, RecordAtClampsBelowAndStopsAtTheEnd) {
    ContactStore store;
    EXPECT_EQ(nullptr, RecordAt(store, 0));
    ContactRecord* first = AppendRecord(store, Person("a"));
    AppendRecord(store, Person("b"));
    EXPECT_EQ(first, RecordAt(store, -5));
    EXPECT_EQ(nullptr, RecordAt(store, 2));
}

TEST(ContactStore, RemovingAStrangerChangesNothing) {
    ContactStore store;
    AppendRecord(store, Person("a"));
    ContactRecord stranger = Person("a");
    EXPECT_EQ(0, RemoveRecord(store, &stranger));
    EXPECT_EQ(1, RecordCount(store));
    ContactRecord* former = RecordAt(store, 0);
    ClearRecords(store);
    EXPECT_EQ(0, RecordCount(store));
    EXPECT_EQ(-1, IndexOfRecord(store, former));
}

// The rows the list shows stay the n-th shown records in store order
// through every change the store makes: a walk over the flags is the
// reference.
TEST(ContactStore, ShownRowsFollowEveryChange) {
    std::mt19937 random(26);
    ContactStore store;
    auto reference = [&](int n) -> ContactRecord* {
        for (const auto& record : store.records) {
            if (record->ShownFlag == 1 && n-- == 0) return record.get();
        }
        return nullptr;
    };
    for (int step = 0; step < 400; ++step) {
        switch (random() % 5) {
            case 0:
            case 1: AppendRecord(store, Person(std::to_string(random() % 100))); break;
            case 2:
                if (RecordCount(store) > 0) RemoveRecord(store, RecordAt(store, random() % RecordCount(store)));
                break;
            case 3:
                for (auto& record : store.records) record->CheckFlag = random() % 7 == 0;
                RemoveTickedRecords(store);
                break;
            case 4:
                for (auto& record : store.records) record->ShownFlag = random() % 3 == 0;
                ShownFlagsChanged(store);
                break;
        }
        int shown = 0;
        for (const auto& record : store.records) shown += record->ShownFlag == 1;
        ASSERT_EQ(shown, ShownRecordCount(store));
        for (int n = -1; n <= shown; ++n) ASSERT_EQ(reference(n), ShownRecordAt(store, n)) << step << " " << n;
    }
}

TEST(ContactRecord, SetFieldNeverSpillsIntoTheNextField) {
    ContactRecord record = EmptyRecord();
    SetField(record, Department, std::string(100, 'd'));
    EXPECT_EQ(std::string(13, 'd'), FieldValue(record, Department));
    EXPECT_EQ("", FieldValue(record, JobTitle));
    EXPECT_TRUE(FieldsTerminated(record));
}
