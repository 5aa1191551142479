// What every import does with a contact it read: name it, put it into the
// group its file names, and leave out one the book already holds.
#pragma once

#include <string>

#include "store/contact_store.h"
#include "store/groups.h"

// False: nothing names it, leave it out.
bool NameImportedContact(ContactRecord& record, const std::string& displayName);
// Every field and the group equal to a contact of the store.
bool HoldsSameContact(const ContactStore& store, const ContactRecord& record);

struct ImportGroups {
    int created = 0;
};
const int MaxGroupsPerImport = 32;
// The existing group of that name, or a new one; 0 when empty or past 32 new.
int GroupForCategory(GroupList& groups, const std::string& category, ImportGroups& made);
