#include "store/document.h"

int DeleteGroup(Document& document, int position) {
    if (GroupCount(document.groups) < 2 || position < 0 || position >= GroupCount(document.groups)) return 0;
    RemoveGroupAt(document.groups, position);
    RenumberAfterGroupRemoval(document.contacts, position);
    return 1;
}

void ResetDocument(Document& document) {
    document.currentPath.clear();
    ClearRecords(document.contacts);
    SetDefaultGroups(document.groups);
}
