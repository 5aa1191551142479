#include "fuzz/fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/contact_store.h"

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void StartDocument(Document& document) {
    ResetDocument(document, DocumentViews{nullptr, nullptr, nullptr, nullptr});
    AppendRecord(document.contacts, EmptyRecord());
}

LoadResult ReadBookFromBytes(const uint8_t* data, size_t size, GroupList& groups, ContactStore& contacts) {
    // fmemopen refuses an empty buffer; an empty file is a buffer of one
    // byte of which nothing may be read.
    static char empty[1];
    void* buffer = size > 0 ? const_cast<uint8_t*>(data) : static_cast<void*>(empty);
    FILE* file = fmemopen(buffer, size > 0 ? size : 1, "rb");
    Require(file != nullptr, "fmemopen");
    if (size == 0) std::fgetc(file);
    LoadResult result = ReadAddressBook(file, groups, contacts);
    std::fclose(file);
    return result;
}

void CheckDocument(const GroupList& groups, const ContactStore& contacts) {
    Require(RecordCount(contacts) <= MaxRecords, "the store holds more than MaxRecords contacts");
    for (const auto& record : contacts.records) {
        Require(FieldsTerminated(*record), "a field is not terminated within its width");
    }

    std::string bytes = EncodeAddressBook(groups, contacts);
    Require(!bytes.empty(), "the writer refuses the document");
    Document back;
    LoadResult result = ReadBookFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                          back.groups, back.contacts);
    Require(result == LoadOk, "the written book does not read back");
    Require(GroupCount(back.groups) == GroupCount(groups), "the group count changed");
    for (int g = 0; g < GroupCount(groups); ++g) {
        Require(GroupName(back.groups, g) == GroupName(groups, g), "a group name changed");
    }
    Require(RecordCount(back.contacts) == RecordCount(contacts), "the contact count changed");
    for (int n = 0; n < RecordCount(contacts); ++n) {
        const ContactRecord& before = *RecordAt(contacts, n);
        const ContactRecord& after = *RecordAt(back.contacts, n);
        for (int f = 0; f < ContactFieldCount; ++f) {
            const ContactFieldInfo& info = FieldInfo(f);
            if (info.isText) Require(FieldValue(before, info.field) == FieldValue(after, info.field), "a field changed");
        }
        Require(before.Gender == after.Gender, "a gender changed");
        Require(before.GroupIndex == after.GroupIndex, "a group index changed");
    }
}
