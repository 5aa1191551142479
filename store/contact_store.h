// The open book's contacts, in insertion order. Each record keeps its
// address for as long as it is in the store, so the editor and the list
// can hold on to one.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "store/contact_details.h"
#include "store/contact_record.h"

// The most contacts a book may hold: the reader refuses larger books, so
// nothing may add a contact past this.
const int MaxRecords = 512;

struct ContactStore {
    std::vector<std::unique_ptr<ContactRecord>> records;
    // Beside a record: its id, items and whole forms. Only contacts that
    // have been asked for theirs have an entry, so that a book of plain
    // contacts costs nothing more; the id is made the first time it is
    // asked for, even through a const store.
    mutable std::unordered_map<const ContactRecord*, ContactDetails> details;
};

// Copies the value into a new record after the last one; both flags 0.
// The new contact has no items; its id is made when first asked for.
ContactRecord* AppendRecord(ContactStore& store, const ContactRecord& value);
// The same, with the details given.
ContactRecord* AppendContact(ContactStore& store, const ContactRecord& value, const ContactDetails& details);
// The details of a record in the store, made (with a new id) when it has none yet.
ContactDetails& DetailsOf(ContactStore& store, const ContactRecord* record);
const ContactDetails& DetailsOf(const ContactStore& store, const ContactRecord* record);
// The details when the record has any yet, else null: for the list and the
// search, which must not make an entry for every contact.
const ContactDetails* FindDetails(const ContactStore& store, const ContactRecord* record);
// 1 when the record was in the store and is now gone, 0 otherwise.
int RemoveRecord(ContactStore& store, const ContactRecord* record);
void ClearRecords(ContactStore& store);
// Position n in store order; n below 0 gives the first; null past the end.
ContactRecord* RecordAt(const ContactStore& store, int n);
// The n-th record whose ShownFlag is 1: the record behind list row n.
ContactRecord* ShownRecordAt(const ContactStore& store, int n);
// Position in store order, or -1.
int IndexOfRecord(const ContactStore& store, const ContactRecord* record);
int RecordCount(const ContactStore& store);
// True when `more` contacts can still be added without passing MaxRecords.
bool HasRoomFor(const ContactStore& store, int more);
