// The servers tools started for the synchronisation tests (servers.sh):
// their addresses, the test account, and a fresh address book on Radicale.
#pragma once

#include <string>

#include "platform/http.h"
#include "sync/carddav_client.h"

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
