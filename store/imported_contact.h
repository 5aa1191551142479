// What every import (vCard, CSV) does with a contact it has built before
// the contact joins the book: complete its name as phones show such
// contacts, leave out a card the book already holds, and find the group
// that a category names.
#pragma once

#include <string>
#include <unordered_map>

#include "store/contact_store.h"
#include "store/groups.h"

// Completes the name of a contact that an import built, as phones show
// such contacts. Returns false when nothing can name it (it is then left out).
//  - an empty surname: the name comes from the given name, else from
//    `displayName` (FN, a CSV display name), split as a formatted name is
//    split (Chinese: after the surname, compound surnames recognised; words:
//    the last word is the surname);
//  - no name at all: the first of company, nickname, e-mail, mobile, home
//    phone, work phone names it (the value also stays in its own field);
//  - a name from one text is cut only where surname and given name together
//    cannot hold it: a text that does not fit runs from the surname into
//    the given name, cut at whole characters.
// A caller that holds a given name longer than its field passes it whole
// as `displayName` with the given name left empty, so that nothing of it
// is lost before it is split.
bool NameImportedContact(ContactRecord& record, const std::string& displayName);

// True when the store holds a record whose every field equals this one's
// (a birthday's parts as numbers: "05" is "5"), and its group too unless
// `compareGroup` is false (run-time flags aside).
// With `items`, the held contact's items must be the same too, in any order.
bool HoldsSameContact(const ContactStore& store, const ContactRecord& record, bool compareGroup = true,
                      const std::vector<ContactItem>* items = nullptr);

// True when the book already holds an imported contact: as the import
// named it, or as its source wrote it before it was named (a contact with
// a given name alone, or with none, as Corvelle's own exports write it).
// The group counts only when the source names one: an export without
// groups puts every contact into group 0.
struct ImportGroups;
bool HoldsImportedContact(const ContactStore& store, ImportGroups& made, const ContactRecord& named,
                          const ContactRecord& asWritten, bool sourceNamesGroup,
                          const std::vector<ContactItem>* items = nullptr);

// What one import keeps from contact to contact: the groups it made for
// the categories it met, and the book's contacts by content, so that the
// duplicate test of a contact looks only at those of its texts. An import
// only appends, so the index catches up with the records added since.
struct ImportGroups {
    int created = 0;
    std::unordered_multimap<size_t, const ContactRecord*> byContent;
    int indexed = 0;  // the store's first `indexed` records are in byContent
};
const int MaxGroupsPerImport = 32;

// The group index for a category name (GBK): the book's group of that
// name, or a new group appended to the list (its name cut at 15 bytes, at
// a whole character) while this import has made fewer than
// MaxGroupsPerImport; group 0 for an empty name and past that limit.
int GroupForCategory(GroupList& groups, const std::string& category, ImportGroups& made);

// A person's name written as one text, split as phones split it: a
// Chinese name after its surname of one character, or of two for the
// compound surnames (欧阳修 is 欧阳 and 修), whatever spaces it holds
// ("山田 太郎" is 山 and 田 太郎); a name of words in other scripts has its
// last word as the surname ("John Doe" is Doe and John).
void SplitPersonName(const std::string& name, std::string& surname, std::string& givenName);

// True when the text holds a Chinese character (or Japanese kana): a name
// written surname first, whatever spaces it holds.
bool WrittenSurnameFirst(const std::string& name);

// True when the text is made of double-byte GBK characters only (and is
// not empty): a Chinese name part.
bool IsDoubleByteText(const std::string& text);
