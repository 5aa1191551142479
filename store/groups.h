// The groups of the open book, named by position.
#pragma once

#include <string>
#include <vector>

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

// After the group at `removed` has gone, moves every contact's GroupIndex
// to match the shorter list, shown or not, in two steps: the removed
// group's contacts go to group 0, then every index above `removed` drops
// by one. So when group 0 itself goes, its contacts land in the former
// second group, now first. -1 stays -1.
void RenumberAfterGroupRemoval(ContactStore& contacts, int removed);

// Replaces the list by the five default groups.
void SetDefaultGroups(GroupList& list);

// "默认分组", the name of the first default group, also given to a group
// whose name is emptied.
std::string DefaultGroupName();
