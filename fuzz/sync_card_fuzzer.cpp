// Any bytes as a server's card, and as the sync state beside a book. A
// card that names a contact, once read and written, must read back to the
// same card: otherwise every synchronisation would see a change nobody
// made. A state that reads must be written back byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "store/groups.h"
#include "store/imported_contact.h"
#include "sync/contact_card.h"
#include "sync/sync_state.h"

namespace {

// The card a contact read from `text` is written as.
bool Written(const std::string& text, GroupList& groups, ImportGroups& made, std::string& card) {
    VcardCard read;
    if (!ReadContactCard(text, read)) return false;
    read.record.GroupIndex = GroupForCategory(groups, read.category, made);
    card = ContactCardText(read.record, read.details, groups);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    SyncState state;
    if (ParseSyncState(bytes, state)) Require(SyncStateBytes(state) == bytes, "a state reads back otherwise");

    Document document;
    SetDefaultGroups(document.groups);
    ImportGroups made;
    std::string first, second;
    if (!Written(bytes, document.groups, made, first)) return 0;
    Require(Written(first, document.groups, made, second), "a written card names no contact");
    std::string third;
    Require(Written(second, document.groups, made, third) && third == second,
            "a card read back is written otherwise");
    return 0;
}
