// Any bytes as a server's answer: the XML reader, then the multistatus
// and error readers on what it read. A document the reader accepts is
// written out again and must read back to the same tree, within the
// depth limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "sync/dav_multistatus.h"
#include "sync/xml_reader.h"

namespace {

void WritePlain(const XmlElement& element, std::string& out);

// Every element with its own namespace declaration; the text first, as
// the reader joins an element's pieces of text.
void Write(const XmlElement& element, std::string& out) {
    out += "<n:" + element.name + " xmlns:n=\"" + EscapeXml(element.space) + "\">";
    out += EscapeXml(element.text);
    for (const XmlElement& child : element.children) WritePlain(child, out);
    out += "</n:" + element.name + ">";
}

// Elements of no namespace cannot take a prefix: they are written plain.
void WritePlain(const XmlElement& element, std::string& out) {
    if (!element.space.empty()) {
        Write(element, out);
        return;
    }
    out += "<" + element.name + " xmlns=\"\">" + EscapeXml(element.text);
    for (const XmlElement& child : element.children) WritePlain(child, out);
    out += "</" + element.name + ">";
}

bool SameTree(const XmlElement& a, const XmlElement& b, size_t depth) {
    Require(depth <= MaxXmlDepth + 1, "a tree deeper than the limit");
    if (a.space != b.space || a.name != b.name || a.text != b.text || a.children.size() != b.children.size()) return false;
    for (size_t i = 0; i < a.children.size(); ++i) {
        if (!SameTree(a.children[i], b.children[i], depth + 1)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    XmlElement root;
    std::string error;
    bool read = ReadXml(bytes, root, error);
    Require(read == error.empty(), "a result that disagrees with its error text");
    DavMultistatus answer;
    std::string answerError;
    bool multistatus = ReadMultistatus(bytes, answer, answerError);
    Require(!multistatus || (read && IsElement(root, DavSpace, "multistatus")), "a multistatus from a refused document");
    for (const DavEntry& entry : answer.entries) {
        Require(entry.status >= 0 && entry.status <= 999, "a status out of range");
        for (const DavProperty& property : entry.properties) Require(property.status <= 999, "a status out of range");
        FoundText(entry, DavSpace, "getetag");
    }
    ErrorConditions(bytes);
    if (!read) return 0;

    std::string again;
    WritePlain(root, again);
    XmlElement reread;
    Require(ReadXml(again, reread, error), "a tree written out again is refused");
    Require(SameTree(root, reread, 1), "a tree written out again reads otherwise");
    return 0;
}
