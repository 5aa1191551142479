#include "store/contact_store.h"

#include <algorithm>
#include <utility>

namespace {

const std::vector<ContactRecord*>& ShownRows(const ContactStore& store) {
    if (store.shownRowsStale) {
        store.shownRows.clear();
        for (const auto& record : store.records) {
            if (record->ShownFlag == 1) store.shownRows.push_back(record.get());
        }
        store.shownRowsStale = false;
    }
    return store.shownRows;
}

}  // namespace

ContactRecord* AppendRecord(ContactStore& store, const ContactRecord& value) {
    store.records.push_back(std::make_unique<ContactRecord>(value));
    ContactRecord* record = store.records.back().get();
    record->CheckFlag = 0;
    record->ShownFlag = 0;
    return record;
}

ContactRecord* AppendContact(ContactStore& store, const ContactRecord& value, ContactDetails details) {
    ContactRecord* record = AppendRecord(store, value);
    // Kept as given: without an id one is made when first asked for.
    if (!details.id.empty() || HasOtherInformation(details)) store.details[record] = std::move(details);
    return record;
}

namespace {

ContactDetails& MadeDetails(const ContactStore& store, const ContactRecord* record) {
    ContactDetails& details = store.details[record];
    if (details.id.empty()) details.id = NewContactId();
    return details;
}

}  // namespace

ContactDetails& DetailsOf(ContactStore& store, const ContactRecord* record) { return MadeDetails(store, record); }

const ContactDetails& DetailsOf(const ContactStore& store, const ContactRecord* record) {
    return MadeDetails(store, record);
}

const ContactDetails* FindDetails(const ContactStore& store, const ContactRecord* record) {
    if (store.details.empty()) return nullptr;
    auto it = store.details.find(record);
    return it == store.details.end() ? nullptr : &it->second;
}

int RemoveRecord(ContactStore& store, const ContactRecord* record) {
    for (auto it = store.records.begin(); it != store.records.end(); ++it) {
        if (it->get() == record) {
            // Its search key goes with it, so that the others stay in line.
            size_t index = static_cast<size_t>(it - store.records.begin());
            if (index < store.searchKeys.size() && store.searchKeys[index].record == record) {
                store.searchKeys.erase(store.searchKeys.begin() + static_cast<std::ptrdiff_t>(index));
            }
            store.details.erase(record);
            store.records.erase(it);
            store.shownRowsStale = true;
            return 1;
        }
    }
    return 0;
}

int RemoveTickedRecords(ContactStore& store) {
    auto kept = std::stable_partition(store.records.begin(), store.records.end(),
                                      [](const std::unique_ptr<ContactRecord>& record) { return !IsTicked(*record); });
    int removed = static_cast<int>(store.records.end() - kept);
    for (auto it = kept; it != store.records.end(); ++it) store.details.erase(it->get());
    store.records.erase(kept, store.records.end());
    store.shownRowsStale = true;
    return removed;
}

void ClearRecords(ContactStore& store) {
    store.records.clear();
    store.details.clear();
    store.searchKeys.clear();
    store.shownRowsStale = true;
}

ContactRecord* RecordAt(const ContactStore& store, int n) {
    if (n < 0) n = 0;
    if (n >= RecordCount(store)) return nullptr;
    return store.records[n].get();
}

ContactRecord* ShownRecordAt(const ContactStore& store, int n) {
    const std::vector<ContactRecord*>& rows = ShownRows(store);
    if (n < 0 || static_cast<size_t>(n) >= rows.size()) return nullptr;
    return rows[n];
}

int ShownRecordCount(const ContactStore& store) { return static_cast<int>(ShownRows(store).size()); }

void ShownFlagsChanged(ContactStore& store) { store.shownRowsStale = true; }

int IndexOfRecord(const ContactStore& store, const ContactRecord* record) {
    for (size_t i = 0; i < store.records.size(); ++i) {
        if (store.records[i].get() == record) return static_cast<int>(i);
    }
    return -1;
}

int RecordCount(const ContactStore& store) { return static_cast<int>(store.records.size()); }

bool HasRoomFor(const ContactStore& store, int more) { return RecordCount(store) + more <= store.capacity; }
