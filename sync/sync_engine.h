// Two-way synchronisation of the open book with one CardDAV address book.
//
// The state of the last synchronisation (the address book, its sync token,
// and for each contact the server's card as both sides last agreed on it,
// with its href and ETag) is kept in a file beside the book, and saved
// together with the book, so that a synchronisation broken off at any
// moment is simply run again: nothing is doubled, nothing lost.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/document.h"
#include "sync/carddav_client.h"

// What the user chose for the open book: stored beside it in its folder,
// so the settings travel with the book and never go to the registry.
struct SyncSettings {
    std::string serverUrl;          // as the user typed it
    std::string user;
    std::string bookUrl;            // the address book chosen after "连接"
    std::string protectedPassword;  // the remembered password, encrypted for the Windows user; empty when not kept
};

// The settings file of a book: the book's path with ".sync.ini" in place of ".txl".
PathString SyncSettingsPath(const PathString& bookPath);
bool ReadSyncSettings(const PathString& bookPath, SyncSettings& settings);
bool WriteSyncSettings(const PathString& bookPath, const SyncSettings& settings);

// Which side wins a property that both sides changed to different values.
enum class ConflictChoice { KeepBoth, PreferServer, PreferLocal };

struct SyncOptions {
    ConflictChoice conflicts = ConflictChoice::KeepBoth;
    // A synchronisation that would delete more than a tenth of the book (at
    // least 10 contacts) on either side stops before deleting anything
    // unless this is set.
    bool allowMassDelete = false;
};

// Read by the window while the synchronisation runs on another thread.
struct SyncProgress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancel{false};  // set by "取消"; the engine stops at the next safe point
};

// One property that both sides changed differently: both values, in the
// book's encoding, for the user to choose.
struct SyncConflict {
    std::string contactId;
    std::string contactName;
    std::string property;  // "TEL", "EMAIL", ...
    std::string localValue;
    std::string serverValue;
};

enum class SyncOutcome {
    Done,
    Failed,          // report.message says why; book and state are as before the failing step
    Cancelled,       // what was done until then is saved
    NeedsPassword,   // 401: ask for the password again
    MassDelete,      // would delete report.wouldDeleteLocal / wouldDeleteServer contacts: ask first
};

struct SyncReport {
    int uploaded = 0;
    int downloaded = 0;
    int deleted = 0;  // on either side
    std::vector<SyncConflict> conflicts;
    int wouldDeleteLocal = 0;
    int wouldDeleteServer = 0;
    std::string message;  // the failure in words, for the user (GBK)
};

// The user's pick for a conflict that KeepBoth left in the book: the
// contact takes the chosen value and drops the other one kept as an item;
// the next synchronisation carries it to the server. False when the
// contact or the conflict is no longer there.
bool ResolveConflict(Document& document, const SyncConflict& conflict, bool useServerValue);

// Synchronises the document's contacts with the address book at `bookUrl`
// and saves the book (to document.currentPath, which must be set) and the
// sync state together.
SyncOutcome SynchroniseBook(Document& document, CardDavClient& client, const std::string& bookUrl,
                            const SyncOptions& options, SyncProgress* progress, SyncReport& report);
