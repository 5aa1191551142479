// A stand-in until the shared naming rule arrives.
#include "store/imported_contact.h"

#include <algorithm>

namespace {

bool SameFields(const ContactRecord& a, const ContactRecord& b) {
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText && FieldValue(a, info.field) != FieldValue(b, info.field)) return false;
    }
    return a.Gender == b.Gender && a.GroupIndex == b.GroupIndex;
}

}  // namespace

bool NameImportedContact(ContactRecord& record, const std::string& displayName) {
    if (record.Surname[0] != '\0') return true;
    if (record.GivenName[0] != '\0') {
        std::string given = FieldValue(record, GivenName);
        SetField(record, GivenName, "");
        SetField(record, Surname, given);
        return true;
    }
    std::string candidates[] = {displayName,
                                FieldValue(record, Company),
                                FieldValue(record, Nickname),
                                FieldValue(record, Email),
                                FieldValue(record, Mobile),
                                FieldValue(record, HomePhone),
                                FieldValue(record, WorkPhone)};
    for (const std::string& name : candidates) {
        if (!name.empty()) {
            SetField(record, Surname, name);
            return true;
        }
    }
    return false;
}

bool HoldsSameContact(const ContactStore& store, const ContactRecord& record) {
    for (const auto& other : store.records) {
        if (SameFields(*other, record)) return true;
    }
    return false;
}

int GroupForCategory(GroupList& groups, const std::string& category, ImportGroups& made) {
    if (category.empty()) return 0;
    ContactRecord probe = EmptyRecord();
    for (int g = 0; g < GroupCount(groups); ++g) {
        if (GroupName(groups, g) == category.substr(0, GroupName(groups, g).size()) &&
            GroupName(groups, g).size() == std::min<size_t>(category.size(), GroupNameWidth - 1)) {
            return g;
        }
    }
    if (made.created >= MaxGroupsPerImport) return 0;
    AppendGroup(groups, category);
    ++made.created;
    return GroupCount(groups) - 1;
}
