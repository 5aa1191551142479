#include "sync_servers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

const char TestUser[] = "corvelle";
const char TestPassword[] = "sync pass 1";

std::string ServerUrl(const char* name) {
    const char* folder = std::getenv("CORVELLE_TEST_SERVERS");
    if (!folder) {
        ADD_FAILURE() << "CORVELLE_TEST_SERVERS is not set: run the tests through ctest, which starts the servers";
        return std::string();
    }
    std::string path = std::string(folder) + "/" + name + ".url";
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ADD_FAILURE() << "no server address in " << path << ": the test servers did not start";
        return std::string();
    }
    char line[256] = "";
    if (!std::fgets(line, sizeof line, file)) line[0] = '\0';
    std::fclose(file);
    std::string url(line);
    while (!url.empty() && (url.back() == '\n' || url.back() == '\r')) url.pop_back();
    return url;
}

TestClient::TestClient() {
    client.http = OpenHttpSession();
    client.user = TestUser;
    client.password = TestPassword;
    client.timeoutSeconds = 20;
}

TestClient::~TestClient() { CloseHttpSession(client.http); }

std::string NewRadicaleBook(const std::string& displayName) {
    static std::atomic<int> made{0};
    std::string root = ServerUrl("radicale");
    if (root.empty()) return std::string();
    // Names differ between runs of the suite against the same server.
    std::string url = root + TestUser + "/book-" + std::to_string(std::time(nullptr)) + "-" + std::to_string(made++) + "/";
    HttpRequest request;
    request.method = "MKCOL";
    request.url = url;
    request.user = TestUser;
    request.password = TestPassword;
    request.headers = {{"Content-Type", "application/xml; charset=utf-8"}};
    request.body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:mkcol xmlns:d=\"DAV:\" "
        "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop><d:resourcetype><d:collection/><c:addressbook/>"
        "</d:resourcetype><d:displayname>" +
        displayName + "</d:displayname></d:prop></d:set></d:mkcol>";
    HttpSession* session = OpenHttpSession();
    HttpResponse response = SendHttpRequest(session, request);
    CloseHttpSession(session);
    EXPECT_EQ(HttpDone, response.outcome) << response.message;
    EXPECT_EQ(201, response.status) << response.body;
    return url;
}

std::string SampleCard(const std::string& uid, const std::string& name, const std::string& extra) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
           ";;;;\r\nTEL;TYPE=CELL:13800138000\r\n" + extra + "END:VCARD\r\n";
}
