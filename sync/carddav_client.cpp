#include "sync/carddav_client.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <thread>
#include <utility>

#include "store/text_operations.h"
#include "sync/dav_multistatus.h"

namespace {

const char XmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
const char VcardType[] = "text/vcard; charset=utf-8";
// A sync-collection answer cut short (507) is followed by at most this
// many more requests, so that a server that always cuts cannot hold a
// sync forever.
const int MaxSyncRounds = 1000;
// What a card or a listing may be before the answer is refused.
const size_t MaxCardBytes = 16u * 1024 * 1024;

bool IsHttps(const std::string& url) { return StartsWithNoCase(url, "https://"); }
bool HasScheme(const std::string& url) { return StartsWithNoCase(url, "http://") || IsHttps(url); }

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

std::string Describe(const std::string& method, const std::string& url) { return method + " " + url + ": "; }

DavResult Result(DavStatus status, int httpStatus, const std::string& message) {
    DavResult result;
    result.status = status;
    result.httpStatus = httpStatus;
    result.message = message;
    return result;
}

// Retry-After in seconds, or as an HTTP date measured against the answer's
// own Date (so that the two clocks need not agree); 1 when it says nothing
// usable.
int RetryAfterSeconds(const HttpResponse& response) {
    std::string value = FindHeader(response.headers, "Retry-After");
    if (!value.empty() && value.size() <= 9 && value.find_first_not_of("0123456789") == std::string::npos) {
        return std::stoi(value);
    }
    int64_t until = 0;
    if (!ParseHttpDate(value, until)) return 1;
    int64_t now = 0;
    if (!ParseHttpDate(FindHeader(response.headers, "Date"), now)) now = static_cast<int64_t>(std::time(nullptr));
    int64_t wait = until - now;
    if (wait < 0) return 0;
    return wait > 86400 * 365 ? 86400 * 365 : static_cast<int>(wait);
}

// A client nonce for Digest: fresh for each request, never guessable from the last.
std::string ClientNonce() {
    static std::mt19937_64 generator{std::random_device{}()};
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
}

// The password goes only where the user pointed, or over HTTPS.
bool CredentialsGo(const std::string& start, const std::string& url) {
    return IsHttps(url) || UrlOrigin(start) == UrlOrigin(url);
}

// Sends one request, waiting out 429 and 503 and, for reads, following
// redirects; `url` ends as the address that answered. DavOk whenever an
// answer arrived, whatever its status.
DavResult Send(CardDavClient& client, const std::string& method, std::string& url, const std::vector<HttpHeader>& headers,
               const std::string& body, bool followRedirects, HttpResponse& response) {
    std::string start = url;
    int retries = 0;
    int redirects = 0;
    int digestTries = 0;
    for (;;) {
        HttpRequest request;
        request.method = method;
        request.url = url;
        request.headers = headers;
        request.body = body;
        bool credentials = CredentialsGo(start, url) && !client.user.empty();
        if (credentials && client.useDigest) {
            request.headers.push_back({"Authorization", DigestAuthorization(client.digest, client.user, client.password,
                                                                            method, HrefPath(url), ClientNonce())});
        } else if (credentials) {
            request.user = client.user;
            request.password = client.password;
        }
        request.timeoutSeconds = client.timeoutSeconds;
        response = SendHttpRequest(client.http, request);
        ++client.requestsSent;
        if (response.outcome != HttpDone) {
            return Result(DavTransportFailed, 0, Describe(method, url) + response.message);
        }
        // A server that asks for Digest is answered once; a second 401 for
        // the same nonce means the password was refused. A stale nonce is
        // only renewed.
        DigestChallenge challenge;
        if (response.status == 401 && credentials && digestTries < 2 && FindDigestChallenge(response.headers, challenge) &&
            (!client.useDigest || challenge.stale || challenge.nonce != client.digest.nonce)) {
            ++digestTries;
            client.useDigest = true;
            client.digest = challenge;
            continue;
        }
        if (response.status == 429 || response.status == 503) {
            int wait = RetryAfterSeconds(response);
            if (retries >= client.maxRetries || wait > client.maxRetryWaitSeconds) {
                return Result(DavBusy, response.status,
                              Describe(method, url) + "the server is busy (" + std::to_string(response.status) +
                                  "); try again later");
            }
            ++retries;
            std::this_thread::sleep_for(std::chrono::seconds(wait));
            continue;
        }
        std::string location = FindHeader(response.headers, "Location");
        if (followRedirects && IsRedirect(response.status) && !location.empty()) {
            std::string next = ResolveHref(url, location);
            if (++redirects > client.maxRedirects) {
                return Result(DavBadAnswer, response.status, Describe(method, start) + "too many redirects");
            }
            if (IsHttps(url) && !IsHttps(next)) {
                return Result(DavBadAnswer, response.status,
                              Describe(method, url) + "refused a redirect from https to " + next);
            }
            url = next;
            continue;
        }
        return DavResult();
    }
}

// The meaning of a final status that is not a success.
DavResult StatusResult(const std::string& method, const std::string& url, const HttpResponse& response) {
    int code = response.status;
    std::string where = Describe(method, url);
    std::string number = " (" + std::to_string(code) + ")";
    if (code >= 200 && code < 300) return DavResult();
    std::vector<std::string> conditions = ErrorConditions(response.body);
    auto names = [&](const char* name) { return std::find(conditions.begin(), conditions.end(), name) != conditions.end(); };
    if (code == 413 || names("max-resource-size")) {
        return Result(DavCardTooLarge, code, where + "the card is larger than the server accepts" + number);
    }
    if (names("no-uid-conflict")) return Result(DavUidConflict, code, where + "another card has this UID" + number);
    switch (code) {
    case 401: return Result(DavUnauthorized, code, where + "the user name or password was refused" + number);
    case 403: return Result(DavForbidden, code, where + "the server forbids this" + number);
    case 404:
    case 410: return Result(DavNotFound, code, where + "not found on the server" + number);
    case 412: return Result(DavPreconditionFailed, code, where + "the card changed on the server" + number);
    default: break;
    }
    if (code >= 500) return Result(DavServerError, code, where + "the server failed" + number);
    return Result(DavRefused, code, where + "the server refused the request" + number);
}

bool IsMultistatusAnswer(const HttpResponse& response) { return response.status >= 200 && response.status < 300; }

// A PROPFIND or REPORT whose answer is a multistatus; `url` ends as the
// address that answered (after redirects, for reads).
DavResult AskMultistatus(CardDavClient& client, const std::string& method, std::string& url, const char* depth,
                         const std::string& body, DavMultistatus& answer, HttpResponse& response) {
    std::vector<HttpHeader> headers = {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", depth}};
    DavResult sent = Send(client, method, url, headers, body, true, response);
    if (!Succeeded(sent)) return sent;
    if (!IsMultistatusAnswer(response)) return StatusResult(method, url, response);
    std::string error;
    if (!ReadMultistatus(response.body, answer, error)) {
        return Result(DavBadAnswer, response.status, Describe(method, url) + "an unreadable answer: " + error);
    }
    return DavResult();
}

const char BookProperties[] =
    "<d:prop><d:resourcetype/><d:displayname/><d:current-user-principal/><c:addressbook-home-set/>"
    "<d:supported-report-set/><c:max-resource-size/><d:sync-token/><cs:getctag/></d:prop>";

std::string PropfindBody(const char* properties) {
    return std::string(XmlDeclaration) +
           "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\" "
           "xmlns:cs=\"http://calendarserver.org/ns/\">" +
           properties + "</d:propfind>";
}

bool HasDescendant(const XmlElement& element, const char* space, const char* name) {
    for (const XmlElement& child : element.children) {
        if (IsElement(child, space, name) || HasDescendant(child, space, name)) return true;
    }
    return false;
}

bool IsAddressBook(const DavEntry& entry) {
    const XmlElement* type = FoundProperty(entry, DavSpace, "resourcetype");
    return type && FindChild(*type, CardDavSpace, "addressbook");
}

bool IsCollection(const DavEntry& entry) {
    const XmlElement* type = FoundProperty(entry, DavSpace, "resourcetype");
    return type && FindChild(*type, DavSpace, "collection");
}

std::string WithSlash(std::string url) {
    if (url.empty() || url.back() != '/') url += '/';
    return url;
}

AddressBook BookOf(const DavEntry& entry, const std::string& url) {
    AddressBook book;
    book.url = WithSlash(url);
    book.displayName = FoundText(entry, DavSpace, "displayname");
    const XmlElement* reports = FoundProperty(entry, DavSpace, "supported-report-set");
    book.syncCollection = reports && HasDescendant(*reports, DavSpace, "sync-collection");
    std::string size = FoundText(entry, CardDavSpace, "max-resource-size");
    if (!size.empty() && size.size() < 16 && size.find_first_not_of("0123456789") == std::string::npos) {
        book.maxResourceSize = static_cast<size_t>(std::stoull(size));
    }
    book.syncToken = FoundText(entry, DavSpace, "sync-token");
    book.ctag = FoundText(entry, CalendarServerSpace, "getctag");
    return book;
}

// The entry that describes the resource asked for: the first one (Depth 0).
const DavEntry* FirstEntry(const DavMultistatus& answer) {
    return answer.entries.empty() ? nullptr : &answer.entries.front();
}

// Every address book in a home (Depth 1), the home itself included when it is one.
DavResult BooksInHome(CardDavClient& client, std::string home, std::vector<AddressBook>& books) {
    DavMultistatus answer;
    HttpResponse response;
    DavResult asked = AskMultistatus(client, "PROPFIND", home, "1", PropfindBody(BookProperties), answer, response);
    if (!Succeeded(asked)) return asked;
    for (const DavEntry& entry : answer.entries) {
        if (!IsAddressBook(entry)) continue;
        std::string url = WithSlash(ResolveHref(home, entry.href));
        bool known = std::any_of(books.begin(), books.end(), [&](const AddressBook& b) { return b.url == url; });
        if (!known) books.push_back(BookOf(entry, url));
    }
    return DavResult();
}

// What one starting address gives: the books, or a failure. `leadsNowhere`
// is set when another starting point may still be tried.
DavResult BooksFrom(CardDavClient& client, std::string url, std::vector<AddressBook>& books, bool& leadsNowhere) {
    leadsNowhere = false;
    DavMultistatus answer;
    HttpResponse response;
    DavResult asked = AskMultistatus(client, "PROPFIND", url, "0", PropfindBody(BookProperties), answer, response);
    if (asked.status == DavNotFound || asked.status == DavRefused || asked.status == DavForbidden ||
        asked.status == DavBadAnswer) {
        leadsNowhere = true;
        return asked;
    }
    if (!Succeeded(asked)) return asked;
    const DavEntry* entry = FirstEntry(answer);
    if (!entry) {
        leadsNowhere = true;
        return Result(DavNotFound, response.status, Describe("PROPFIND", url) + "no CardDAV address book here");
    }
    if (IsAddressBook(*entry)) {
        books.push_back(BookOf(*entry, url));
        return DavResult();
    }
    std::vector<std::string> homes;
    auto addHomes = [&](const DavEntry& from, const std::string& base) {
        if (const XmlElement* set = FoundProperty(from, CardDavSpace, "addressbook-home-set")) {
            for (const XmlElement& href : set->children) {
                if (IsElement(href, DavSpace, "href")) homes.push_back(ResolveHref(base, std::string(TrimWhiteSpace(href.text))));
            }
        }
    };
    addHomes(*entry, url);
    const XmlElement* principal = FoundProperty(*entry, DavSpace, "current-user-principal");
    std::string principalUrl = principal ? HrefInside(*principal) : std::string();
    if (homes.empty() && !principalUrl.empty()) {
        principalUrl = ResolveHref(url, principalUrl);
        DavMultistatus about;
        asked = AskMultistatus(client, "PROPFIND", principalUrl, "0", PropfindBody(BookProperties), about, response);
        if (!Succeeded(asked)) return asked;
        if (const DavEntry* first = FirstEntry(about)) addHomes(*first, principalUrl);
    }
    if (homes.empty()) {
        // A collection that is neither a book nor a principal: perhaps a
        // home whose server names none; its books are below it.
        if (IsCollection(*entry)) {
            asked = BooksInHome(client, url, books);
            if (Succeeded(asked) && !books.empty()) return asked;
        }
        leadsNowhere = true;
        return Result(DavNotFound, response.status, Describe("PROPFIND", url) + "no CardDAV address book here");
    }
    for (const std::string& home : homes) {
        asked = BooksInHome(client, home, books);
        if (!Succeeded(asked)) return asked;
    }
    return DavResult();
}

// The card's href as the book's lists use it: a path on the book's server.
std::string CardHref(const AddressBook& book, const std::string& href) {
    std::string url = ResolveHref(book.url, href);
    return UrlOrigin(url) == UrlOrigin(book.url) ? HrefPath(url) : url;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// An href with every %-escape undone, for comparing: servers escape "@"
// or a space one way in one answer and another way in the next.
std::string Unescaped(const std::string& href) {
    std::string plain;
    for (size_t i = 0; i < href.size(); ++i) {
        if (href[i] == '%' && i + 2 < href.size() && HexValue(href[i + 1]) >= 0 && HexValue(href[i + 2]) >= 0) {
            plain += static_cast<char>(HexValue(href[i + 1]) * 16 + HexValue(href[i + 2]));
            i += 2;
        } else {
            plain += href[i];
        }
    }
    return plain;
}

bool IsTheBook(const AddressBook& book, const std::string& href) {
    return Unescaped(WithSlash(CardHref(book, href))) == Unescaped(WithSlash(HrefPath(book.url)));
}

// A strong ETag as the server gave it; a weak one cannot serve If-Match.
std::string UsableEtag(const std::string& etag) {
    std::string trimmed(TrimWhiteSpace(etag));
    return StartsWithNoCase(trimmed, "W/") ? std::string() : trimmed;
}

// `tooLarge` when the answer passed what one response may hold.
DavResult MultigetBatch(CardDavClient& client, const AddressBook& book, const std::vector<std::string>& hrefs,
                        std::map<std::string, CardData>& found, bool& tooLarge) {
    std::string body = std::string(XmlDeclaration) +
                       "<c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                       "<d:prop><d:getetag/><c:address-data/></d:prop>";
    for (const std::string& href : hrefs) body += "<d:href>" + EscapeXml(href) + "</d:href>";
    body += "</c:addressbook-multiget>";
    std::string url = book.url;
    DavMultistatus answer;
    HttpResponse response;
    DavResult asked = AskMultistatus(client, "REPORT", url, "1", body, answer, response);
    tooLarge = response.outcome == HttpTooLarge;
    if (!Succeeded(asked)) return asked;
    for (const DavEntry& entry : answer.entries) {
        const XmlElement* data = FoundProperty(entry, CardDavSpace, "address-data");
        if (!data || entry.status == 404) continue;
        CardData card;
        card.href = CardHref(book, entry.href);
        card.etag = UsableEtag(FoundText(entry, DavSpace, "getetag"));
        card.vcard = data->text;
        found[Unescaped(card.href)] = std::move(card);
    }
    return DavResult();
}

// `href` is a copy: the caller may pass the href of `written` itself.
DavResult Write(CardDavClient& client, const AddressBook& book, const std::string href, const HttpHeader& condition,
                const std::string& vcard, WriteResult& written) {
    written = WriteResult();
    std::string url = ResolveHref(book.url, href);
    if (book.maxResourceSize > 0 && vcard.size() > book.maxResourceSize) {
        return Result(DavCardTooLarge, 0,
                      Describe("PUT", url) + "the card (" + std::to_string(vcard.size()) +
                          " bytes) is larger than the server accepts (" + std::to_string(book.maxResourceSize) + ")");
    }
    HttpResponse response;
    DavResult sent = Send(client, "PUT", url, {{"Content-Type", VcardType}, condition}, vcard, false, response);
    if (!Succeeded(sent)) return sent;
    DavResult status = StatusResult("PUT", url, response);
    if (status.status == DavUidConflict) {
        XmlElement root;
        std::string ignored;
        if (ReadXml(response.body, root, ignored)) {
            if (const XmlElement* conflict = FindChild(root, CardDavSpace, "no-uid-conflict")) {
                status.href = CardHref(book, HrefInside(*conflict));
            }
        }
    }
    if (!Succeeded(status)) return status;
    written.href = CardHref(book, href);
    written.etag = UsableEtag(FindHeader(response.headers, "ETag"));
    return DavResult();
}

void Erase(std::vector<std::string>& list, const std::string& value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

std::string UrlOrigin(const std::string& url) {
    size_t scheme = url.find("://");
    if (scheme == std::string::npos) return std::string();
    size_t path = url.find_first_of("/?#", scheme + 3);
    return AsciiLowerCase(url.substr(0, path));
}

std::string HrefPath(const std::string& href) {
    size_t scheme = href.find("://");
    if (scheme == std::string::npos) return href;
    size_t path = href.find('/', scheme + 3);
    return path == std::string::npos ? "/" : href.substr(path);
}

std::string ResolveHref(const std::string& base, const std::string& href) {
    if (HasScheme(href)) return href;
    if (href.compare(0, 2, "//") == 0) return base.substr(0, base.find("://") + 1) + href;
    if (!href.empty() && href[0] == '/') return UrlOrigin(base) + href;
    std::string directory = base.substr(0, base.find_first_of("?#"));
    size_t slash = directory.rfind('/');
    size_t originEnd = UrlOrigin(base).size();
    directory = slash == std::string::npos || slash < originEnd ? directory + "/" : directory.substr(0, slash + 1);
    return directory + href;
}

std::string CardResourceName(const std::string& uid) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string name;
    for (char c : uid) {
        unsigned char u = static_cast<unsigned char>(c);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_' || c == '.' || c == '~';
        if (plain) {
            name += c;
        } else {
            name += '%';
            name += Hex[u >> 4];
            name += Hex[u & 15];
        }
    }
    return name + ".vcf";
}

DavResult ReadBookProperties(CardDavClient& client, const std::string& url, AddressBook& book) {
    std::string at = url;
    DavMultistatus answer;
    HttpResponse response;
    DavResult asked = AskMultistatus(client, "PROPFIND", at, "0", PropfindBody(BookProperties), answer, response);
    if (!Succeeded(asked)) return asked;
    const DavEntry* entry = FirstEntry(answer);
    if (!entry || !IsAddressBook(*entry)) {
        return Result(DavNotFound, response.status, Describe("PROPFIND", url) + "this is no CardDAV address book");
    }
    book = BookOf(*entry, at);
    return DavResult();
}

DavResult DiscoverAddressBooks(CardDavClient& client, const std::string& url, std::vector<AddressBook>& books) {
    books.clear();
    std::string start(TrimWhiteSpace(url));
    if (!HasScheme(start)) start = "https://" + start;
    std::string origin = UrlOrigin(start);
    std::string path = start.substr(origin.size());
    std::string wellKnown = origin + "/.well-known/carddav";
    // A bare server is asked where its books are first; an address with a
    // path is tried as it is, and the server asked when it leads nowhere.
    std::vector<std::string> starts = path.empty() || path == "/" ? std::vector<std::string>{wellKnown, start}
                                                                   : std::vector<std::string>{start, wellKnown};
    DavResult first;
    for (size_t i = 0; i < starts.size(); ++i) {
        bool leadsNowhere = false;
        DavResult result = BooksFrom(client, starts[i], books, leadsNowhere);
        if (!leadsNowhere) return result;
        if (i == 0) first = result;
    }
    return first;
}

DavResult ListCards(CardDavClient& client, const AddressBook& book, std::vector<CardRef>& cards) {
    cards.clear();
    std::string url = book.url;
    DavMultistatus answer;
    HttpResponse response;
    DavResult asked = AskMultistatus(client, "PROPFIND", url, "1",
                                     PropfindBody("<d:prop><d:resourcetype/><d:getetag/></d:prop>"), answer, response);
    if (!Succeeded(asked)) return asked;
    for (const DavEntry& entry : answer.entries) {
        if (entry.href.empty() || IsTheBook(book, entry.href) || IsCollection(entry) || entry.status == 404) continue;
        cards.push_back({CardHref(book, entry.href), UsableEtag(FoundText(entry, DavSpace, "getetag"))});
    }
    return DavResult();
}

DavResult SyncCollection(CardDavClient& client, const AddressBook& book, const std::string& token, SyncChanges& changes) {
    changes = SyncChanges();
    changes.token = token;
    std::map<std::string, std::string> changed;  // href to ETag, in the order of the hrefs
    for (int round = 0; round < MaxSyncRounds; ++round) {
        std::string body = std::string(XmlDeclaration) + "<d:sync-collection xmlns:d=\"DAV:\">" +
                           (changes.token.empty() ? "<d:sync-token/>"
                                                  : "<d:sync-token>" + EscapeXml(changes.token) + "</d:sync-token>") +
                           "<d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
        std::string url = book.url;
        DavMultistatus answer;
        HttpResponse response;
        DavResult sent = Send(client, "REPORT", url,
                              {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "0"}}, body, true, response);
        if (!Succeeded(sent)) return sent;
        if (!IsMultistatusAnswer(response)) {
            std::vector<std::string> conditions = ErrorConditions(response.body);
            bool refusedToken = std::find(conditions.begin(), conditions.end(), "valid-sync-token") != conditions.end();
            if (!changes.token.empty() && (refusedToken || response.status == 409)) {
                return Result(DavTokenRefused, response.status,
                              Describe("REPORT", url) + "the server no longer knows the sync token");
            }
            return StatusResult("REPORT", url, response);
        }
        std::string error;
        if (!ReadMultistatus(response.body, answer, error)) {
            return Result(DavBadAnswer, response.status, Describe("REPORT", url) + "an unreadable answer: " + error);
        }
        bool truncated = false;
        for (const DavEntry& entry : answer.entries) {
            if (entry.href.empty()) continue;
            if (IsTheBook(book, entry.href)) {
                truncated = truncated || entry.status == 507;
                continue;  // some servers list the book itself among the changes
            }
            std::string href = CardHref(book, entry.href);
            if (entry.status == 404) {
                changed.erase(href);
                Erase(changes.removed, href);
                changes.removed.push_back(href);
            } else if (!IsCollection(entry)) {
                Erase(changes.removed, href);
                changed[href] = UsableEtag(FoundText(entry, DavSpace, "getetag"));
            }
        }
        if (answer.syncToken.empty()) {
            return Result(DavBadAnswer, response.status, Describe("REPORT", url) + "the answer carries no sync token");
        }
        bool moved = answer.syncToken != changes.token;
        changes.token = answer.syncToken;
        if (!truncated) {
            for (auto& card : changed) changes.changed.push_back({card.first, card.second});
            return DavResult();
        }
        if (!moved) {
            return Result(DavBadAnswer, response.status,
                          Describe("REPORT", url) + "a truncated answer that does not move its token on");
        }
    }
    return Result(DavBadAnswer, 0, Describe("REPORT", book.url) + "the changes do not end");
}

DavResult FetchCard(CardDavClient& client, const AddressBook& book, const std::string& href, CardData& card) {
    card = CardData();
    std::string url = ResolveHref(book.url, href);
    HttpResponse response;
    DavResult sent = Send(client, "GET", url, {{"Accept", "text/vcard"}}, std::string(), true, response);
    if (!Succeeded(sent)) return sent;
    DavResult status = StatusResult("GET", url, response);
    if (!Succeeded(status)) return status;
    if (response.body.size() > MaxCardBytes) {
        return Result(DavCardTooLarge, response.status, Describe("GET", url) + "the card is too large to read");
    }
    card.href = CardHref(book, href);
    card.etag = UsableEtag(FindHeader(response.headers, "ETag"));
    card.vcard = std::move(response.body);
    return DavResult();
}

DavResult FetchCards(CardDavClient& client, const AddressBook& book, const std::vector<std::string>& hrefs,
                     std::vector<CardData>& cards, std::vector<std::string>& missing) {
    cards.clear();
    missing.clear();
    size_t batch = std::max<size_t>(1, client.multigetBatch);
    for (size_t start = 0; start < hrefs.size();) {
        size_t count = std::min(batch, hrefs.size() - start);
        std::vector<std::string> asked;
        for (size_t i = 0; i < count; ++i) asked.push_back(CardHref(book, hrefs[start + i]));
        std::map<std::string, CardData> found;
        bool tooLarge = false;
        DavResult result = MultigetBatch(client, book, asked, found, tooLarge);
        if (tooLarge && batch > 1) {
            batch = std::max<size_t>(1, batch / 4);  // cards with large photos: fewer at a time
            continue;
        }
        if (!Succeeded(result)) return result;
        for (const std::string& href : asked) {
            auto card = found.find(Unescaped(href));
            if (card != found.end()) {
                card->second.href = href;  // as the caller knows it
                cards.push_back(std::move(card->second));
                continue;
            }
            // Not in the batch's answer: asked for alone, or gone.
            CardData alone;
            DavResult single = FetchCard(client, book, href, alone);
            if (single.status == DavNotFound) {
                missing.push_back(href);
            } else if (!Succeeded(single)) {
                return single;
            } else {
                cards.push_back(std::move(alone));
            }
        }
        start += count;
    }
    return DavResult();
}

DavResult CreateCard(CardDavClient& client, const AddressBook& book, const std::string& uid, const std::string& vcard,
                     WriteResult& written) {
    std::string href = HrefPath(book.url) + CardResourceName(uid);
    return Write(client, book, href, {"If-None-Match", "*"}, vcard, written);
}

DavResult UpdateCard(CardDavClient& client, const AddressBook& book, const std::string& href, const std::string& etag,
                     const std::string& vcard, WriteResult& written) {
    if (etag.empty()) {
        return Result(DavNoEtag, 0, Describe("PUT", ResolveHref(book.url, href)) + "no ETag known: fetch the card first");
    }
    return Write(client, book, href, {"If-Match", etag}, vcard, written);
}

DavResult DeleteCard(CardDavClient& client, const AddressBook& book, const std::string& href, const std::string& etag) {
    std::string url = ResolveHref(book.url, href);
    if (etag.empty()) return Result(DavNoEtag, 0, Describe("DELETE", url) + "no ETag known: fetch the card first");
    HttpResponse response;
    DavResult sent = Send(client, "DELETE", url, {{"If-Match", etag}}, std::string(), false, response);
    if (!Succeeded(sent)) return sent;
    return StatusResult("DELETE", url, response);
}
