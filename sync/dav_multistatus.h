// A WebDAV multistatus answer (and an error body) taken apart: for each
// response its href, its own status, and its properties with the status
// of the propstat each stood in.
#pragma once

#include <string>
#include <vector>

#include "sync/xml_reader.h"

extern const char DavSpace[];      // "DAV:"
extern const char CardDavSpace[];  // "urn:ietf:params:xml:ns:carddav"
extern const char CalendarServerSpace[];  // "http://calendarserver.org/ns/", for getctag

struct DavProperty {
    XmlElement element;  // the property element itself, with its content
    int status = 0;      // of its propstat; 200 when found
};

struct DavEntry {
    std::string href;    // as the server wrote it, white space trimmed
    int status = 0;      // the response's own status (a removed member, a truncated listing); 0 when none
    std::vector<DavProperty> properties;
};

struct DavMultistatus {
    std::vector<DavEntry> entries;
    std::string syncToken;  // the sync-collection answer's new token; empty when none
};

// False, with the reason, unless the body is a DAV:multistatus document.
bool ReadMultistatus(const std::string& body, DavMultistatus& answer, std::string& error);

// The status code of "HTTP/1.1 404 Not Found"; 0 when there is none.
int StatusOfLine(const std::string& line);

// The property when it was found (status 200); null otherwise.
const XmlElement* FoundProperty(const DavEntry& entry, const char* space, const char* name);
// Its text, trimmed; empty when it was not found.
std::string FoundText(const DavEntry& entry, const char* space, const char* name);
// The trimmed text of the first DAV:href inside the element; empty when none.
std::string HrefInside(const XmlElement& element);

// The names of the conditions in a DAV:error body ("valid-sync-token",
// "no-uid-conflict", ...); empty for a body that is no DAV:error.
std::vector<std::string> ErrorConditions(const std::string& body);
