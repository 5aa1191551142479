#include "platform/http.h"

#include <cstdlib>
#include <string_view>

#include "store/text_operations.h"

std::string FindHeader(const std::vector<HttpHeader>& headers, const std::string& name) {
    for (const HttpHeader& header : headers) {
        if (SameNoCase(header.name, name)) return header.value;
    }
    return std::string();
}

const char* HttpOutcomeText(HttpOutcome outcome) {
    switch (outcome) {
    case HttpDone: return "done";
    case HttpBadUrl: return "not a usable http:// or https:// address";
    case HttpCannotResolve: return "the server's name is unknown";
    case HttpCannotConnect: return "the server cannot be reached";
    case HttpTimedOut: return "the server did not answer in time";
    case HttpCertificateRefused: return "the server's certificate is not trusted";
    case HttpConnectionBroken: return "the connection broke off";
    case HttpTooLarge: return "the server's answer is too large";
    case HttpFailed: break;
    }
    return "the request failed";
}

std::string BasicAuthorization(const std::string& user, const std::string& password) {
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string plain = user + ":" + password;
    std::string coded = "Basic ";
    for (size_t i = 0; i < plain.size(); i += 3) {
        unsigned bits = static_cast<unsigned char>(plain[i]) << 16;
        if (i + 1 < plain.size()) bits |= static_cast<unsigned char>(plain[i + 1]) << 8;
        if (i + 2 < plain.size()) bits |= static_cast<unsigned char>(plain[i + 2]);
        coded += Alphabet[(bits >> 18) & 63];
        coded += Alphabet[(bits >> 12) & 63];
        coded += i + 1 < plain.size() ? Alphabet[(bits >> 6) & 63] : '=';
        coded += i + 2 < plain.size() ? Alphabet[bits & 63] : '=';
    }
    return coded;
}

void AddHeaderLines(const std::string& block, std::vector<HttpHeader>& headers) {
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find('\n', start);
        if (end == std::string::npos) end = block.size();
        std::string_view line(block.data() + start, end - start);
        start = end + 1;
        size_t colon = line.find(':');
        if (colon == std::string_view::npos || StartsWithNoCase(line, "HTTP/")) continue;
        headers.push_back({std::string(TrimWhiteSpace(line.substr(0, colon))),
                           std::string(TrimWhiteSpace(line.substr(colon + 1)))});
    }
}

void CheckBodyComplete(const HttpRequest& request, HttpResponse& response) {
    if (response.outcome != HttpDone || request.method == "HEAD" || response.status == 204 ||
        response.status == 304) {
        return;
    }
    std::string length = FindHeader(response.headers, "Content-Length");
    if (length.empty() || length.find_first_not_of("0123456789") != std::string::npos || length.size() > 18) return;
    if (std::strtoull(length.c_str(), nullptr, 10) != response.body.size()) {
        response.outcome = HttpConnectionBroken;
        response.message = HttpOutcomeText(HttpConnectionBroken);
    }
}
