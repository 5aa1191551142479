// The servers tools started for the synchronisation tests (servers.sh):
// their addresses, the test account, and a fresh address book on Radicale.
#pragma once

#include <string>

#include "platform/http.h"
#include "store/address_book_file.h"
#include "store/document.h"
#include "sync/carddav_client.h"
#include "test_support.h"

extern const char TestUser[];
extern const char TestPassword[];

// The address of "radicale" or "fault"; a test fails when it is missing.
std::string ServerUrl(const char* name);

// A client of the test account over a new session, closed with the test.
struct TestClient {
    CardDavClient client;
    TestClient();
    ~TestClient();
};

// Makes a new, empty address book on Radicale (MKCOL) and returns its URL.
std::string NewRadicaleBook(const std::string& displayName);

// A vCard 3.0 card with this UID and name.
std::string SampleCard(const std::string& uid, const std::string& name, const std::string& extra = "");

// One device that synchronises: a book of its own in a scratch folder,
// saved once so that it has a file.
struct Device {
    ScratchFolder folder;
    Document document = NewDocument();
    Device() {
        document.currentPath = folder.Path("book.txl");
        WriteAddressBook(document.currentPath, document.groups, document.contacts);
    }
    void Add(const ContactRecord& record) { AppendRecord(document.contacts, record); }
    ContactRecord* Find(const std::string& surname) {
        for (const auto& record : document.contacts.records) {
            if (FieldValue(*record, Surname) == surname) return record.get();
        }
        return nullptr;
    }
    std::string BookBytes() { return ReadFileBytes(document.currentPath); }
};
