// The synchronisation engine against a real server: Debian's Radicale on
// the loopback (servers.sh). Each test makes its own address book; the
// "phone" writes to it by plain HTTP, as another device would.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/address_book_file.h"
#include "sync/carddav_client.h"
#include "sync/sync_engine.h"
#include "sync/sync_state.h"
#include "sync_servers.h"
#include "test_support.h"

namespace {

SyncOutcome RunSync(Device& device, const std::string& url, SyncReport& report, SyncOptions options = SyncOptions()) {
    TestClient test;
    SyncProgress progress;
    SyncOutcome outcome = SynchroniseBook(device.document, test.client, url, options, &progress, report);
    EXPECT_LE(progress.done.load(), progress.total.load());
    return outcome;
}

SyncReport RunDone(Device& device, const std::string& url, SyncOptions options = SyncOptions()) {
    SyncReport report;
    EXPECT_EQ(SyncOutcome::Done, RunSync(device, url, report, options)) << report.message;
    return report;
}

// The cards on the server, by href.
std::vector<CardData> ServerCards(const std::string& url) {
    TestClient test;
    AddressBook book;
    EXPECT_TRUE(Succeeded(ReadBookProperties(test.client, url, book)));
    std::vector<CardRef> refs;
    EXPECT_TRUE(Succeeded(ListCards(test.client, book, refs)));
    std::vector<std::string> hrefs;
    for (const CardRef& ref : refs) hrefs.push_back(ref.href);
    std::vector<CardData> cards;
    std::vector<std::string> missing;
    if (!hrefs.empty()) {
        EXPECT_TRUE(Succeeded(FetchCards(test.client, book, hrefs, cards, missing)));
    }
    return cards;
}

const CardData* CardHolding(const std::vector<CardData>& cards, const std::string& text) {
    for (const CardData& card : cards) {
        if (card.vcard.find(text) != std::string::npos) return &card;
    }
    return nullptr;
}

// The phone: a plain HTTP request to the server.
int PhoneRequest(const std::string& method, const std::string& url, const std::string& body = std::string()) {
    HttpRequest request;
    request.method = method;
    request.url = url;
    request.user = TestUser;
    request.password = TestPassword;
    request.body = body;
    if (!body.empty()) request.headers = {{"Content-Type", "text/vcard; charset=utf-8"}};
    HttpSession* session = OpenHttpSession();
    HttpResponse response = SendHttpRequest(session, request);
    CloseHttpSession(session);
    return response.status;
}

std::string PhoneCard(const std::string& uid, const std::string& mobile, const std::string& email) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Phone//EN\r\nUID:" + uid +
           "\r\nFN:Lei Li\r\nN:Li;Lei;;;\r\nTEL;TYPE=CELL:" + mobile + "\r\nEMAIL;TYPE=HOME:" + email +
           "\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg==\r\nX-PHONE-RING:bells\r\nEND:VCARD\r\n";
}

TEST(SyncEngineTest, AFirstSyncUploadsASecondBookConvergesAndNothingChangedChangesNothing) {
    std::string url = NewRadicaleBook("first");
    Device a;
    a.Add(Record({{Surname, Gbk("张")}, {GivenName, Gbk("三")}, {Mobile, "13800000001"}, {Company, Gbk("长江公司")}}));
    a.Add(Record({{Surname, "Doe"}, {GivenName, "John"}, {Email, "john@example.com"}}));
    DetailsOf(a.document.contacts, a.Find("Doe")).items.push_back(MakeItem(ItemKind::Note, "", Gbk("备注，第二行")));
    SyncReport first = RunDone(a, url);
    EXPECT_EQ(2, first.uploaded);
    std::vector<CardData> cards = ServerCards(url);
    ASSERT_EQ(2u, cards.size());
    const CardData* zhang = CardHolding(cards, "N:张;三");
    ASSERT_NE(nullptr, zhang);
    EXPECT_NE(std::string::npos, zhang->vcard.find("UID:" + DetailsOf(a.document.contacts, a.Find(Gbk("张"))).id));
    EXPECT_NE(std::string::npos, zhang->vcard.find("VERSION:3.0"));
    EXPECT_TRUE(FileExists(SyncStatePath(a.document.currentPath)));

    Device b;
    SyncReport second = RunDone(b, url);
    EXPECT_EQ(2, second.downloaded);
    ASSERT_NE(nullptr, b.Find(Gbk("张")));
    EXPECT_EQ(Gbk("长江公司"), FieldValue(*b.Find(Gbk("张")), Company));
    EXPECT_EQ(DetailsOf(a.document.contacts, a.Find("Doe")).items, DetailsOf(b.document.contacts, b.Find("Doe")).items);

    // Nothing changed: no write, the book and the cards as they were.
    std::string before = a.BookBytes();
    SyncReport again = RunDone(a, url);
    EXPECT_EQ(0, again.uploaded + again.downloaded + again.deleted);
    EXPECT_EQ(before, a.BookBytes());
    std::vector<CardData> after = ServerCards(url);
    for (const CardData& card : cards) EXPECT_NE(nullptr, CardHolding(after, card.etag.empty() ? card.vcard : card.vcard));
    SyncReport fromB = RunDone(b, url);
    EXPECT_EQ(0, fromB.uploaded + fromB.downloaded + fromB.deleted);
}

TEST(SyncEngineTest, APhoneCardArrivesEditsMeetAndWhatTheBookCannotHoldSurvives) {
    std::string url = NewRadicaleBook("phone");
    ASSERT_EQ(201, PhoneRequest("PUT", url + "phone-1.vcf", PhoneCard("phone-uid-1", "13900000001", "li@example.com")));
    Device a;
    EXPECT_EQ(1, RunDone(a, url).downloaded);
    ContactRecord* li = a.Find("Li");
    ASSERT_NE(nullptr, li);
    EXPECT_EQ("13900000001", FieldValue(*li, Mobile));

    // A local edit goes up; the photo, the unknown property and the UID stay.
    SetField(*li, Mobile, "13900000002");
    EXPECT_EQ(1, RunDone(a, url).uploaded);
    std::vector<CardData> cards = ServerCards(url);
    ASSERT_EQ(1u, cards.size());
    EXPECT_NE(std::string::npos, cards[0].vcard.find("13900000002"));
    EXPECT_EQ(std::string::npos, cards[0].vcard.find("13900000001"));
    EXPECT_NE(std::string::npos, cards[0].vcard.find("PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg=="));
    EXPECT_NE(std::string::npos, cards[0].vcard.find("X-PHONE-RING:bells"));
    EXPECT_NE(std::string::npos, cards[0].vcard.find("UID:phone-uid-1"));

    // The phone edits: the same contact takes the edit.
    ASSERT_EQ(2, PhoneRequest("PUT", url + "phone-1.vcf", PhoneCard("phone-uid-1", "13900000002", "lei@example.com")) / 100);
    SyncReport report = RunDone(a, url);
    EXPECT_EQ(1, report.downloaded);
    ASSERT_EQ(1, RecordCount(a.document.contacts));
    EXPECT_EQ("lei@example.com", FieldValue(*a.Find("Li"), Email));
    EXPECT_TRUE(report.conflicts.empty());
}

TEST(SyncEngineTest, AConflictIsListedWithBothValuesAndNothingIsLost) {
    std::string url = NewRadicaleBook("conflict");
    ASSERT_EQ(201, PhoneRequest("PUT", url + "c.vcf", PhoneCard("conflict-uid", "13900000001", "li@example.com")));
    Device a;
    RunDone(a, url);
    SetField(*a.Find("Li"), Mobile, "13911111111");
    SetField(*a.Find("Li"), Email, "local@example.com");  // only here: no conflict
    ASSERT_EQ(2, PhoneRequest("PUT", url + "c.vcf", PhoneCard("conflict-uid", "13922222222", "li@example.com")) / 100);

    SyncReport report = RunDone(a, url);
    ASSERT_EQ(1u, report.conflicts.size());
    const SyncConflict& conflict = report.conflicts[0];
    EXPECT_EQ("TEL", conflict.property);
    EXPECT_EQ("13911111111", conflict.localValue);
    EXPECT_EQ("13922222222", conflict.serverValue);
    ContactRecord* li = a.Find("Li");
    EXPECT_EQ("13911111111", FieldValue(*li, Mobile));
    EXPECT_EQ("local@example.com", FieldValue(*li, Email));
    bool kept = false;
    for (const ContactItem& item : DetailsOf(a.document.contacts, li).items) kept = kept || JoinedParts(item) == "13922222222";
    EXPECT_TRUE(kept) << "the server's value stays as an item";
    std::vector<CardData> cards = ServerCards(url);
    EXPECT_NE(std::string::npos, cards[0].vcard.find("local@example.com"));

    // The user picks the server's number; it reaches the server, the item goes.
    ASSERT_TRUE(ResolveConflict(a.document, conflict, true));
    EXPECT_EQ("13922222222", FieldValue(*a.Find("Li"), Mobile));
    EXPECT_FALSE(ResolveConflict(a.document, conflict, true));
    RunDone(a, url);
    cards = ServerCards(url);
    EXPECT_NE(std::string::npos, cards[0].vcard.find("13922222222"));
    EXPECT_EQ(std::string::npos, cards[0].vcard.find("13911111111"));

    // PreferServer decides without keeping the other value.
    Device b;
    RunDone(b, url);
    SetField(*b.Find("Li"), Mobile, "13933333333");
    ASSERT_EQ(2, PhoneRequest("PUT", url + "c.vcf", PhoneCard("conflict-uid", "13944444444", "li@example.com")) / 100);
    SyncOptions preferServer;
    preferServer.conflicts = ConflictChoice::PreferServer;
    EXPECT_EQ(1u, RunDone(b, url, preferServer).conflicts.size());
    EXPECT_EQ("13944444444", FieldValue(*b.Find("Li"), Mobile));
}

TEST(SyncEngineTest, DeletionsTravelBothWaysAndAMassDeletionAsksFirst) {
    std::string url = NewRadicaleBook("deletions");
    Device a;
    for (int i = 0; i < 30; ++i) a.Add(Record({{Surname, "P" + std::to_string(i)}, {GivenName, "X"}}));
    EXPECT_EQ(30, RunDone(a, url).uploaded);

    // Here: gone from the server.
    RemoveRecord(a.document.contacts, a.Find("P0"));
    EXPECT_EQ(1, RunDone(a, url).deleted);
    std::vector<CardData> cards = ServerCards(url);
    EXPECT_EQ(29u, cards.size());
    EXPECT_EQ(nullptr, CardHolding(cards, "N:P0;"));

    // On the phone: gone from the book.
    const CardData* p1 = CardHolding(cards, "N:P1;");
    ASSERT_NE(nullptr, p1);
    EXPECT_EQ(2, PhoneRequest("DELETE", ResolveHref(url, p1->href)) / 100);
    SyncReport fromPhone = RunDone(a, url);
    EXPECT_EQ(1, fromPhone.deleted);
    EXPECT_EQ(0, fromPhone.uploaded);
    EXPECT_EQ(nullptr, a.Find("P1"));

    // Deleted on one side, changed on the other: the change is kept.
    const CardData* p12 = CardHolding(cards, "N:P12;");
    const CardData* p13 = CardHolding(cards, "N:P13;");
    ASSERT_TRUE(p12 && p13);
    RemoveRecord(a.document.contacts, a.Find("P12"));
    std::string edited = p12->vcard;
    edited.insert(edited.find("END:VCARD"), "TEL;TYPE=WORK:13500000012\r\n");
    ASSERT_EQ(2, PhoneRequest("PUT", ResolveHref(url, p12->href), edited) / 100);
    SetField(*a.Find("P13"), Mobile, "13500000013");
    EXPECT_EQ(2, PhoneRequest("DELETE", ResolveHref(url, p13->href)) / 100);
    SyncReport kept = RunDone(a, url);
    EXPECT_EQ(0, kept.deleted);
    ASSERT_NE(nullptr, a.Find("P12"));
    EXPECT_EQ("13500000012", FieldValue(*a.Find("P12"), WorkPhone));
    EXPECT_NE(nullptr, CardHolding(ServerCards(url), "13500000013"));
    EXPECT_EQ(28, RecordCount(a.document.contacts));
    EXPECT_EQ(28u, ServerCards(url).size());

    // Ten of 28 deleted on the phone: nothing deleted until allowed.
    for (int i = 2; i < 12; ++i) {
        const CardData* card = CardHolding(cards, "N:P" + std::to_string(i) + ";");
        ASSERT_NE(nullptr, card);
        EXPECT_EQ(2, PhoneRequest("DELETE", ResolveHref(url, card->href)) / 100);
    }
    SyncReport report;
    EXPECT_EQ(SyncOutcome::MassDelete, RunSync(a, url, report));
    EXPECT_EQ(10, report.wouldDeleteLocal);
    EXPECT_EQ(28, RecordCount(a.document.contacts));
    SyncOptions allow;
    allow.allowMassDelete = true;
    SyncReport allowed = RunDone(a, url, allow);
    EXPECT_EQ(10, allowed.deleted);
    EXPECT_EQ(0, allowed.uploaded);
    EXPECT_EQ(18, RecordCount(a.document.contacts));
}

TEST(SyncEngineTest, ALostStateOrASecondBookOfTheSameContactsDoublesNothing) {
    std::string url = NewRadicaleBook("matching");
    Device a;
    for (int i = 0; i < 5; ++i) a.Add(Record({{Surname, Gbk("王")}, {GivenName, "M" + std::to_string(i)}, {Mobile, "1390000000" + std::to_string(i)}}));
    RunDone(a, url);

    // The state is lost: the cards are found again by UID.
    std::remove(PathToUtf8(SyncStatePath(a.document.currentPath)).c_str());
    SyncReport again = RunDone(a, url);
    EXPECT_EQ(0, again.uploaded + again.downloaded + again.deleted);
    EXPECT_EQ(5u, ServerCards(url).size());

    // Another book with the same contacts (other ids): matched by content.
    Device b;
    for (int i = 0; i < 5; ++i) b.Add(Record({{Surname, Gbk("王")}, {GivenName, "M" + std::to_string(i)}, {Mobile, "1390000000" + std::to_string(i)}}));
    b.Add(Person("Only", "B"));
    SyncReport report = RunDone(b, url);
    EXPECT_EQ(1, report.uploaded);
    EXPECT_EQ(6, RecordCount(b.document.contacts));
    EXPECT_EQ(6u, ServerCards(url).size());
    EXPECT_EQ(1, RunDone(a, url).downloaded);
    EXPECT_EQ(6, RecordCount(a.document.contacts));
}

}  // namespace
