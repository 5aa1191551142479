// HTTP for the synchronisation: one request, one response, over a
// session that keeps its connections open between requests. The two
// sides are http_curl.cpp (libcurl) and http_winhttp.cpp (WinHTTP).
// HTTPS is always checked against the system's certificates; nothing here
// turns that off. Redirects are not followed: the caller sees a 3xx with
// its Location and decides.
#pragma once

#include <string>
#include <vector>

struct HttpHeader {
    std::string name;
    std::string value;
};

struct HttpRequest {
    std::string method;  // "GET", "PUT", "PROPFIND", "REPORT", ...
    std::string url;     // http:// or https://, with the path already escaped
    std::vector<HttpHeader> headers;
    std::string body;
    // Sent as Basic authentication when the user is not empty.
    std::string user;
    std::string password;
    // The whole exchange, connection included, ends after this long.
    int timeoutSeconds = 30;
    // A longer answer is broken off as HttpTooLarge, so that a hostile
    // server cannot fill the memory.
    size_t maxResponseBytes = 64u * 1024 * 1024;
};

// How the exchange ended; HttpDone also for a 4xx or 5xx answer.
enum HttpOutcome {
    HttpDone,
    HttpBadUrl,            // not an http:// or https:// URL this side can use
    HttpCannotResolve,     // the host name is unknown
    HttpCannotConnect,     // refused, or no route
    HttpTimedOut,
    HttpCertificateRefused,  // HTTPS whose certificate the system does not trust
    HttpConnectionBroken,  // the connection closed or failed half way
    HttpTooLarge,          // the answer passed maxResponseBytes
    HttpFailed,            // anything else the transport reports
};

struct HttpResponse {
    HttpOutcome outcome = HttpFailed;
    std::string message;  // the transport's failure in words; empty when HttpDone
    int status = 0;       // the HTTP status when HttpDone
    std::vector<HttpHeader> headers;  // in the order received; names as the server spelled them
    std::string body;
};

// Keeps connections (and TLS sessions) for reuse; one per synchronisation,
// used from one thread.
struct HttpSession;
HttpSession* OpenHttpSession();
void CloseHttpSession(HttpSession* session);

HttpResponse SendHttpRequest(HttpSession* session, const HttpRequest& request);

// The first header of that name, compared without regard to case; empty
// when there is none.
std::string FindHeader(const std::vector<HttpHeader>& headers, const std::string& name);

// The word for an outcome, for messages ("timed out", ...).
const char* HttpOutcomeText(HttpOutcome outcome);

// Shared by the two sides.
// The value of an Authorization header for Basic authentication: the
// user and password as UTF-8, Base64-encoded.
std::string BasicAuthorization(const std::string& user, const std::string& password);
// Adds the "Name: value" lines of a header block to the list; the status
// line and blank lines are skipped.
void AddHeaderLines(const std::string& block, std::vector<HttpHeader>& headers);
// A body shorter than the Content-Length the server announced means the
// connection broke half way, whatever the transport said.
void CheckBodyComplete(const HttpRequest& request, HttpResponse& response);
