// The HTTP seam itself, on both sides (libcurl natively, WinHTTP under
// Wine), against the scripted server on the loopback.
#include <gtest/gtest.h>

#include <string>

#include "platform/http.h"
#include "sync_servers.h"

namespace {

HttpResponse Get(const std::string& url, size_t limit = 1024 * 1024) {
    HttpRequest request;
    request.method = "GET";
    request.url = url;
    request.timeoutSeconds = 10;
    request.maxResponseBytes = limit;
    HttpSession* session = OpenHttpSession();
    HttpResponse response = SendHttpRequest(session, request);
    CloseHttpSession(session);
    return response;
}

TEST(HttpSeamTest, BasicAuthorizationIsBase64OfUserAndPassword) {
    EXPECT_EQ("Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==", BasicAuthorization("Aladdin", "open sesame"));
    EXPECT_EQ("Basic 5byg5LiJOjE=", BasicAuthorization("张三", "1"));
    EXPECT_EQ("Basic Ong=", BasicAuthorization("", "x"));
}

TEST(HttpSeamTest, AnAnswerComesWithItsStatusHeadersAndBody) {
    HttpResponse response = Get(ServerUrl("fault") + "faults/plain/card1.vcf");
    ASSERT_EQ(HttpDone, response.outcome) << response.message;
    EXPECT_EQ(200, response.status);
    EXPECT_EQ("text/vcard; charset=utf-8", FindHeader(response.headers, "content-type"));
    EXPECT_FALSE(FindHeader(response.headers, "ETAG").empty());
    EXPECT_EQ(0u, response.body.find("BEGIN:VCARD\r\n"));
    EXPECT_EQ(404, Get(ServerUrl("fault") + "faults/plain/nobody.vcf").status);
}

TEST(HttpSeamTest, TransportFailuresAreNamed) {
    EXPECT_EQ(HttpTooLarge, Get(ServerUrl("fault") + "faults/plain/card1.vcf", 20).outcome);
    EXPECT_EQ(HttpConnectionBroken, Get(ServerUrl("fault") + "faults/cut/card1.vcf").outcome);
    EXPECT_EQ(HttpCannotConnect, Get("http://127.0.0.1:1/").outcome);
    EXPECT_EQ(HttpBadUrl, Get("ftp://127.0.0.1/").outcome);
    HttpResponse untrusted = Get(ServerUrl("tls") + "faults/plain/card1.vcf");
    EXPECT_EQ(HttpCertificateRefused, untrusted.outcome) << untrusted.message;
    EXPECT_EQ(0, untrusted.status);
    EXPECT_TRUE(untrusted.body.empty());
}

}  // namespace
