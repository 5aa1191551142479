#include "sync/sync_state.h"

#include <cstdio>

#include "store/safe_file.h"

namespace {

const char StateMagic[] = "CORVELLE SYNC STATE 1\n";
const size_t MaxStateValue = 64u << 20;  // no card or token comes near this

PathString BookStem(const PathString& bookPath) {
    const char ext[] = ".txl";
    size_t n = sizeof ext - 1;
    if (bookPath.size() >= n) {
        bool same = true;
        for (size_t i = 0; i < n; ++i) {
            PathChar c = bookPath[bookPath.size() - n + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<PathChar>(c - 'A' + 'a');
            same = same && c == static_cast<PathChar>(ext[i]);
        }
        if (same) return bookPath.substr(0, bookPath.size() - n);
    }
    return bookPath;
}

void PutValue(std::string& out, const std::string& value) {
    out += std::to_string(value.size()) + ":" + value + "\n";
}

struct StateReader {
    const std::string& bytes;
    size_t at;
};

bool GetValue(StateReader& reader, std::string& value) {
    size_t colon = reader.bytes.find(':', reader.at);
    if (colon == std::string::npos || colon == reader.at || colon - reader.at > 9) return false;
    size_t length = 0;
    for (size_t i = reader.at; i < colon; ++i) {
        char c = reader.bytes[i];
        if (c < '0' || c > '9') return false;
        length = length * 10 + static_cast<size_t>(c - '0');
    }
    if (length > MaxStateValue || reader.bytes.size() - colon - 1 < length + 1) return false;
    value = reader.bytes.substr(colon + 1, length);
    reader.at = colon + 1 + length;
    if (reader.bytes[reader.at] != '\n') return false;
    ++reader.at;
    return true;
}

bool ParseOrEmpty(const PathString& path, SyncState& state) {
    std::string bytes;
    return ReadWholeFile(path, bytes) && ParseSyncState(bytes, state);
}

}  // namespace

PathString SyncStatePath(const PathString& bookPath) { return BookStem(bookPath) + PathFromAscii(".sync.state"); }

PathString PendingSyncStatePath(const PathString& bookPath) {
    return BookStem(bookPath) + PathFromAscii(".sync.state.new");
}

std::string SyncStateBytes(const SyncState& state) {
    std::string out = StateMagic;
    PutValue(out, state.bookUrl);
    PutValue(out, state.token);
    PutValue(out, state.bookFingerprint);
    PutValue(out, state.earlierFingerprint);
    PutValue(out, std::to_string(state.cards.size()));
    for (const SyncedCard& card : state.cards) {
        PutValue(out, card.href);
        PutValue(out, card.etag);
        PutValue(out, card.contactId);
        PutValue(out, card.serverCard);
        PutValue(out, card.agreedCard);
    }
    return out;
}

bool ParseSyncState(const std::string& bytes, SyncState& state) {
    state = SyncState();
    if (bytes.compare(0, sizeof StateMagic - 1, StateMagic) != 0) return false;
    StateReader reader{bytes, sizeof StateMagic - 1};
    std::string count;
    SyncState read;
    if (!GetValue(reader, read.bookUrl) || !GetValue(reader, read.token) || !GetValue(reader, read.bookFingerprint) ||
        !GetValue(reader, read.earlierFingerprint) || !GetValue(reader, count)) {
        return false;
    }
    if (count.empty() || count.size() > 9 || count.find_first_not_of("0123456789") != std::string::npos) return false;
    size_t cards = std::stoul(count);
    for (size_t i = 0; i < cards; ++i) {
        SyncedCard card;
        if (!GetValue(reader, card.href) || !GetValue(reader, card.etag) || !GetValue(reader, card.contactId) ||
            !GetValue(reader, card.serverCard) || !GetValue(reader, card.agreedCard)) {
            return false;
        }
        read.cards.push_back(std::move(card));
    }
    if (reader.at != bytes.size()) return false;
    state = std::move(read);
    return true;
}

bool ReadWholeFile(const PathString& path, std::string& bytes) {
    bytes.clear();
    FILE* file = OpenFile(path, "rb");
    if (!file) return false;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

std::string BookFingerprint(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%zu-%016llx", bytes.size(), static_cast<unsigned long long>(hash));
    return text;
}

StateFit LoadSyncState(const PathString& bookPath, const std::string& bookUrl, SyncState& state) {
    state = SyncState();
    std::string book;
    ReadWholeFile(bookPath, book);
    std::string fingerprint = BookFingerprint(book);
    PathString pendingPath = PendingSyncStatePath(bookPath);
    SyncState pending;
    bool unsure = false;
    if (ParseOrEmpty(pendingPath, pending)) {
        if (pending.bookFingerprint == fingerprint) {
            // The book was written; only the last step was missing.
            ReplaceFileWith(SyncStatePath(bookPath), pendingPath);
            state = std::move(pending);
            return state.bookUrl == bookUrl ? StateFit::Fits : StateFit::Missing;
        }
        // Its book never came (the earlier fingerprint), or the book was
        // saved since by someone else: which of the two is unknown.
        unsure = pending.earlierFingerprint != fingerprint;
    }
    RemoveFile(pendingPath);
    if (!ParseOrEmpty(SyncStatePath(bookPath), state) || state.bookUrl != bookUrl) {
        state = SyncState();
        return StateFit::Missing;
    }
    return unsure ? StateFit::Unsure : StateFit::Fits;
}

bool SaveBookAndState(const PathString& bookPath, const std::string& bookBytes, SyncState& state) {
    std::string earlier;
    ReadWholeFile(bookPath, earlier);
    state.earlierFingerprint = BookFingerprint(earlier);
    state.bookFingerprint = BookFingerprint(bookBytes);
    PathString pendingPath = PendingSyncStatePath(bookPath);
    std::string stateBytes = SyncStateBytes(state), saved;
    if (earlier == bookBytes && ReadWholeFile(SyncStatePath(bookPath), saved) && saved == stateBytes) {
        return true;  // nothing changed: no write, no wait for the disk
    }
    if (!WriteFileReplacing(pendingPath, stateBytes)) return false;
    if (!WriteFileReplacing(bookPath, bookBytes)) {
        RemoveFile(pendingPath);
        return false;
    }
    // Should this last step fail, the next load takes the pending state.
    ReplaceFileWith(SyncStatePath(bookPath), pendingPath);
    return true;
}
