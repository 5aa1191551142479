#include "vcard/vcard_lines.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool IsFoldSpace(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string UpperCase(std::string text) {
    for (char& c : text) c = Upper(c);
    return text;
}

// False at the end of the file.
bool HaveBytes(VcardLineReader& reader) {
    if (reader.next < reader.end) return true;
    reader.next = 0;
    reader.end = std::fread(reader.block, 1, sizeof reader.block, reader.file);
    return reader.end > 0;
}

// One physical line without its line end; bytes beyond `limit` are read
// and dropped. False at the end of the file when nothing was read.
bool ReadPhysicalLine(VcardLineReader& reader, std::string& line, size_t limit) {
    line.clear();
    bool any = false;
    while (HaveBytes(reader)) {
        any = true;
        const unsigned char* bytes = reader.block + reader.next;
        size_t available = reader.end - reader.next;
        size_t run = available;
        for (int lineEnd : {'\r', '\n'}) {
            const void* found = std::memchr(bytes, lineEnd, run);
            if (found) run = static_cast<size_t>(static_cast<const unsigned char*>(found) - bytes);
        }
        size_t room = limit > line.size() ? limit - line.size() : 0;
        line.append(reinterpret_cast<const char*>(bytes), std::min(run, room));
        reader.next += run;
        if (run == available) continue;
        unsigned char end = bytes[run];
        ++reader.next;
        if (end == '\r' && HaveBytes(reader) && reader.block[reader.next] == '\n') ++reader.next;
        return true;
    }
    return any;
}

// Where the value begins: behind the first ":" that is not inside a
// quoted parameter value; npos when there is none.
size_t ValueStart(const std::string& line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i + 1;
    }
    return std::string::npos;
}

bool ContainsUpper(const std::string& text, size_t length, const char* word) {
    size_t n = std::strlen(word);
    for (size_t i = 0; i + n <= length; ++i) {
        size_t k = 0;
        while (k < n && Upper(text[i + k]) == word[k]) ++k;
        if (k == n) return true;
    }
    return false;
}

bool EndsWithSoftBreak(const std::string& line, size_t valueStart) {
    size_t end = line.size();
    while (end > valueStart && IsFoldSpace(line[end - 1])) --end;
    return end > valueStart && line[end - 1] == '=';
}

void DropSoftBreak(std::string& line) {
    while (!line.empty() && IsFoldSpace(line.back())) line.pop_back();
    line.pop_back();
}

// A lone backslash at the end, after an ASCII byte (so not the second
// byte of a double-byte character).
bool EndsWithBackslash(const std::string& line) {
    size_t n = line.size();
    if (n < 2 || line[n - 1] != '\\' || static_cast<unsigned char>(line[n - 2]) >= 0x80) return false;
    size_t slashes = 0;
    while (slashes < n && line[n - 1 - slashes] == '\\') ++slashes;
    return slashes % 2 == 1;
}

bool IsCardBoundary(const std::string& line) {
    return IsWholeLine(line, "BEGIN:VCARD") || IsWholeLine(line, "END:VCARD");
}

void AppendCapped(std::string& line, const std::string& text, size_t from, size_t limit) {
    if (line.size() >= limit || from >= text.size()) return;
    line.append(text, from, limit - line.size());
}

// Splits at `separator` outside double quotes.
std::vector<std::string> SplitOutsideQuotes(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == separator && !quoted) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string Unquoted(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '"') out += c;
    }
    return out;
}

void AddParameter(VcardProperty& property, const std::string& parameter) {
    size_t equals = parameter.find('=');
    if (equals == std::string::npos) {
        std::string bare = UpperCase(parameter);
        if (bare == "QUOTED-PRINTABLE") {
            property.quotedPrintable = true;
        } else if (bare == "BASE64") {
            property.binary = true;
        } else if (!bare.empty()) {
            property.types.push_back(bare);
        }
        return;
    }
    std::string key = UpperCase(parameter.substr(0, equals));
    std::string value = Unquoted(parameter.substr(equals + 1));
    if (key == "ENCODING") {
        std::string encoding = UpperCase(value);
        property.quotedPrintable = encoding == "QUOTED-PRINTABLE";
        property.binary = encoding == "BASE64" || encoding == "B";
    } else if (key == "CHARSET") {
        property.charset = value;
    } else if (key == "TYPE") {
        for (const std::string& type : SplitOutsideQuotes(value, ',')) property.types.push_back(UpperCase(type));
    } else if (key == "PREF") {
        property.types.push_back("PREF");
    }
}

}  // namespace

void StartLineReader(VcardLineReader& reader, FILE* file) {
    reader.file = file;
    reader.next = 0;
    reader.end = 0;
    reader.pending.clear();
    reader.hasPending = false;
}

bool IsWholeLine(const std::string& line, const char* word) {
    size_t first = 0;
    size_t last = line.size();
    while (first < last && IsFoldSpace(line[first])) ++first;
    while (last > first && IsFoldSpace(line[last - 1])) --last;
    size_t n = std::strlen(word);
    if (last - first != n) return false;
    for (size_t k = 0; k < n; ++k) {
        if (Upper(line[first + k]) != word[k]) return false;
    }
    return true;
}

bool ReadLogicalLine(VcardLineReader& reader, std::string& line, bool dropFoldSpace, size_t limit) {
    if (reader.hasPending) {
        line.swap(reader.pending);
        reader.hasPending = false;
    } else if (!ReadPhysicalLine(reader, line, limit)) {
        return false;
    }
    if (IsCardBoundary(line)) return true;

    size_t valueStart = ValueStart(line);
    bool quotedPrintable = valueStart != std::string::npos && ContainsUpper(line, valueStart, "QUOTED-PRINTABLE");
    std::string& next = reader.pending;
    while (ReadPhysicalLine(reader, next, limit)) {
        reader.hasPending = true;
        if (IsCardBoundary(next)) break;
        if (quotedPrintable && EndsWithSoftBreak(line, valueStart)) {
            DropSoftBreak(line);
            AppendCapped(line, next, 0, limit);
        } else if (!next.empty() && IsFoldSpace(next[0])) {
            AppendCapped(line, next, dropFoldSpace ? 1 : 0, limit);
        } else if (!dropFoldSpace && !quotedPrintable && EndsWithBackslash(line) &&
                   next.find(':') == std::string::npos) {
            line.pop_back();
            line += "\\n";
            AppendCapped(line, next, 0, limit);
        } else {
            break;
        }
        reader.hasPending = false;
        if (valueStart == std::string::npos) {
            valueStart = ValueStart(line);
            quotedPrintable = valueStart != std::string::npos && ContainsUpper(line, valueStart, "QUOTED-PRINTABLE");
        }
    }
    return true;
}

bool SplitPropertyLine(const std::string& line, VcardProperty& property) {
    size_t valueStart = ValueStart(line);
    if (valueStart == std::string::npos) return false;
    property = VcardProperty();
    std::vector<std::string> parts = SplitOutsideQuotes(line.substr(0, valueStart - 1), ';');
    std::string name = parts[0];
    size_t first = name.find_first_not_of(" \t");
    name.erase(0, first == std::string::npos ? name.size() : first);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(0, dot + 1);
    property.name = UpperCase(name);
    for (size_t i = 1; i < parts.size(); ++i) AddParameter(property, parts[i]);
    property.value = line.substr(valueStart);
    return true;
}

bool HasType(const VcardProperty& property, const char* type) {
    return std::find(property.types.begin(), property.types.end(), type) != property.types.end();
}

std::vector<std::string> SplitComponents(const std::string& value, size_t count, bool pairedBytes) {
    std::vector<std::string> parts(1);
    size_t i = 0;
    while (i < value.size()) {
        char c = value[i];
        if (c == ';' && parts.size() < count) {
            parts.emplace_back();
            ++i;
            continue;
        }
        size_t length = 1;
        if (c == '\\' || (pairedBytes && static_cast<unsigned char>(c) >= 0x81)) length = 2;
        length = std::min(length, value.size() - i);
        parts.back().append(value, i, length);
        i += length;
    }
    return parts;
}
