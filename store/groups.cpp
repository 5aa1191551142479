#include "store/groups.h"

#include "store/fixed_text.h"

namespace {

const char16_t* const DefaultGroupNames[] = {u"默认分组", u"家人", u"朋友", u"同事", u"同学"};

}  // namespace

void AppendGroup(GroupList& list, const std::string& name) {
    Group group;
    CopyToField(group.name, GroupNameWidth, name);
    list.groups.push_back(group);
}

void RemoveGroupAt(GroupList& list, int position) {
    if (position < 0 || position >= GroupCount(list)) return;
    list.groups.erase(list.groups.begin() + position);
}

void ClearGroups(GroupList& list) { list.groups.clear(); }

int GroupCount(const GroupList& list) { return static_cast<int>(list.groups.size()); }

std::string GroupName(const GroupList& list, int position) {
    return FieldString(list.groups[position].name, GroupNameWidth);
}

void RenumberAfterGroupRemoval(ContactStore& contacts, int removed) {
    for (auto& record : contacts.records) {
        if (record->GroupIndex == removed) record->GroupIndex = 0;
        if (record->GroupIndex > removed) --record->GroupIndex;
    }
}

void SetDefaultGroups(GroupList& list) {
    ClearGroups(list);
    for (const char16_t* name : DefaultGroupNames) AppendGroup(list, GbkText(name));
}

std::string DefaultGroupName() { return GbkText(DefaultGroupNames[0]); }
