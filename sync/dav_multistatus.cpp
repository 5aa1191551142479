#include "sync/dav_multistatus.h"

#include <utility>

#include "store/text_operations.h"

const char DavSpace[] = "DAV:";
const char CardDavSpace[] = "urn:ietf:params:xml:ns:carddav";
const char CalendarServerSpace[] = "http://calendarserver.org/ns/";

namespace {

std::string Trimmed(const std::string& text) { return std::string(TrimWhiteSpace(text)); }

void ReadEntry(XmlElement& response, DavEntry& entry) {
    if (const XmlElement* href = FindChild(response, DavSpace, "href")) entry.href = Trimmed(href->text);
    if (const XmlElement* status = FindChild(response, DavSpace, "status")) entry.status = StatusOfLine(status->text);
    for (XmlElement& propstat : response.children) {
        if (!IsElement(propstat, DavSpace, "propstat")) continue;
        const XmlElement* status = FindChild(propstat, DavSpace, "status");
        int code = status ? StatusOfLine(status->text) : 0;
        XmlElement* prop = FindChild(propstat, DavSpace, "prop");
        if (!prop) continue;
        for (XmlElement& property : prop->children) entry.properties.push_back({std::move(property), code});
    }
}

}  // namespace

int StatusOfLine(const std::string& line) {
    std::string_view text = TrimWhiteSpace(line);
    size_t space = text.find(' ');
    if (space == std::string_view::npos || !StartsWithNoCase(text, "HTTP/")) return 0;
    std::string_view code = text.substr(space + 1, 3);
    if (code.size() != 3 || code.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

bool ReadMultistatus(const std::string& body, DavMultistatus& answer, std::string& error) {
    answer = DavMultistatus();
    XmlElement root;
    if (!ReadXml(body, root, error)) return false;
    if (!IsElement(root, DavSpace, "multistatus")) {
        error = "the answer is no multistatus (its root is " + root.name + ")";
        return false;
    }
    for (XmlElement& child : root.children) {
        if (IsElement(child, DavSpace, "response")) {
            DavEntry entry;
            ReadEntry(child, entry);
            answer.entries.push_back(std::move(entry));
        } else if (IsElement(child, DavSpace, "sync-token")) {
            answer.syncToken = Trimmed(child.text);
        }
    }
    return true;
}

const XmlElement* FoundProperty(const DavEntry& entry, const char* space, const char* name) {
    for (const DavProperty& property : entry.properties) {
        if (property.status == 200 && IsElement(property.element, space, name)) return &property.element;
    }
    return nullptr;
}

std::string FoundText(const DavEntry& entry, const char* space, const char* name) {
    const XmlElement* property = FoundProperty(entry, space, name);
    return property ? Trimmed(property->text) : std::string();
}

std::string HrefInside(const XmlElement& element) {
    const XmlElement* href = FindChild(element, DavSpace, "href");
    return href ? Trimmed(href->text) : std::string();
}

std::vector<std::string> ErrorConditions(const std::string& body) {
    std::vector<std::string> names;
    XmlElement root;
    std::string ignored;
    if (body.empty() || !ReadXml(body, root, ignored) || !IsElement(root, DavSpace, "error")) return names;
    for (const XmlElement& child : root.children) names.push_back(child.name);
    return names;
}
