// The book in order of name, as phones and mail programs list contacts.
#pragma once

#include <string>

#include "store/contact_record.h"
#include "store/contact_store.h"

// What a record sorts by: the surname, then the given name, each character
// by character: a Chinese character by its pinyin (a surname by its
// surname reading at the start, otherwise the customary reading), a run of
// Latin letters as one word without regard to case, digits, symbols and
// characters without a reading after every letter. Two keys compare as
// byte strings.
std::string NameSortKey(const ContactRecord& record);

// Sorts the store by NameSortKey; records of equal keys keep their order.
// The records stay the same objects, so references to them hold.
void SortByName(ContactStore& store);
