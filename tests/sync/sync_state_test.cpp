// The state file beside a book: read back as written, damage refused,
// and a save broken off between its steps settled by the next load.
#include <gtest/gtest.h>

#include "sync/sync_state.h"
#include "test_support.h"

namespace {

SyncState SampleState() {
    SyncState state;
    state.bookUrl = "http://127.0.0.1:5232/u/book/";
    state.token = "http://radicale.org/ns/sync/1";
    for (int i = 0; i < 3; ++i) {
        SyncedCard card;
        card.href = "/u/book/" + std::to_string(i) + ".vcf";
        card.etag = "\"e" + std::to_string(i) + "\"";
        card.contactId = i == 2 ? "" : "id" + std::to_string(i);
        card.serverCard = "BEGIN:VCARD\r\nN:" + std::string(i * 40, ':') + "\r\nEND:VCARD\r\n";
        card.agreedCard = "BEGIN:VCARD\r\n\n12:x\r\nEND:VCARD\r\n";  // texts that look like the file's own lengths
        state.cards.push_back(card);
    }
    return state;
}

TEST(SyncStateTest, ReadsBackWhatItWroteAndRefusesEveryCutOrDamagedFile) {
    SyncState state = SampleState();
    std::string bytes = SyncStateBytes(state);
    SyncState read;
    ASSERT_TRUE(ParseSyncState(bytes, read));
    EXPECT_EQ(bytes, SyncStateBytes(read));
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        EXPECT_FALSE(ParseSyncState(bytes.substr(0, cut), read)) << cut;
        EXPECT_TRUE(read.cards.empty());
    }
    for (size_t at = 0; at < bytes.size(); at += 7) {
        std::string damaged = bytes;
        damaged[at] = damaged[at] == '9' ? '8' : '9';
        if (ParseSyncState(damaged, read)) {
            EXPECT_EQ(damaged, SyncStateBytes(read)) << at;  // a changed text, still whole
        }
    }
}

TEST(SyncStateTest, ASaveBrokenOffBetweenItsStepsIsSettledByTheNextLoad) {
    ScratchFolder folder;
    PathString book = folder.Path("people.txl");
    EXPECT_EQ(PathToUtf8(folder.Path("people.sync.state")), PathToUtf8(SyncStatePath(book)));
    WriteFileBytes(book, "old book");
    SyncState old = SampleState();
    ASSERT_TRUE(SaveBookAndState(book, "old book", old));
    SyncState loaded;
    EXPECT_EQ(StateFit::Fits, LoadSyncState(book, old.bookUrl, loaded));
    EXPECT_EQ(SyncStateBytes(old), SyncStateBytes(loaded));
    EXPECT_EQ(StateFit::Missing, LoadSyncState(book, "http://elsewhere/", loaded));

    SyncState next = SampleState();
    next.token = "new token";
    next.earlierFingerprint = BookFingerprint("old book");
    next.bookFingerprint = BookFingerprint("new book");
    // Broken off after the pending state, before the book: the old state holds.
    WriteFileBytes(PendingSyncStatePath(book), SyncStateBytes(next));
    EXPECT_EQ(StateFit::Fits, LoadSyncState(book, old.bookUrl, loaded));
    EXPECT_EQ(old.token, loaded.token);
    EXPECT_FALSE(FileExists(PendingSyncStatePath(book)));
    // Broken off after the book: the pending state is the one.
    WriteFileBytes(PendingSyncStatePath(book), SyncStateBytes(next));
    WriteFileBytes(book, "new book");
    EXPECT_EQ(StateFit::Fits, LoadSyncState(book, old.bookUrl, loaded));
    EXPECT_EQ("new token", loaded.token);
    EXPECT_EQ("new token", (LoadSyncState(book, old.bookUrl, loaded), loaded.token));
    // A pending state that fits neither book: nobody knows, a first sync follows.
    WriteFileBytes(PendingSyncStatePath(book), SyncStateBytes(next));
    WriteFileBytes(book, "a book saved by hand since");
    EXPECT_EQ(StateFit::Unsure, LoadSyncState(book, old.bookUrl, loaded));
    // No state at all, or a damaged one.
    WriteFileBytes(SyncStatePath(book), "CORVELLE SYNC STATE 1\n5:abc");
    EXPECT_EQ(StateFit::Missing, LoadSyncState(book, old.bookUrl, loaded));
}

}  // namespace
