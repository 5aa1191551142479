// The open book: its contacts, its groups and the file it came from, and
// what changes them together.
#pragma once

#include "platform/platform.h"
#include "store/contact_store.h"
#include "store/groups.h"

// CurrentPath is empty for a new document.
struct Document {
    ContactStore contacts;
    GroupList groups;
    PathString currentPath;
};

// Removes the group at a position and renumbers the contacts; 1 when it
// did. The last group is never removed, nor a position outside the list.
int DeleteGroup(Document& document, int position);

// The new document: no path, no contacts, the five default groups. The
// user interface shows it afterwards.
void ResetDocument(Document& document);
