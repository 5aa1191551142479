// The CardDAV protocol, one call per step a synchronisation takes:
// discovery of the account's address books, the list of cards with their
// ETags, the changes since a sync token, cards fetched in batches, and
// conditional writes. Each call says how it ended in a DavResult; none
// invents an ETag the server did not give (the caller fetches the card).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/http.h"
#include "sync/http_auth.h"

// The connection to one account, kept for a whole synchronisation.
struct CardDavClient {
    HttpSession* http = nullptr;  // OpenHttpSession(); closed by its owner
    std::string user;
    std::string password;
    // One exchange may take this long: a server listing ten thousand cards
    // can take half a minute before its first byte.
    int timeoutSeconds = 120;
    // 429 and 503 are retried after the server's Retry-After, at most this
    // often, and never after a longer wait than this.
    int maxRetries = 3;
    int maxRetryWaitSeconds = 60;
    size_t multigetBatch = 200;  // cards asked for in one addressbook-multiget
    int maxRedirects = 5;
    int requestsSent = 0;        // counted, for tests and progress
    // Set once a server asked for Digest authentication: every later
    // request answers it instead of sending Basic.
    bool useDigest = false;
    DigestChallenge digest;
};

enum DavStatus {
    DavOk,
    DavUnauthorized,       // 401: the user name or password was refused; ask again
    DavForbidden,          // 403
    DavNotFound,           // 404 or 410
    DavPreconditionFailed, // 412: the card changed (If-Match) or exists (If-None-Match)
    DavTokenRefused,       // the sync token is no longer valid: compare everything once
    DavCardTooLarge,       // over the address book's max-resource-size, or 413
    DavUidConflict,        // another card of the book has this UID (its href in DavResult::href)
    DavNoEtag,             // a conditional write without an ETag: fetch the card first
    DavBusy,               // 429 or 503 still after the retries
    DavServerError,        // 5xx
    DavTransportFailed,    // timeout, broken connection, unknown host, certificate, ...
    DavBadAnswer,          // an answer that cannot be read, or a redirect that is refused
    DavRefused,            // any other status
};

struct DavResult {
    DavStatus status = DavOk;
    int httpStatus = 0;
    std::string message;  // what failed, for the user: method, address and reason
    std::string href;     // DavUidConflict: the card that holds the UID
};

inline bool Succeeded(const DavResult& result) { return result.status == DavOk; }

struct AddressBook {
    std::string url;          // absolute, as used for every request on it
    std::string displayName;  // empty when the server names none
    bool syncCollection = false;  // it offers the sync-collection report
    size_t maxResourceSize = 0;   // 0 when the server names no limit
    std::string syncToken;    // its current token, when the server gives one
    std::string ctag;         // its getctag, when the server gives one
};

// The address books of the account that `url` names: a server, a user's
// principal, an address-book home, or an address book itself (used as it
// is). Tries /.well-known/carddav on the server where the URL itself
// leads nowhere. A URL without a scheme is taken as https://.
DavResult DiscoverAddressBooks(CardDavClient& client, const std::string& url, std::vector<AddressBook>& books);

// The properties of one address book, as discovery reads them.
DavResult ReadBookProperties(CardDavClient& client, const std::string& url, AddressBook& book);

struct CardRef {
    std::string href;  // the card's path as the server lists it
    std::string etag;  // as the server gave it; empty when it gave none
};

// Every card of the book with its ETag (PROPFIND, Depth 1).
DavResult ListCards(CardDavClient& client, const AddressBook& book, std::vector<CardRef>& cards);

struct SyncChanges {
    std::vector<CardRef> changed;      // new or changed since the token
    std::vector<std::string> removed;  // hrefs of cards that are gone
    std::string token;                 // the token to store for the next sync
};

// The changes since `token` (every card for an empty token), following a
// truncated answer (507) on to its end. DavTokenRefused when the server
// no longer knows the token.
DavResult SyncCollection(CardDavClient& client, const AddressBook& book, const std::string& token,
                         SyncChanges& changes);

struct CardData {
    std::string href;
    std::string etag;   // empty when the server gave none
    std::string vcard;  // the card as the server holds it
};

// The cards at these hrefs, asked for in batches (addressbook-multiget);
// a card the batch does not bring is fetched alone. Hrefs of cards that
// are gone land in `missing`.
DavResult FetchCards(CardDavClient& client, const AddressBook& book, const std::vector<std::string>& hrefs,
                     std::vector<CardData>& cards, std::vector<std::string>& missing);

// One card, by GET.
DavResult FetchCard(CardDavClient& client, const AddressBook& book, const std::string& href, CardData& card);

struct WriteResult {
    std::string href;
    std::string etag;  // the server's new ETag; empty when it gave none: fetch the card
};

// Writes a new card under a name made from its UID, only if no card has
// that name (If-None-Match: *).
DavResult CreateCard(CardDavClient& client, const AddressBook& book, const std::string& uid,
                     const std::string& vcard, WriteResult& written);
// Replaces a card only if it is still the one of that ETag (If-Match).
DavResult UpdateCard(CardDavClient& client, const AddressBook& book, const std::string& href,
                     const std::string& etag, const std::string& vcard, WriteResult& written);
// Removes a card only if it is still the one of that ETag (If-Match).
DavResult DeleteCard(CardDavClient& client, const AddressBook& book, const std::string& href,
                     const std::string& etag);

// Address helpers, shared with the tests.
// The scheme, host and port: "https://example.com:8443".
std::string UrlOrigin(const std::string& url);
// The href (a path, or a whole URL) as an absolute URL against `base`.
std::string ResolveHref(const std::string& base, const std::string& href);
// The path of an absolute URL; the href itself when it is already a path.
std::string HrefPath(const std::string& href);
// A resource name for a card: the UID's unreserved characters as they
// are, every other byte %-escaped, then ".vcf".
std::string CardResourceName(const std::string& uid);
