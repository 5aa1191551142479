#include "fuzz/fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/contact_store.h"

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void StartDocument(Document& document) {
    ResetDocument(document);
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
        if (NeedsDetailsSection(contacts)) {
            Require(DetailsOf(contacts, &before) == DetailsOf(back.contacts, &after), "a contact's details changed");
        }
    }
}

uint8_t FuzzInput::TakeByte() {
    if (size == 0) return 0;
    --size;
    return *data++;
}

namespace {

// Made once per run and removed at exit; a plain array so that it
// outlives the exit handler.
char scratchFolder[4096];

void RemoveScratchFolder() { std::filesystem::remove_all(scratchFolder); }

}  // namespace

std::string ScratchFile(const char* name) {
    if (scratchFolder[0] == '\0') {
        const char* base = std::getenv("TMPDIR");
        std::snprintf(scratchFolder, sizeof scratchFolder, "%s/corvelle-fuzz-XXXXXX", base && *base ? base : "/tmp");
        Require(mkdtemp(scratchFolder) != nullptr, "mkdtemp");
        std::atexit(RemoveScratchFolder);
    }
    return std::string(scratchFolder) + "/" + name;
}

void WriteScratchFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "cannot write the input file");
    Require(bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(),
            "cannot write the input file");
    Require(std::fclose(file) == 0, "cannot write the input file");
}

int FillStoreBeforeImport(uint8_t choice, ContactStore& store) {
    int count = 0;
    switch (choice % 8) {
    case 6: count = 1; break;
    case 7:
        // A book all but full, with a capacity lowered to keep it quick.
        store.capacity = FuzzBookCapacity;
        count = FuzzBookCapacity - 2;
        break;
    default: break;
    }
    ContactRecord old = EmptyRecord();
    SetField(old, Surname, "old");
    for (int n = 0; n < count; ++n) AppendRecord(store, old);
    return count;
}

void CheckImport(const Document& document, int before, int imported, int notImported) {
    const ContactStore& store = document.contacts;
    Require(imported >= 0 && notImported >= 0, "a negative count");
    Require(RecordCount(store) <= store.capacity, "the store holds more than its capacity");
    Require(RecordCount(store) == before + imported, "the count of imported contacts is not what was appended");
    Require(notImported == 0 || RecordCount(store) == store.capacity, "contacts were left out of a store with room");
    ContactStore appended;
    for (int n = before; n < RecordCount(store); ++n) {
        const ContactRecord& record = *RecordAt(store, n);
        Require(record.GroupIndex >= 0 && record.GroupIndex < GroupCount(document.groups),
                "an imported contact is in no group of the book");
        Require(record.CheckFlag == 0 && record.ShownFlag == 0, "an imported contact is ticked or shown");
        Require(record.Gender == 0 || record.Gender == 1, "an imported gender is neither 0 nor 1");
        AppendRecord(appended, record);
    }
    CheckDocument(document.groups, appended);
}
