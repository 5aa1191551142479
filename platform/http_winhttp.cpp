// The HTTP seam on WinHTTP: one session handle per HttpSession, and the
// connection handle of the last server kept, so that WinHTTP can use its
// open connections again. Certificates are checked by Windows as for any
// program; no flag here relaxes that.
#include "platform/http.h"

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <string>

struct HttpSession {
    HINTERNET session;
    HINTERNET connection;
    std::wstring host;
    INTERNET_PORT port;
};

namespace {

std::wstring Widen(const std::string& ascii) {
    int n = MultiByteToWideChar(CP_UTF8, 0, ascii.data(), static_cast<int>(ascii.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, ascii.data(), static_cast<int>(ascii.size()), &wide[0], n);
    return wide;
}

std::string Narrow(const wchar_t* text, size_t length) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

HttpOutcome OutcomeOf(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return HttpBadUrl;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return HttpCannotResolve;
    case ERROR_WINHTTP_CANNOT_CONNECT: return HttpCannotConnect;
    case ERROR_WINHTTP_TIMEOUT: return HttpTimedOut;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR: return HttpCertificateRefused;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
    case ERROR_WINHTTP_OPERATION_CANCELLED:
    case WSAECONNRESET:
    case WSAECONNABORTED: return HttpConnectionBroken;
    default: return HttpFailed;
    }
}

HttpResponse Failure(HttpOutcome outcome, DWORD error) {
    HttpResponse response;
    response.outcome = outcome;
    response.message = HttpOutcomeText(outcome);
    if (error) response.message += " (WinHTTP error " + std::to_string(error) + ")";
    return response;
}

HttpResponse LastFailure() {
    DWORD error = GetLastError();
    return Failure(OutcomeOf(error), error);
}

// The connection handle for the server, kept for the next request.
HINTERNET ConnectionTo(HttpSession* session, const std::wstring& host, INTERNET_PORT port) {
    if (session->connection && session->host == host && session->port == port) return session->connection;
    if (session->connection) WinHttpCloseHandle(session->connection);
    session->connection = WinHttpConnect(session->session, host.c_str(), port, 0);
    session->host = session->connection ? host : std::wstring();
    session->port = port;
    return session->connection;
}

struct RequestHandle {
    HINTERNET handle = nullptr;
    ~RequestHandle() {
        if (handle) WinHttpCloseHandle(handle);
    }
};

// Opens the request and sends it; 0 once the answer's headers are in,
// the WinHTTP error otherwise.
DWORD SendOnce(HINTERNET connection, const HttpRequest& request, const std::wstring& path, DWORD flags,
               const std::wstring& headers, int timeout, RequestHandle& call) {
    if (call.handle) WinHttpCloseHandle(call.handle);
    call.handle = WinHttpOpenRequest(connection, Widen(request.method).c_str(), path.c_str(), nullptr,
                                     WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
    if (!call.handle) return GetLastError();
    WinHttpSetTimeouts(call.handle, timeout, timeout, timeout, timeout);
    // The wait for the answer's headers has a limit of its own (90 s by default).
    DWORD responseTimeout = static_cast<DWORD>(timeout);
    WinHttpSetOption(call.handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof responseTimeout);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(call.handle, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    DWORD bodySize = static_cast<DWORD>(request.body.size());
    if (!WinHttpSendRequest(call.handle, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            headers.empty() ? 0 : static_cast<DWORD>(-1),
                            bodySize ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA, bodySize,
                            bodySize, 0) ||
        !WinHttpReceiveResponse(call.handle, nullptr)) {
        return GetLastError();
    }
    return 0;
}

}  // namespace

HttpSession* OpenHttpSession() {
    HINTERNET handle = WinHttpOpen(L"Corvelle", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0);
    if (!handle) return nullptr;
    return new HttpSession{handle, nullptr, std::wstring(), 0};
}

void CloseHttpSession(HttpSession* session) {
    if (!session) return;
    if (session->connection) WinHttpCloseHandle(session->connection);
    WinHttpCloseHandle(session->session);
    delete session;
}

HttpResponse SendHttpRequest(HttpSession* session, const HttpRequest& request) {
    if (!session) return Failure(HttpFailed, 0);
    std::wstring url = Widen(request.url);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) || parts.dwHostNameLength == 0) {
        return Failure(HttpBadUrl, 0);
    }
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    HINTERNET connection = ConnectionTo(session, host, parts.nPort);
    if (!connection) return LastFailure();
    DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    std::wstring headers;
    for (const HttpHeader& header : request.headers) headers += Widen(header.name + ": " + header.value) + L"\r\n";
    if (!request.user.empty()) {
        headers += Widen("Authorization: " + BasicAuthorization(request.user, request.password)) + L"\r\n";
    }
    int timeout = request.timeoutSeconds * 1000;
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout);
    RequestHandle call;
    // A kept connection the server has closed in the meantime fails before
    // any answer, and so does a request whose body reaches a server that
    // has already answered and closed (it resets the connection); such a
    // request is sent once more on a new connection. Wine's WinHTTP names
    // the reset with the socket's own error.
    for (int attempt = 0;; ++attempt) {
        DWORD error = SendOnce(connection, request, path, flags, headers, timeout, call);
        if (error == 0) break;
        bool stale = OutcomeOf(error) == HttpConnectionBroken && error != ERROR_WINHTTP_OPERATION_CANCELLED;
        if (attempt > 0 || !stale) return Failure(OutcomeOf(error), error);
    }

    HttpResponse response;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(call.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return LastFailure();
    }
    response.status = static_cast<int>(status);
    size = 0;
    WinHttpQueryHeaders(call.handle, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (size > 0) {
        std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
        if (WinHttpQueryHeaders(call.handle, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, &raw[0],
                                &size, WINHTTP_NO_HEADER_INDEX)) {
            AddHeaderLines(Narrow(raw.data(), size / sizeof(wchar_t)), response.headers);
        }
    }

    if (request.method != "HEAD") {
        char block[16384];
        for (;;) {
            DWORD read = 0;
            if (!WinHttpReadData(call.handle, block, sizeof block, &read)) return LastFailure();
            if (read == 0) break;
            if (response.body.size() + read > request.maxResponseBytes) return Failure(HttpTooLarge, 0);
            response.body.append(block, read);
            // The timeouts above bound each wait; this bounds the whole answer.
            if (GetTickCount64() > deadline) return Failure(HttpTimedOut, 0);
        }
    }
    response.outcome = HttpDone;
    CheckBodyComplete(request, response);
    return response;
}
