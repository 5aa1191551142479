// The open book's contacts, in insertion order. Each record keeps its
// address for as long as it is in the store, so the editor and the list
// can hold on to one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/contact_details.h"
#include "store/contact_record.h"

// What the quick search knows of one record without reading it: which
// characters, pairs of characters, pinyin initials and digit pairs its
// texts hold. The filter pass (listview/filters.cpp) makes it and keeps it
// beside the store until the record's texts or details change; a search
// whose characters, initials or digits the record lacks passes over it
// without composing and decoding its texts, and one or two typed initials
// that its initials and followers hold find it without a search, as does
// the beginning of one reading that its syllables hold.
// Room for a bit per syllable of the pinyin table (420 syllables now).
const int SearchKeySyllableWords = 7;
struct SearchKey {
    const ContactRecord* record = nullptr;  // the record it was made from
    uint64_t stamp = 0;                     // a hash of the record's texts and details then
    uint64_t characters[16] = {};           // a bit for each character and pair of characters, hashed
    uint32_t letterPairs[26] = {};          // [a - 'a'], bit b - 'a': lowercase a followed by b, unhashed
    uint32_t initials = 0;                  // bit c - 'a': a character read with initial c
    uint32_t followers[26] = {};            // [c - 'a'], bit d - 'a': such a character followed by one read with d
    uint64_t spellings[16] = {};            // bits, hashed: a reading's first letters (two or more), alone or
                                            // followed by a character read with an initial
    uint16_t digitPairs[10] = {};           // [d], bit e: a number holds digit d followed by e
    uint16_t digits = 0;                    // bit d: a number holds digit d
    uint64_t syllables[SearchKeySyllableWords] = {};  // bit s: a character read as syllable s, unhashed
};

// The most contacts a book may hold: the reader refuses larger books, so
// nothing may add a contact past this.
const int MaxRecords = 1000000;

struct ContactStore {
    std::vector<std::unique_ptr<ContactRecord>> records;
    // The records whose ShownFlag is 1, in store order: list row n is
    // shownRows[n]. Rebuilt from the flags when a change made it stale.
    mutable std::vector<ContactRecord*> shownRows;
    mutable bool shownRowsStale = true;
    // The most contacts this store takes: MaxRecords, lower only where a
    // test fills a book.
    int capacity = MaxRecords;
    // Beside a record: its id, items and whole forms. Only contacts that
    // have been asked for theirs have an entry, so that a book of plain
    // contacts costs nothing more; the id is made the first time it is
    // asked for, even through a const store.
    mutable std::unordered_map<const ContactRecord*, ContactDetails> details;
    // One per record in store order, each checked against its record
    // before use and made anew when it no longer fits.
    std::vector<SearchKey> searchKeys;
};

// Copies the value into a new record after the last one; both flags 0.
// The new contact has no items; its id is made when first asked for.
ContactRecord* AppendRecord(ContactStore& store, const ContactRecord& value);
// The same, with the details given (moved in where the caller has no more use for them).
ContactRecord* AppendContact(ContactStore& store, const ContactRecord& value, ContactDetails details);
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
// Removes every ticked record, shown or not, in one pass; returns how many.
int RemoveTickedRecords(ContactStore& store);
// The n-th record whose ShownFlag is 1: the record behind list row n.
ContactRecord* ShownRecordAt(const ContactStore& store, int n);
int ShownRecordCount(const ContactStore& store);
// To be called after ShownFlag was set outside the store's own functions
// (the filter pass), so that ShownRecordAt reads the flags again.
void ShownFlagsChanged(ContactStore& store);
// Position in store order, or -1.
int IndexOfRecord(const ContactStore& store, const ContactRecord* record);
int RecordCount(const ContactStore& store);
// True when `more` contacts can still be added without passing the capacity.
bool HasRoomFor(const ContactStore& store, int more);
