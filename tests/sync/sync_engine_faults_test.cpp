// The synchronisation engine against the scripted server of faults
// (fault_server.py): each ends with nothing lost and nothing doubled.
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <set>
#include <string>

#include "store/address_book_file.h"
#include "sync/carddav_client.h"
#include "sync/sync_engine.h"
#include "sync/sync_state.h"
#include "sync_servers.h"
#include "test_support.h"

namespace {

// A book of the scenario with cards of its own: card0.vcf to card4.vcf.
std::string FaultBook(const std::string& scenario) {
    static std::atomic<int> made{0};
    return ServerUrl("fault") + "faults/" + scenario + "-" + std::to_string(std::time(nullptr)) + "x" +
           std::to_string(made++) + "/";
}

SyncOutcome Sync(Device& device, const std::string& url, SyncReport& report) {
    TestClient test;
    test.client.timeoutSeconds = 5;
    return SynchroniseBook(device.document, test.client, url, SyncOptions(), nullptr, report);
}

SyncReport SyncDone(Device& device, const std::string& url) {
    SyncReport report;
    EXPECT_EQ(SyncOutcome::Done, Sync(device, url, report)) << report.message;
    return report;
}

int Changes(const SyncReport& report) { return report.uploaded + report.downloaded + report.deleted; }

std::vector<CardData> Cards(const std::string& url) {
    TestClient test;
    AddressBook book;
    EXPECT_TRUE(Succeeded(ReadBookProperties(test.client, url, book)));
    std::vector<CardRef> refs;
    EXPECT_TRUE(Succeeded(ListCards(test.client, book, refs)));
    std::vector<CardData> cards;
    for (const CardRef& ref : refs) {
        CardData card;
        EXPECT_TRUE(Succeeded(FetchCard(test.client, book, ref.href, card)));
        cards.push_back(card);
    }
    return cards;
}

// Every contact once, by surname.
void ExpectNoDouble(const Device& device) {
    std::set<std::string> names;
    for (const auto& record : device.document.contacts.records) {
        EXPECT_TRUE(names.insert(FieldValue(*record, Surname)).second) << FieldValue(*record, Surname) << " twice";
    }
}

TEST(SyncEngineFaultsTest, A412OnAWriteFetchesTheCardMergesAndTriesAgain) {
    std::string url = FaultBook("race");
    Device a;
    EXPECT_EQ(5, SyncDone(a, url).downloaded);
    SetField(*a.Find("Person 0"), Mobile, "13900000000");
    SyncReport report = SyncDone(a, url);
    EXPECT_EQ(1, report.uploaded) << report.downloaded << report.conflicts.size();
    EXPECT_TRUE(report.conflicts.empty());
    EXPECT_EQ("phone@example.com", FieldValue(*a.Find("Person 0"), Email)) << "the change made meanwhile arrives";
    for (const CardData& card : Cards(url)) {
        if (card.vcard.find("card-0") == std::string::npos) continue;
        EXPECT_NE(std::string::npos, card.vcard.find("13900000000")) << card.vcard;
        EXPECT_NE(std::string::npos, card.vcard.find("phone@example.com"));
    }
    EXPECT_EQ(0, Changes(SyncDone(a, url)));
}

TEST(SyncEngineFaultsTest, ARefusedTokenMeansOneFullComparisonNotAFreshCopy) {
    std::string url = FaultBook("token");
    Device a;
    EXPECT_EQ(5, SyncDone(a, url).downloaded);
    SetField(*a.Find("Person 1"), Mobile, "13900000001");
    SyncReport report = SyncDone(a, url);
    EXPECT_EQ(1, report.uploaded);
    EXPECT_EQ(0, report.downloaded);
    EXPECT_EQ(5, RecordCount(a.document.contacts));
    EXPECT_EQ(0, Changes(SyncDone(a, url)));
}

TEST(SyncEngineFaultsTest, WithoutSyncCollectionTheETagsTellWhatChanged) {
    std::string url = FaultBook("nosync");
    Device a;
    EXPECT_EQ(5, SyncDone(a, url).downloaded);
    EXPECT_EQ(0, Changes(SyncDone(a, url)));
    // Another device changes a card and deletes one.
    TestClient phone;
    AddressBook book;
    ASSERT_TRUE(Succeeded(ReadBookProperties(phone.client, url, book)));
    EXPECT_FALSE(book.syncCollection);
    std::vector<CardData> cards = Cards(url);
    WriteResult written;
    std::string edited = cards[0].vcard;
    edited.replace(edited.find("13800138000"), 11, "13600000000");
    ASSERT_TRUE(Succeeded(UpdateCard(phone.client, book, cards[0].href, cards[0].etag, edited, written)));
    ASSERT_TRUE(Succeeded(DeleteCard(phone.client, book, cards[1].href, cards[1].etag)));
    SetField(*a.Find("Person 2"), Mobile, "13600000002");
    SyncReport report = SyncDone(a, url);
    EXPECT_EQ(1, report.downloaded);
    EXPECT_EQ(1, report.deleted);
    EXPECT_EQ(1, report.uploaded);
    EXPECT_EQ("13600000000", FieldValue(*a.Find("Person 0"), Mobile));
    EXPECT_EQ(4, RecordCount(a.document.contacts));
    EXPECT_EQ(0, Changes(SyncDone(a, url)));
}

TEST(SyncEngineFaultsTest, ACardTheServerRewritesOrGivesAnotherUidIsNoChangeAndNoSecondContact) {
    for (const char* scenario : {"reserialize", "uid"}) {
        SCOPED_TRACE(scenario);
        std::string url = FaultBook(scenario);
        Device a;
        AppendRecord(a.document.contacts, Record({{Surname, "Mine"}, {Mobile, "13700000000"}}));
        SyncReport first = SyncDone(a, url);
        EXPECT_EQ(1, first.uploaded);
        EXPECT_EQ(5, first.downloaded);
        std::string book = ReadFileBytes(a.document.currentPath);
        EXPECT_EQ(0, Changes(SyncDone(a, url)));
        EXPECT_EQ(book, ReadFileBytes(a.document.currentPath));

        SetField(*a.Find("Mine"), Mobile, "13700000001");
        EXPECT_EQ(1, SyncDone(a, url).uploaded);
        EXPECT_EQ(0, Changes(SyncDone(a, url)));
        EXPECT_EQ(6, RecordCount(a.document.contacts));
        EXPECT_EQ(6u, Cards(url).size());
        ExpectNoDouble(a);
    }
}

TEST(SyncEngineFaultsTest, A401AsksForThePasswordAndAFailureLeavesTheBookAsItWas) {
    for (const char* scenario : {"unauthorized", "cut", "broken"}) {
        SCOPED_TRACE(scenario);
        Device a;
        AppendRecord(a.document.contacts, Person("Kept"));
        WriteAddressBook(a.document.currentPath, a.document.groups, a.document.contacts);
        std::string book = ReadFileBytes(a.document.currentPath);
        SyncReport report;
        SyncOutcome outcome = Sync(a, FaultBook(scenario), report);
        EXPECT_EQ(std::string(scenario) == "unauthorized" ? SyncOutcome::NeedsPassword : SyncOutcome::Failed, outcome);
        EXPECT_FALSE(report.message.empty());
        EXPECT_EQ(book, ReadFileBytes(a.document.currentPath));
        EXPECT_FALSE(FileExists(SyncStatePath(a.document.currentPath)));
    }
}

TEST(SyncEngineFaultsTest, AConnectionCutAfterAWriteWasStoredDoublesNothing) {
    std::string url = FaultBook("putcut");
    Device a;
    for (int i = 0; i < 4; ++i) AppendRecord(a.document.contacts, Person("Mine " + std::to_string(i)));
    SyncReport report;
    EXPECT_EQ(SyncOutcome::Failed, Sync(a, url, report));
    EXPECT_FALSE(report.message.empty());
    SyncDone(a, url);
    EXPECT_EQ(9, RecordCount(a.document.contacts));
    EXPECT_EQ(9u, Cards(url).size());
    ExpectNoDouble(a);
    EXPECT_EQ(0, Changes(SyncDone(a, url)));
}

TEST(SyncEngineFaultsTest, ACardOverTheServersLimitIsReportedAndKept) {
    std::string url = FaultBook("small");
    Device a;
    AppendRecord(a.document.contacts, Person("Large"));
    DetailsOf(a.document.contacts, a.Find("Large")).items.push_back(MakeItem(ItemKind::Note, "", std::string(400, 'n')));
    AppendRecord(a.document.contacts, Person("Small"));
    SyncReport report = SyncDone(a, url);
    EXPECT_EQ(1, report.uploaded);
    EXPECT_NE(std::string::npos, report.message.find("Large")) << report.message;
    EXPECT_NE(nullptr, a.Find("Large"));
    EXPECT_EQ(6u, Cards(url).size());
}

TEST(SyncEngineFaultsTest, ACancelledSyncStopsAndTheNextOneGoesOn) {
    std::string url = FaultBook("plain");
    Device a;
    AppendRecord(a.document.contacts, Person("Mine"));
    TestClient test;
    SyncProgress progress;
    progress.cancel = true;
    SyncReport report;
    EXPECT_EQ(SyncOutcome::Cancelled, SynchroniseBook(a.document, test.client, url, SyncOptions(), &progress, report));
    EXPECT_EQ(5u, Cards(url).size());
    SyncReport next = SyncDone(a, url);
    EXPECT_EQ(1, next.uploaded);
    EXPECT_EQ(5, next.downloaded);
    EXPECT_EQ(6, RecordCount(a.document.contacts));
}

}  // namespace
