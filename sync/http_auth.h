// What a CardDAV client needs of HTTP beyond one request: Digest
// authentication (servers such as Baïkal ask for it instead of Basic) and
// the HTTP dates of Retry-After.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/http.h"

// A server's Digest challenge, from its WWW-Authenticate header, and the
// count of requests sent under its nonce.
struct DigestChallenge {
    std::string realm;
    std::string nonce;
    std::string opaque;
    std::string algorithm;  // "MD5" or "MD5-sess"
    bool qopAuth = false;   // the server offers qop="auth"
    bool stale = false;     // the nonce expired; the password itself was not refused
    unsigned nonceCount = 0;
};

// The Digest challenge among the answer's WWW-Authenticate headers; false
// when the server asks for none, or for an algorithm other than MD5.
bool FindDigestChallenge(const std::vector<HttpHeader>& headers, DigestChallenge& challenge);

// The Authorization header's value for one request. `uri` is the request's
// path as sent; `clientNonce` is fresh for each request.
std::string DigestAuthorization(DigestChallenge& challenge, const std::string& user, const std::string& password,
                                const std::string& method, const std::string& uri, const std::string& clientNonce);

// The MD5 of the bytes, as 32 lower-case hex digits.
std::string Md5Hex(const std::string& bytes);

// Seconds since 1970-01-01 00:00:00 UTC of an HTTP date, in any of the
// three forms HTTP allows ("Sun, 06 Nov 1994 08:49:37 GMT", "Sunday,
// 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"); false for anything else.
bool ParseHttpDate(const std::string& text, int64_t& seconds);
