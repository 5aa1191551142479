#include "sync/xml_reader.h"

#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace {

struct Namespace {
    std::string prefix;  // empty for the default namespace
    std::string uri;
    size_t depth;        // the element that declared it
};

struct Reader {
    std::string_view in;
    size_t at = 0;
    std::string error;
    std::vector<Namespace> spaces;
    std::vector<XmlElement*> open;
    std::vector<std::string> openNames;  // the qualified names, for the end tags
    size_t elements = 0;
};

bool Fail(Reader& r, const char* why) {
    if (r.error.empty()) r.error = std::string(why) + " at byte " + std::to_string(r.at);
    return false;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameByte(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':';
}

bool StartsWith(const Reader& r, const char* word) { return r.in.substr(r.at).substr(0, std::strlen(word)) == word; }

void SkipSpace(Reader& r) {
    while (r.at < r.in.size() && IsSpace(r.in[r.at])) ++r.at;
}

// Moves past the next `end`; false when there is none.
bool SkipPast(Reader& r, const char* end) {
    size_t found = r.in.find(end, r.at);
    if (found == std::string_view::npos) return Fail(r, "an unclosed comment, section or instruction");
    r.at = found + std::strlen(end);
    return true;
}

bool ReadName(Reader& r, std::string& name) {
    size_t start = r.at;
    while (r.at < r.in.size() && IsNameByte(r.in[r.at])) ++r.at;
    if (r.at == start) return Fail(r, "a name was expected");
    name.assign(r.in.substr(start, r.at - start));
    return true;
}

void AppendUtf8(std::string& out, unsigned long code) {
    std::u16string units;
    if (code >= 0x10000) {
        code -= 0x10000;
        units += static_cast<char16_t>(0xD800 + (code >> 10));
        units += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
        units += static_cast<char16_t>(code);
    }
    out += Utf16ToUtf8(units);
}

// An entity or character reference after "&", appended to `out`.
bool ReadReference(Reader& r, std::string& out) {
    size_t end = r.in.find(';', r.at);
    if (end == std::string_view::npos || end - r.at > 12) return Fail(r, "an unfinished reference");
    std::string_view name = r.in.substr(r.at, end - r.at);
    static const std::pair<const char*, char> Named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    bool known = false;
    for (const auto& entity : Named) {
        if (name == entity.first) {
            out += entity.second;
            known = true;
        }
    }
    if (!known) {
        if (name.size() < 2 || name[0] != '#') return Fail(r, "an unknown entity");
        bool hex = name[1] == 'x';
        std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return Fail(r, "an empty character reference");
        unsigned long code = 0;
        for (char c : digits) {
            int value = c >= '0' && c <= '9' ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
            if (value < 0) return Fail(r, "a bad character reference");
            code = code * (hex ? 16 : 10) + static_cast<unsigned long>(value);
            if (code > 0x10FFFF) return Fail(r, "a character reference beyond Unicode");
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return Fail(r, "a character reference to no character");
        AppendUtf8(out, code);
    }
    r.at = end + 1;
    return true;
}

bool ReadAttributeValue(Reader& r, std::string& value) {
    if (r.at >= r.in.size() || (r.in[r.at] != '"' && r.in[r.at] != '\'')) return Fail(r, "a quoted value was expected");
    char quote = r.in[r.at++];
    value.clear();
    while (r.at < r.in.size() && r.in[r.at] != quote) {
        char c = r.in[r.at++];
        if (c == '<') return Fail(r, "a \"<\" inside a value");
        if (c == '&') {
            if (!ReadReference(r, value)) return false;
        } else {
            value += c;
        }
    }
    if (r.at >= r.in.size()) return Fail(r, "an unclosed value");
    ++r.at;
    return true;
}

// The URI bound to the prefix, innermost first; false when none is.
bool LookUp(const Reader& r, std::string_view prefix, std::string& uri) {
    for (size_t i = r.spaces.size(); i-- > 0;) {
        if (r.spaces[i].prefix == prefix) {
            uri = r.spaces[i].uri;
            return true;
        }
    }
    if (prefix.empty()) {
        uri.clear();
        return true;
    }
    if (prefix == "xml") {
        uri = "http://www.w3.org/XML/1998/namespace";
        return true;
    }
    return false;
}

bool ReadStartTag(Reader& r) {
    std::string qname;
    if (!ReadName(r, qname)) return false;
    if (r.open.size() > MaxXmlDepth) return Fail(r, "elements nested too deeply");
    if (++r.elements > MaxXmlElements) return Fail(r, "too many elements");
    size_t depth = r.open.size() + 1;
    bool empty = false;
    for (;;) {
        bool spaced = r.at < r.in.size() && IsSpace(r.in[r.at]);
        SkipSpace(r);
        if (r.at >= r.in.size()) return Fail(r, "an unclosed tag");
        if (r.in[r.at] == '>') {
            ++r.at;
            break;
        }
        if (StartsWith(r, "/>")) {
            r.at += 2;
            empty = true;
            break;
        }
        if (!spaced) return Fail(r, "attributes must be separated by white space");
        std::string attribute;
        std::string value;
        if (!ReadName(r, attribute)) return false;
        SkipSpace(r);
        if (r.at >= r.in.size() || r.in[r.at] != '=') return Fail(r, "\"=\" was expected");
        ++r.at;
        SkipSpace(r);
        if (!ReadAttributeValue(r, value)) return false;
        if (attribute == "xmlns") {
            r.spaces.push_back({std::string(), value, depth});
        } else if (attribute.compare(0, 6, "xmlns:") == 0) {
            if (attribute.size() == 6 || value.empty()) return Fail(r, "an empty namespace prefix or URI");
            r.spaces.push_back({attribute.substr(6), value, depth});
        }
    }

    XmlElement element;
    size_t colon = qname.find(':');
    std::string_view prefix = colon == std::string::npos ? std::string_view() : std::string_view(qname).substr(0, colon);
    element.name = colon == std::string::npos ? qname : qname.substr(colon + 1);
    if (element.name.empty() || element.name.find(':') != std::string::npos) return Fail(r, "a malformed name");
    if (!LookUp(r, prefix, element.space)) return Fail(r, "a prefix bound to no namespace");

    // The holder of ReadXml is always open, so the root has a parent too.
    r.open.back()->children.push_back(std::move(element));
    XmlElement* placed = &r.open.back()->children.back();
    if (empty) {
        while (!r.spaces.empty() && r.spaces.back().depth == depth) r.spaces.pop_back();
    } else {
        r.open.push_back(placed);
        r.openNames.push_back(qname);
    }
    return true;
}

bool ReadEndTag(Reader& r) {
    std::string qname;
    if (!ReadName(r, qname)) return false;
    SkipSpace(r);
    if (r.at >= r.in.size() || r.in[r.at] != '>') return Fail(r, "an unclosed end tag");
    ++r.at;
    if (r.open.size() <= 1 || r.openNames.back() != qname) return Fail(r, "an end tag that closes no open element");
    size_t depth = r.open.size();
    while (!r.spaces.empty() && r.spaces.back().depth == depth) r.spaces.pop_back();
    r.open.pop_back();
    r.openNames.pop_back();
    return true;
}

// Comments, instructions and white space, where no text may stand.
bool SkipMisc(Reader& r) {
    for (;;) {
        SkipSpace(r);
        if (StartsWith(r, "<?")) {
            if (!SkipPast(r, "?>")) return false;
        } else if (StartsWith(r, "<!--")) {
            if (!SkipPast(r, "-->")) return false;
        } else if (StartsWith(r, "<!")) {
            return Fail(r, "a document type declaration is not accepted");
        } else {
            return true;
        }
    }
}

bool ReadContent(Reader& r) {
    while (r.open.size() > 1) {
        if (r.at >= r.in.size()) return Fail(r, "the document ends inside an element");
        char c = r.in[r.at];
        XmlElement& current = *r.open.back();
        if (c == '<') {
            ++r.at;
            if (StartsWith(r, "/")) {
                ++r.at;
                if (!ReadEndTag(r)) return false;
            } else if (StartsWith(r, "!--")) {
                if (!SkipPast(r, "-->")) return false;
            } else if (StartsWith(r, "![CDATA[")) {
                r.at += 8;
                size_t end = r.in.find("]]>", r.at);
                if (end == std::string_view::npos) return Fail(r, "an unclosed CDATA section");
                current.text.append(r.in.substr(r.at, end - r.at));
                r.at = end + 3;
            } else if (StartsWith(r, "?")) {
                if (!SkipPast(r, "?>")) return false;
            } else if (StartsWith(r, "!")) {
                return Fail(r, "a declaration inside an element");
            } else if (!ReadStartTag(r)) {
                return false;
            }
        } else if (c == '&') {
            ++r.at;
            if (!ReadReference(r, current.text)) return false;
        } else {
            size_t end = r.in.find_first_of("<&", r.at);
            if (end == std::string_view::npos) end = r.in.size();
            current.text.append(r.in.substr(r.at, end - r.at));
            r.at = end;
        }
    }
    return true;
}

}  // namespace

bool ReadXml(std::string_view bytes, XmlElement& root, std::string& error) {
    root = XmlElement();
    Reader r;
    r.in = bytes;
    if (bytes.size() > MaxXmlBytes) {
        error = "the document is too large";
        return false;
    }
    if (StartsWith(r, "\xEF\xBB\xBF")) r.at = 3;
    bool ok = SkipMisc(r);
    if (ok && (r.at >= r.in.size() || r.in[r.at] != '<')) ok = Fail(r, "no root element");
    if (ok) {
        // The root is read into a holder that stays open below it.
        XmlElement holder;
        r.open.push_back(&holder);
        r.openNames.push_back(std::string());
        ++r.at;
        ok = ReadStartTag(r) && ReadContent(r);
        if (ok && holder.children.size() == 1) root = std::move(holder.children.front());
        if (ok) ok = SkipMisc(r);
        if (ok && r.at != r.in.size()) ok = Fail(r, "text after the root element");
    }
    error = r.error;
    if (!ok) root = XmlElement();
    return ok;
}

const XmlElement* FindChild(const XmlElement& parent, std::string_view space, std::string_view name) {
    for (const XmlElement& child : parent.children) {
        if (child.space == space && child.name == name) return &child;
    }
    return nullptr;
}

XmlElement* FindChild(XmlElement& parent, std::string_view space, std::string_view name) {
    for (XmlElement& child : parent.children) {
        if (child.space == space && child.name == name) return &child;
    }
    return nullptr;
}

bool IsElement(const XmlElement& element, std::string_view space, std::string_view name) {
    return element.space == space && element.name == name;
}

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}
