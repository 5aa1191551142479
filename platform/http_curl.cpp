// The HTTP seam on libcurl: one easy handle per session, reset between
// requests, so that its connections and TLS sessions are used again.
#include "platform/http.h"

#include <curl/curl.h>

#include <mutex>

struct HttpSession {
    CURL* handle;
};

namespace {

struct Transfer {
    const HttpRequest* request;
    HttpResponse* response;
    std::string headerBlock;
    bool tooLarge = false;
};

size_t ReceiveBody(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    size_t bytes = size * count;
    if (transfer->response->body.size() + bytes > transfer->request->maxResponseBytes) {
        transfer->tooLarge = true;
        return 0;  // curl ends the transfer with a write error
    }
    transfer->response->body.append(data, bytes);
    return bytes;
}

// Called once per header line; a new status line (after a "100 Continue"
// or an interim answer) starts the block anew.
size_t ReceiveHeader(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    size_t bytes = size * count;
    std::string line(data, bytes);
    if (line.compare(0, 5, "HTTP/") == 0) transfer->headerBlock.clear();
    if (transfer->headerBlock.size() + bytes <= transfer->request->maxResponseBytes) transfer->headerBlock += line;
    return bytes;
}

HttpOutcome OutcomeOf(CURLcode code) {
    switch (code) {
    case CURLE_OK: return HttpDone;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return HttpBadUrl;
    case CURLE_COULDNT_RESOLVE_HOST: return HttpCannotResolve;
    case CURLE_COULDNT_CONNECT: return HttpCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return HttpTimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CONNECT_ERROR: return HttpCertificateRefused;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2_STREAM: return HttpConnectionBroken;
    default: return HttpFailed;
    }
}

}  // namespace

HttpSession* OpenHttpSession() {
    static std::once_flag started;
    std::call_once(started, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL* handle = curl_easy_init();
    if (!handle) return nullptr;
    return new HttpSession{handle};
}

void CloseHttpSession(HttpSession* session) {
    if (!session) return;
    curl_easy_cleanup(session->handle);
    delete session;
}

HttpResponse SendHttpRequest(HttpSession* session, const HttpRequest& request) {
    HttpResponse response;
    if (!session) {
        response.message = HttpOutcomeText(HttpFailed);
        return response;
    }
    CURL* curl = session->handle;
    curl_easy_reset(curl);  // keeps the open connections
    Transfer transfer{&request, &response, std::string()};
    char errorText[CURL_ERROR_SIZE] = "";

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (!request.body.empty() || request.method == "PUT" || request.method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    } else if (request.method == "HEAD") {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    }
    // The certificate and the host name are always checked (curl's
    // defaults, said again so that no later change loses them).
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(request.timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.timeoutSeconds));
    // The loopback is never reached through a proxy the environment names.
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ReceiveBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReceiveHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);

    curl_slist* headers = nullptr;
    for (const HttpHeader& header : request.headers) {
        headers = curl_slist_append(headers, (header.name + ": " + header.value).c_str());
    }
    if (!request.user.empty()) {
        headers = curl_slist_append(headers, ("Authorization: " + BasicAuthorization(request.user, request.password)).c_str());
    }
    headers = curl_slist_append(headers, "Expect:");  // no wait for a "100 Continue"
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    CURLcode code = curl_easy_perform(curl);
    // A server may answer before it has read the body and close the
    // connection, which resets it; a connection reset before any answer
    // came is tried once more on a new connection.
    bool nothingAnswered = transfer.headerBlock.empty() && !transfer.tooLarge;
    if (nothingAnswered && (code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING)) {
        response.body.clear();
        code = curl_easy_perform(curl);
    }
    curl_slist_free_all(headers);
    if (transfer.tooLarge) {
        response.outcome = HttpTooLarge;
    } else {
        response.outcome = OutcomeOf(code);
    }
    if (response.outcome != HttpDone) {
        response.message = HttpOutcomeText(response.outcome);
        if (errorText[0] && response.outcome != HttpTooLarge) response.message += std::string(" (") + errorText + ")";
        response.body.clear();
        return response;
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    AddHeaderLines(transfer.headerBlock, response.headers);
    CheckBodyComplete(request, response);
    return response;
}
