#include "store/contact_store.h"

ContactRecord* AppendRecord(ContactStore& store, const ContactRecord& value) {
    store.records.push_back(std::make_unique<ContactRecord>(value));
    ContactRecord* record = store.records.back().get();
    record->CheckFlag = 0;
    record->ShownFlag = 0;
    return record;
}

int RemoveRecord(ContactStore& store, const ContactRecord* record) {
    for (auto it = store.records.begin(); it != store.records.end(); ++it) {
        if (it->get() == record) {
            store.records.erase(it);
            return 1;
        }
    }
    return 0;
}

void ClearRecords(ContactStore& store) { store.records.clear(); }

ContactRecord* RecordAt(const ContactStore& store, int n) {
    if (n < 0) n = 0;
    if (n >= RecordCount(store)) return nullptr;
    return store.records[n].get();
}

ContactRecord* ShownRecordAt(const ContactStore& store, int n) {
    if (n < 0) return nullptr;
    for (const auto& record : store.records) {
        if (record->ShownFlag == 1 && n-- == 0) return record.get();
    }
    return nullptr;
}

int IndexOfRecord(const ContactStore& store, const ContactRecord* record) {
    for (size_t i = 0; i < store.records.size(); ++i) {
        if (store.records[i].get() == record) return static_cast<int>(i);
    }
    return -1;
}

int RecordCount(const ContactStore& store) { return static_cast<int>(store.records.size()); }

bool HasRoomFor(const ContactStore& store, int more) { return RecordCount(store) + more <= MaxRecords; }
