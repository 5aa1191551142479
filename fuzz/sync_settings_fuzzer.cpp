// Any bytes as the synchronisation settings beside a book: a file the
// reader takes gives settings that are written and read back unchanged;
// a file it refuses gives nothing at all, never half of it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "sync/sync_engine.h"

namespace {

bool Same(const SyncSettings& a, const SyncSettings& b) {
    return a.serverUrl == b.serverUrl && a.user == b.user && a.bookUrl == b.bookUrl &&
           a.protectedPassword == b.protectedPassword;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string book = ScratchFile("book.txl");
    static const std::string copy = ScratchFile("copy.txl");
    WriteScratchFile(SyncSettingsPath(book), FuzzInput{data, size}.Rest());

    SyncSettings settings;
    settings.user = "left from before";
    if (!ReadSyncSettings(book, settings)) {
        Require(Same(settings, SyncSettings{}), "a refused file left settings behind");
        return 0;
    }
    Require(WriteSyncSettings(copy, settings), "settings that were read cannot be written");
    SyncSettings back;
    Require(ReadSyncSettings(copy, back), "written settings are refused");
    Require(Same(settings, back), "the written settings read back differently");
    return 0;
}
