// The protocol client against the scripted server of faults
// (fault_server.py): each fault ends in the result it should, and no
// request is repeated without bound.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "sync/carddav_client.h"
#include "sync/http_auth.h"
#include "sync/vcard_merge.h"
#include "sync_servers.h"

namespace {

AddressBook FaultBook(const char* name) {
    AddressBook book;
    book.url = ServerUrl("fault") + "faults/" + name + "/";
    return book;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(CardDavFaultsTest, AWriteRefusedWith412SaysTheCardChanged) {
    TestClient test;
    AddressBook book = FaultBook("precondition");
    WriteResult written;
    DavResult result = UpdateCard(test.client, book, "/faults/precondition/card0.vcf", "\"old\"",
                                  SampleCard("card-0", "Mine"), written);
    EXPECT_EQ(DavPreconditionFailed, result.status) << result.message;
    EXPECT_TRUE(written.etag.empty());
    EXPECT_EQ(DavPreconditionFailed, DeleteCard(test.client, book, "/faults/precondition/card0.vcf", "\"old\"").status);
}

TEST(CardDavFaultsTest, ARefusedSyncTokenAsksForAFullComparison) {
    for (const char* name : {"token", "token409"}) {
        TestClient test;
        AddressBook book = FaultBook(name);
        SyncChanges first;
        ASSERT_TRUE(Succeeded(SyncCollection(test.client, book, "", first))) << name;
        EXPECT_EQ(5u, first.changed.size());
        SyncChanges again;
        DavResult refused = SyncCollection(test.client, book, first.token, again);
        EXPECT_EQ(DavTokenRefused, refused.status) << name << ": " << refused.message;
        std::vector<CardRef> all;
        ASSERT_TRUE(Succeeded(ListCards(test.client, book, all)));
        EXPECT_EQ(5u, all.size());
    }
}

TEST(CardDavFaultsTest, ATruncatedAnswerIsFollowedToItsEnd) {
    TestClient test;
    SyncChanges changes;
    DavResult result = SyncCollection(test.client, FaultBook("truncated"), "", changes);
    ASSERT_TRUE(Succeeded(result)) << result.message;
    EXPECT_EQ(5u, changes.changed.size());
    EXPECT_EQ(3, test.client.requestsSent);
    EXPECT_EQ(0u, changes.token.find("token-"));
    // A server that cuts its answer without moving on is not asked forever.
    SyncChanges stuck;
    EXPECT_EQ(DavBadAnswer, SyncCollection(test.client, FaultBook("stuck"), "", stuck).status);
    EXPECT_LE(test.client.requestsSent, 5);
}

TEST(CardDavFaultsTest, ACardTheServerWroteAnewIsFetchedAndIsNoChange) {
    TestClient test;
    AddressBook book = FaultBook("reserialize");
    std::string mine = SampleCard("re-1", "Wang", "EMAIL;TYPE=INTERNET,HOME:wang@example.com\r\nNOTE:a note\r\n");
    WriteResult written;
    ASSERT_TRUE(Succeeded(CreateCard(test.client, book, "re-1", mine, written)));
    EXPECT_TRUE(written.etag.empty()) << "the server gave no ETag, so none may be assumed";
    CardData stored;
    ASSERT_TRUE(Succeeded(FetchCard(test.client, book, written.href, stored)));
    EXPECT_FALSE(stored.etag.empty());
    EXPECT_NE(mine, stored.vcard);
    ParsedCard local, server;
    ASSERT_TRUE(ParseCard(mine, local));
    ASSERT_TRUE(ParseCard(stored.vcard, server));
    MergeResult merged = MergeCards(local, local, server, ContactHolds, KeepLocal);
    EXPECT_FALSE(merged.uploadNeeded);
    EXPECT_FALSE(merged.localChanged);
    EXPECT_TRUE(merged.conflicts.empty());
}

TEST(CardDavFaultsTest, AUidTheServerChangedComesBackAsTheServerHasIt) {
    TestClient test;
    AddressBook book = FaultBook("uid");
    WriteResult written;
    ASSERT_TRUE(Succeeded(CreateCard(test.client, book, "mine-1", SampleCard("mine-1", "Li"), written)));
    EXPECT_EQ("/faults/uid/mine-1.vcf", written.href);
    EXPECT_TRUE(written.etag.empty());
    CardData stored;
    ASSERT_TRUE(Succeeded(FetchCard(test.client, book, written.href, stored)));
    EXPECT_NE(std::string::npos, stored.vcard.find("UID:server-made-uid\r\n"));
}

TEST(CardDavFaultsTest, A401AsksForThePasswordAgain) {
    TestClient test;
    std::vector<CardRef> cards;
    DavResult result = ListCards(test.client, FaultBook("unauthorized"), cards);
    EXPECT_EQ(DavUnauthorized, result.status);
    EXPECT_EQ(1, test.client.requestsSent);
}

TEST(CardDavFaultsTest, BusyServersAreWaitedForAFewTimesOnly) {
    TestClient test;
    auto start = std::chrono::steady_clock::now();
    std::vector<CardRef> cards;
    DavResult result = ListCards(test.client, FaultBook("busy"), cards);
    ASSERT_TRUE(Succeeded(result)) << result.message;
    EXPECT_EQ(5u, cards.size());
    EXPECT_EQ(3, test.client.requestsSent);
    EXPECT_GE(SecondsSince(start), 1.9);  // Retry-After: 1, twice

    test.client.requestsSent = 0;
    test.client.maxRetries = 2;
    result = ListCards(test.client, FaultBook("overloaded"), cards);
    EXPECT_EQ(DavBusy, result.status);
    EXPECT_EQ(3, test.client.requestsSent);

    // A wait longer than the client takes is not waited for at all.
    test.client.requestsSent = 0;
    start = std::chrono::steady_clock::now();
    result = ListCards(test.client, FaultBook("later"), cards);
    EXPECT_EQ(DavBusy, result.status);
    EXPECT_EQ(1, test.client.requestsSent);
    EXPECT_LT(SecondsSince(start), 5.0);
}

// Some servers answer before reading a request's body and close, which
// resets the connection; the request goes once more on a new one.
TEST(CardDavFaultsTest, AConnectionResetBeforeAnyAnswerIsTriedOnceMore) {
    TestClient test;
    std::vector<CardRef> cards;
    DavResult listed = ListCards(test.client, FaultBook("reset"), cards);
    EXPECT_TRUE(Succeeded(listed)) << listed.message;
    EXPECT_EQ(5u, cards.size());
}

TEST(CardDavFaultsTest, BrokenConnectionsTimeoutsAndServerErrorsStopWithAMessage) {
    TestClient test;
    std::vector<CardRef> cards;
    DavResult cut = ListCards(test.client, FaultBook("cut"), cards);
    EXPECT_EQ(DavTransportFailed, cut.status) << cut.message;
    EXPECT_NE(std::string::npos, cut.message.find("/faults/cut/"));

    test.client.timeoutSeconds = 2;
    auto start = std::chrono::steady_clock::now();
    DavResult slow = ListCards(test.client, FaultBook("slow"), cards);
    EXPECT_EQ(DavTransportFailed, slow.status) << slow.message;
    EXPECT_LT(SecondsSince(start), 7.0);

    DavResult failed = ListCards(test.client, FaultBook("broken"), cards);
    EXPECT_EQ(DavServerError, failed.status);
    EXPECT_EQ(500, failed.httpStatus);
    DavResult garbage = ListCards(test.client, FaultBook("garbage"), cards);
    EXPECT_EQ(DavBadAnswer, garbage.status) << garbage.message;

    // Nobody listens on port 1 of the loopback.
    AddressBook nowhere;
    nowhere.url = "http://127.0.0.1:1/faults/plain/";
    EXPECT_EQ(DavTransportFailed, ListCards(test.client, nowhere, cards).status);
}

TEST(CardDavFaultsTest, ACardOverTheServersLimitIsReportedNotSent) {
    TestClient test;
    AddressBook book;
    ASSERT_TRUE(Succeeded(ReadBookProperties(test.client, ServerUrl("fault") + "faults/small/", book)));
    EXPECT_EQ(300u, book.maxResourceSize);
    std::string large = SampleCard("big-1", "Zhao", "NOTE:" + std::string(400, 'x') + "\r\n");
    WriteResult written;
    int before = test.client.requestsSent;
    EXPECT_EQ(DavCardTooLarge, CreateCard(test.client, book, "big-1", large, written).status);
    EXPECT_EQ(before, test.client.requestsSent);
    // A server that names no limit but refuses the size says so with 413.
    book.maxResourceSize = 0;
    EXPECT_EQ(DavCardTooLarge, CreateCard(test.client, book, "big-1", large, written).status);
}

TEST(CardDavFaultsTest, NoEtagIsInventedAndMissingCardsAreFetchedAlone) {
    TestClient test;
    std::vector<CardRef> cards;
    ASSERT_TRUE(Succeeded(ListCards(test.client, FaultBook("noetag"), cards)));
    ASSERT_EQ(5u, cards.size());
    for (const CardRef& card : cards) EXPECT_TRUE(card.etag.empty());

    AddressBook book = FaultBook("partial");
    std::vector<std::string> hrefs;
    for (int i = 0; i < 4; ++i) hrefs.push_back("/faults/partial/card" + std::to_string(i) + ".vcf");
    std::vector<CardData> fetched;
    std::vector<std::string> missing;
    ASSERT_TRUE(Succeeded(FetchCards(test.client, book, hrefs, fetched, missing)));
    // card1 was left out of the answer and fetched alone; card2 is reported gone by the batch but there.
    ASSERT_EQ(4u, fetched.size());
    EXPECT_TRUE(missing.empty());
    for (const CardData& card : fetched) EXPECT_FALSE(card.etag.empty());

    // Hrefs escaped otherwise in the answer are still the cards asked for.
    test.client.requestsSent = 0;
    hrefs = {"/faults/escaped/card0.vcf", "/faults/escaped/card3.vcf"};
    ASSERT_TRUE(Succeeded(FetchCards(test.client, FaultBook("escaped"), hrefs, fetched, missing)));
    ASSERT_EQ(2u, fetched.size());
    EXPECT_EQ(hrefs[1], fetched[1].href);
    EXPECT_EQ(1, test.client.requestsSent);
}

TEST(CardDavFaultsTest, ADigestServerIsAnsweredWithDigestAndAWrongPasswordStillRefused) {
    TestClient test;
    std::vector<CardRef> cards;
    DavResult result = ListCards(test.client, FaultBook("digest"), cards);
    ASSERT_TRUE(Succeeded(result)) << result.message;
    EXPECT_EQ(5u, cards.size());
    EXPECT_EQ(2, test.client.requestsSent);  // Basic refused, then Digest
    ASSERT_TRUE(Succeeded(ListCards(test.client, FaultBook("digest"), cards)));
    EXPECT_EQ(3, test.client.requestsSent);  // the nonce is used again, counted on

    TestClient wrong;
    wrong.client.password = "not it";
    EXPECT_EQ(DavUnauthorized, ListCards(wrong.client, FaultBook("digest"), cards).status);
    EXPECT_EQ(2, wrong.client.requestsSent);
}

TEST(CardDavFaultsTest, ARetryAfterGivenAsADateIsWaitedFor) {
    TestClient test;
    auto start = std::chrono::steady_clock::now();
    std::vector<CardRef> cards;
    DavResult result = ListCards(test.client, FaultBook("dated"), cards);
    ASSERT_TRUE(Succeeded(result)) << result.message;
    EXPECT_EQ(2, test.client.requestsSent);
    EXPECT_GE(SecondsSince(start), 0.9);  // two seconds ahead of a Date rounded to the second
}

TEST(HttpAuthTest, Md5AndHttpDatesAsTheirRfcsGiveThem) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Md5Hex(""));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Md5Hex("abc"));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"));
    int64_t seconds = 0;
    for (const char* form : {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"}) {
        ASSERT_TRUE(ParseHttpDate(form, seconds)) << form;
        EXPECT_EQ(784111777, seconds) << form;
    }
    for (const char* bad : {"", "120", "Sun, 06 Nov 1994 08:49:37", "Sun, 32 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 25:00:00 GMT"}) {
        EXPECT_FALSE(ParseHttpDate(bad, seconds)) << bad;
    }
}

}  // namespace
