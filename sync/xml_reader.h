// A small, namespace-aware XML reader for what WebDAV and CardDAV servers
// answer (multistatus documents and error bodies). It builds the whole
// tree, as those answers are read whole anyway.
//
// Written here rather than taken from a library: the Windows program links
// everything statically and Debian ships no MinGW build of expat or
// libxml2, the subset the servers use is small (elements, namespaces,
// text, CDATA, the five entities and character references), and one
// reader for both builds is what the fuzz harness checks. A document type
// declaration is refused, so no entity can expand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct XmlElement {
    std::string space;  // the namespace URI; empty for none
    std::string name;   // the local name
    std::string text;   // the character data directly inside, entities resolved
    std::vector<XmlElement> children;
};

// What one document may hold; past these it is refused, not cut.
const size_t MaxXmlBytes = 64u * 1024 * 1024;
const size_t MaxXmlDepth = 64;
// A listing of 100,000 cards holds about 700,000 elements.
const size_t MaxXmlElements = 1000000;

// False, with the reason in `error`, for anything that is not a
// well-formed document within the limits.
bool ReadXml(std::string_view bytes, XmlElement& root, std::string& error);

// The first child of that namespace and local name; null when none.
const XmlElement* FindChild(const XmlElement& parent, std::string_view space, std::string_view name);
XmlElement* FindChild(XmlElement& parent, std::string_view space, std::string_view name);
bool IsElement(const XmlElement& element, std::string_view space, std::string_view name);

// Text for an XML document: &, <, > and " escaped.
std::string EscapeXml(std::string_view text);
