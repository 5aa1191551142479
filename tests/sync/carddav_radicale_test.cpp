// The protocol client against a real server: Debian's Radicale on the
// loopback, started by servers.sh. Every test makes its own address book.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sync/carddav_client.h"
#include "sync/vcard_merge.h"
#include "sync_servers.h"

namespace {

AddressBook BookAt(CardDavClient& client, const std::string& url) {
    AddressBook book;
    DavResult read = ReadBookProperties(client, url, book);
    EXPECT_TRUE(Succeeded(read)) << read.message;
    return book;
}

// Creates cards uid0.. and returns their hrefs and ETags as the writes gave them.
std::vector<CardRef> CreateCards(CardDavClient& client, const AddressBook& book, int count) {
    std::vector<CardRef> made;
    for (int i = 0; i < count; ++i) {
        WriteResult written;
        std::string uid = "uid-" + std::to_string(i) + "@corvelle";
        DavResult created = CreateCard(client, book, uid, SampleCard(uid, "Person " + std::to_string(i)), written);
        EXPECT_TRUE(Succeeded(created)) << created.message;
        made.push_back({written.href, written.etag});
    }
    return made;
}

bool SameRefs(std::vector<CardRef> a, std::vector<CardRef> b) {
    auto byHref = [](const CardRef& x, const CardRef& y) { return x.href < y.href; };
    std::sort(a.begin(), a.end(), byHref);
    std::sort(b.begin(), b.end(), byHref);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].href != b[i].href || a[i].etag != b[i].etag) return false;
    }
    return true;
}

TEST(CardDavRadicaleTest, DiscoveryFindsTheBookFromTheServerThePrincipalOrTheBookItself) {
    TestClient test;
    std::string url = NewRadicaleBook("Corvelle 通讯录");
    std::string root = ServerUrl("radicale");
    for (const std::string& start : {root, root + TestUser + "/", url}) {
        std::vector<AddressBook> books;
        DavResult found = DiscoverAddressBooks(test.client, start, books);
        ASSERT_TRUE(Succeeded(found)) << start << ": " << found.message;
        auto book = std::find_if(books.begin(), books.end(), [&](const AddressBook& b) { return b.url == url; });
        ASSERT_NE(book, books.end()) << start;
        EXPECT_EQ("Corvelle 通讯录", book->displayName);
        EXPECT_TRUE(book->syncCollection);
        EXPECT_FALSE(book->syncToken.empty());
    }
    // Straight at the book: used as it is, nothing else listed.
    std::vector<AddressBook> books;
    ASSERT_TRUE(Succeeded(DiscoverAddressBooks(test.client, url, books)));
    EXPECT_EQ(1u, books.size());
}

TEST(CardDavRadicaleTest, AWrongPasswordAsksAgain) {
    TestClient test;
    test.client.password = "wrong";
    std::vector<AddressBook> books;
    DavResult found = DiscoverAddressBooks(test.client, ServerUrl("radicale") + TestUser + "/", books);
    EXPECT_EQ(DavUnauthorized, found.status) << found.message;
    EXPECT_EQ(401, found.httpStatus);
}

TEST(CardDavRadicaleTest, ListingAndMultigetGiveWhatWasWritten) {
    TestClient test;
    AddressBook book = BookAt(test.client, NewRadicaleBook("list"));
    std::vector<CardRef> made = CreateCards(test.client, book, 5);
    for (const CardRef& card : made) EXPECT_FALSE(card.etag.empty()) << "Radicale gives the ETag of a stored card";

    std::vector<CardRef> listed;
    ASSERT_TRUE(Succeeded(ListCards(test.client, book, listed)));
    EXPECT_TRUE(SameRefs(made, listed));

    // Two cards a request, one href that names no card.
    test.client.multigetBatch = 2;
    std::vector<std::string> hrefs;
    for (const CardRef& card : made) hrefs.push_back(card.href);
    hrefs.push_back(book.url.substr(book.url.find('/', 8)) + "nobody.vcf");
    std::vector<CardData> cards;
    std::vector<std::string> missing;
    int before = test.client.requestsSent;
    DavResult fetched = FetchCards(test.client, book, hrefs, cards, missing);
    ASSERT_TRUE(Succeeded(fetched)) << fetched.message;
    EXPECT_LE(test.client.requestsSent - before, 4);
    ASSERT_EQ(5u, cards.size());
    EXPECT_EQ(std::vector<std::string>{hrefs.back()}, missing);
    for (size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(made[i].href, cards[i].href);
        EXPECT_EQ(made[i].etag, cards[i].etag);
        ParsedCard parsed;
        ASSERT_TRUE(ParseCard(cards[i].vcard, parsed));
        EXPECT_NE(std::string::npos, cards[i].vcard.find("UID:uid-" + std::to_string(i) + "@corvelle"));
    }
}

TEST(CardDavRadicaleTest, SyncCollectionReportsChangesAndRemovalsSinceTheToken) {
    TestClient test;
    AddressBook book = BookAt(test.client, NewRadicaleBook("sync"));
    std::vector<CardRef> made = CreateCards(test.client, book, 3);

    SyncChanges all;
    ASSERT_TRUE(Succeeded(SyncCollection(test.client, book, "", all)));
    EXPECT_TRUE(SameRefs(made, all.changed));
    EXPECT_TRUE(all.removed.empty());
    ASSERT_FALSE(all.token.empty());

    SyncChanges none;
    ASSERT_TRUE(Succeeded(SyncCollection(test.client, book, all.token, none)));
    EXPECT_TRUE(none.changed.empty());
    EXPECT_TRUE(none.removed.empty());

    WriteResult written;
    ASSERT_TRUE(Succeeded(UpdateCard(test.client, book, made[0].href, made[0].etag,
                                     SampleCard("uid-0@corvelle", "Renamed"), written)));
    EXPECT_NE(made[0].etag, written.etag);
    ASSERT_TRUE(Succeeded(DeleteCard(test.client, book, made[1].href, made[1].etag)));

    SyncChanges some;
    ASSERT_TRUE(Succeeded(SyncCollection(test.client, book, all.token, some)));
    ASSERT_EQ(1u, some.changed.size());
    EXPECT_EQ(made[0].href, some.changed[0].href);
    EXPECT_EQ(written.etag, some.changed[0].etag);
    EXPECT_EQ(std::vector<std::string>{made[1].href}, some.removed);
    EXPECT_NE(all.token, some.token);

    SyncChanges refused;
    DavResult stale = SyncCollection(test.client, book, "http://radicale.org/ns/sync/0000", refused);
    EXPECT_EQ(DavTokenRefused, stale.status) << stale.message;
}

TEST(CardDavRadicaleTest, WritesAreConditional) {
    TestClient test;
    AddressBook book = BookAt(test.client, NewRadicaleBook("writes"));
    std::vector<CardRef> made = CreateCards(test.client, book, 1);
    const CardRef& card = made[0];

    // A second card of the same name is refused, the first stays.
    WriteResult written;
    EXPECT_EQ(DavPreconditionFailed,
              CreateCard(test.client, book, "uid-0@corvelle", SampleCard("uid-0@corvelle", "Other"), written).status);

    ASSERT_TRUE(Succeeded(UpdateCard(test.client, book, card.href, card.etag, SampleCard("uid-0@corvelle", "New"), written)));
    // The old ETag no longer fits: neither a write nor a removal goes through.
    WriteResult stale;
    DavResult refused = UpdateCard(test.client, book, card.href, card.etag, SampleCard("uid-0@corvelle", "Lost"), stale);
    EXPECT_EQ(DavPreconditionFailed, refused.status) << refused.message;
    EXPECT_EQ(412, refused.httpStatus);
    EXPECT_EQ(DavPreconditionFailed, DeleteCard(test.client, book, card.href, card.etag).status);
    // Without an ETag nothing is sent.
    int before = test.client.requestsSent;
    EXPECT_EQ(DavNoEtag, UpdateCard(test.client, book, card.href, "", SampleCard("uid-0@corvelle", "X"), stale).status);
    EXPECT_EQ(DavNoEtag, DeleteCard(test.client, book, card.href, "").status);
    EXPECT_EQ(before, test.client.requestsSent);

    CardData now;
    ASSERT_TRUE(Succeeded(FetchCard(test.client, book, card.href, now)));
    EXPECT_NE(std::string::npos, now.vcard.find("FN:New"));
    EXPECT_EQ(written.etag, now.etag);
    ASSERT_TRUE(Succeeded(DeleteCard(test.client, book, card.href, now.etag)));
    EXPECT_EQ(DavNotFound, FetchCard(test.client, book, card.href, now).status);
}

TEST(CardDavRadicaleTest, UnknownPropertiesSurviveAnUploadOfAMergedCard) {
    TestClient test;
    AddressBook book = BookAt(test.client, NewRadicaleBook("merge"));
    std::string photo = "PHOTO;ENCODING=b;TYPE=JPEG:" + std::string(300, 'A') + "\r\nX-PHONE-APP:kept\r\n";
    WriteResult written;
    ASSERT_TRUE(Succeeded(CreateCard(test.client, book, "m1", SampleCard("m1", "Before", photo), written)));
    CardData server;
    ASSERT_TRUE(Succeeded(FetchCard(test.client, book, written.href, server)));

    ParsedCard base, local, remote;
    ASSERT_TRUE(ParseCard(server.vcard, base));
    remote = base;
    local = base;
    for (CardProperty& property : local.properties) {
        if (property.name == "FN") property = MakeProperty("", "FN", {}, "After");
    }
    MergeResult merged = MergeCards(base, local, remote, ContactHolds, KeepLocal);
    ASSERT_TRUE(merged.uploadNeeded);
    DavResult updated = UpdateCard(test.client, book, written.href, server.etag, CardText(merged.upload), written);
    ASSERT_TRUE(Succeeded(updated)) << updated.message << "\n" << CardText(merged.upload);
    CardData after;
    ASSERT_TRUE(Succeeded(FetchCard(test.client, book, written.href, after)));
    ParsedCard stored;
    ASSERT_TRUE(ParseCard(after.vcard, stored));
    MergeResult again = MergeCards(merged.upload, merged.upload, stored, ContactHolds, KeepLocal);
    EXPECT_FALSE(again.uploadNeeded) << after.vcard;
    EXPECT_TRUE(again.conflicts.empty());
    EXPECT_NE(std::string::npos, after.vcard.find("X-PHONE-APP:kept"));
    EXPECT_NE(std::string::npos, after.vcard.find("FN:After"));
}

}  // namespace
