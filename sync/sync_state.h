// What the last synchronisation of a book agreed on, kept in a file beside
// the book: the book's path with ".sync.state" in place of ".txl".
//
// The file is a line "CORVELLE SYNC STATE 1", then values, each as its
// length in decimal, ":", its bytes and a line feed: the address book's
// URL, the sync token, the fingerprint of the book file the state was
// saved with, the fingerprint of the book file before that save, the
// number of cards, and for each card its href, ETag, contact id, the card
// as the server holds it, and the card as both sides agreed on it (the
// contact as the program writes it).
//
// A state is saved in two steps around the book: the new state goes to
// the pending file (".sync.state.new"), then the book is written, then the
// pending file takes the state's place. A pending file found later whose
// fingerprint is the book's was saved with that book and is taken; one
// that names the book's earlier fingerprint was never followed by its
// book and is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct SyncedCard {
    std::string href;
    std::string etag;
    std::string contactId;  // empty: a card that holds no contact (no name at all), left alone
    std::string serverCard; // as the server gave it, or as it was written
    std::string agreedCard; // the contact as written when both sides last agreed
};

struct SyncState {
    std::string bookUrl;
    std::string token;
    std::string bookFingerprint;    // of the book file saved with this state
    std::string earlierFingerprint; // of the book file this state's save replaced
    std::vector<SyncedCard> cards;
};

PathString SyncStatePath(const PathString& bookPath);
PathString PendingSyncStatePath(const PathString& bookPath);

std::string SyncStateBytes(const SyncState& state);
// False for a file that is not a state or is damaged; `state` is then empty.
bool ParseSyncState(const std::string& bytes, SyncState& state);

// The bytes of a file; false when it cannot be read.
bool ReadWholeFile(const PathString& path, std::string& bytes);
// A fingerprint of a book file's bytes: their length and a 64-bit hash.
std::string BookFingerprint(const std::string& bytes);

enum class StateFit {
    Fits,     // the state was saved with the book on disk, or the book was saved since by the user
    Missing,  // no state, a damaged one, or one of another address book
    Unsure,   // a pending state that fits neither the book nor its predecessor
};

// Reads the state of a book, settling a pending state as described above.
StateFit LoadSyncState(const PathString& bookPath, const std::string& bookUrl, SyncState& state);

// Writes the book's bytes and the state together, in the order described
// above; false, with the book and state on disk as they were, when the
// pending state or the book cannot be written.
bool SaveBookAndState(const PathString& bookPath, const std::string& bookBytes, SyncState& state);
