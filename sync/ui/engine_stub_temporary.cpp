// TEMPORARY: lets the dialog link until the engine lands. Removed before merging.
#include "sync/sync_engine.h"

bool ResolveConflict(Document&, const SyncConflict&, bool) { return false; }

SyncOutcome SynchroniseBook(Document&, CardDavClient&, const std::string&, const SyncOptions&, SyncProgress*,
                            SyncReport& report) {
    report.message = "not built yet";
    return SyncOutcome::Failed;
}
