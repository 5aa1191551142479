// The groups of the open book, named by position, and the document that
// holds groups and contacts together.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/contact_store.h"

const int GroupNameWidth = 16;

struct Group {
    char name[GroupNameWidth];
};

struct GroupList {
    std::vector<Group> groups;
};

// Adds a group after the last; a name longer than 15 bytes is cut at a
// whole GBK character.
void AppendGroup(GroupList& list, const std::string& name);
// Removes the group at a position; a position outside the list changes nothing.
void RemoveGroupAt(GroupList& list, int position);
void ClearGroups(GroupList& list);
int GroupCount(const GroupList& list);
std::string GroupName(const GroupList& list, int position);

// The open book: its contacts, its groups and the file it came from
// (empty for a new document).
struct Document {
    ContactStore contacts;
    GroupList groups;
    PathString currentPath;
};

// What the user interface rebuilds when the document is reset. Any of
// them may be null where there is nothing to show (tools, tests).
struct DocumentViews {
    void (*refreshList)();
    void (*fillGroupFilter)();
    void (*rebuildColumns)();
    void (*updateTitle)();
};

// After the group at `removed` has gone, moves every contact's GroupIndex
// to match the shorter list, shown or not, in two steps: the removed
// group's contacts go to group 0, then every index above `removed` drops
// by one. So when group 0 itself goes, its contacts land in the former
// second group, now first. -1 stays -1.
void RenumberAfterGroupRemoval(ContactStore& contacts, int removed);

// Removes the group at a position and renumbers the contacts; 1 when it
// did. The last group is never removed, nor a position outside the list.
int DeleteGroup(Document& document, int position);

// The new document: no path, no contacts, the five default groups.
void ResetDocument(Document& document, const DocumentViews& views);

// "默认分组", the name of the first default group, also given to a group
// whose name is emptied.
std::string DefaultGroupName();
