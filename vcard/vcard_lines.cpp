#include "vcard/vcard_lines.h"

#include "platform/platform.h"
#include "store/text_operations.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsFoldSpace(char c) { return c == ' ' || c == '\t'; }

// False at the end of the file.
bool HaveBytes(VcardLineReader& reader) {
    if (reader.next < reader.end) return true;
    reader.next = 0;
    if (reader.memory) {
        size_t left = reader.memory->size() - reader.memoryNext;
        reader.end = std::min(left, sizeof reader.block);
        std::memcpy(reader.block, reader.memory->data() + reader.memoryNext, reader.end);
        reader.memoryNext += reader.end;
    } else {
        reader.end = std::fread(reader.block, 1, sizeof reader.block, reader.file);
    }
    return reader.end > 0;
}

// One physical line from the file, without its line end; bytes beyond
// `limit` are read and dropped. False at the end of the file when nothing
// was read.
bool ReadFileLine(VcardLineReader& reader, std::string& line, size_t limit) {
    line.clear();
    bool any = false;
    while (HaveBytes(reader)) {
        any = true;
        const unsigned char* bytes = reader.block + reader.next;
        size_t available = reader.end - reader.next;
        // The line feed first, then a CR only within the line it ends: most
        // files end their lines with LF or CR LF, and a search for CR first
        // would run over the whole block on each line of a file without one.
        size_t run = available;
        for (int lineEnd : {'\n', '\r'}) {
            const char* found = FindByte(reinterpret_cast<const char*>(bytes), run, static_cast<char>(lineEnd));
            if (found) run = static_cast<size_t>(found - reinterpret_cast<const char*>(bytes));
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

// The next physical line: first those a preview has read ahead.
bool ReadPhysicalLine(VcardLineReader& reader, std::string& line, size_t limit) {
    if (reader.lookahead.empty()) return ReadFileLine(reader, line, limit);
    line = reader.lookahead.front();  // a copy: the line keeps its room for the lines after it
    reader.lookahead.pop_front();
    return true;
}

// Where the value begins: behind the first ":" that is not inside a
// quoted parameter value; npos when there is none.
size_t ValueStart(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i + 1;
    }
    return std::string::npos;
}

bool ContainsUpper(std::string_view text, size_t length, std::string_view word) {
    size_t n = word.size();
    for (size_t i = 0; i + n <= length; ++i) {
        size_t k = 0;
        while (k < n && AsciiUpper(text[i + k]) == word[k]) ++k;
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

bool HasHighByte(const std::string& line) {
    for (char c : line) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

void AppendCapped(std::string& line, const std::string& text, size_t from, size_t limit) {
    if (line.size() >= limit || from >= text.size()) return;
    line.append(text, from, limit - line.size());
}

// The end of the piece that starts at `start`: the next `separator`
// outside double quotes, or the end.
size_t PieceEnd(std::string_view text, size_t start, char separator) {
    bool quoted = false;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == separator && !quoted) return i;
    }
    return text.size();
}

std::string_view Unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

struct TypeName {
    std::string_view name;
    VcardType type;
};
const TypeName TypeNames[] = {{"CELL", TypeCell}, {"FAX", TypeFax},   {"WORK", TypeWork},   {"HOME", TypeHome},
                              {"PREF", TypePref}, {"PAGER", TypePager}, {"OTHER", TypeOther}, {"MOBILE", TypeCell}};
// Types that say nothing a label would show.
const std::string_view SilentTypes[] = {"VOICE", "ISDN", "INTERNET", "X400", "POSTAL", "PARCEL", "DOM", "INTL", "MSG", "TEXT"};

void AddType(VcardProperty& property, std::string_view type) {
    if (SameNoCase(type, "QQ")) property.qqService = true;  // IMPP;TYPE=QQ, as Nextcloud writes it
    for (const TypeName& known : TypeNames) {
        if (SameNoCase(type, known.name)) {
            property.types |= known.type;
            return;
        }
    }
    for (std::string_view silent : SilentTypes) {
        if (SameNoCase(type, silent)) return;
    }
    if (property.typeLabel.empty() && !type.empty()) property.typeLabel = std::string(type);
}

void AddParameter(VcardProperty& property, std::string_view parameter) {
    size_t equals = parameter.find('=');
    if (equals == std::string_view::npos) {
        if (SameNoCase(parameter, "QUOTED-PRINTABLE")) {
            property.quotedPrintable = true;
        } else if (SameNoCase(parameter, "BASE64")) {
            property.binary = true;
        } else {
            AddType(property, parameter);
        }
        return;
    }
    std::string_view key = parameter.substr(0, equals);
    std::string_view value = Unquoted(parameter.substr(equals + 1));
    if (SameNoCase(key, "ENCODING")) {
        property.quotedPrintable = SameNoCase(value, "QUOTED-PRINTABLE");
        property.binary = SameNoCase(value, "BASE64") || SameNoCase(value, "B");
    } else if (SameNoCase(key, "CHARSET")) {
        property.charset = std::string(value);
    } else if (SameNoCase(key, "TYPE")) {
        // TYPE=cell,voice and TYPE="work,voice" alike.
        std::string_view types = value.size() >= 1 && value.front() == '"' ? value.substr(1) : value;
        for (size_t start = 0; start <= types.size();) {
            size_t end = types.find(',', start);
            if (end == std::string_view::npos) end = types.size();
            AddType(property, Unquoted(types.substr(start, end - start)));
            start = end + 1;
        }
    } else if (SameNoCase(key, "PREF")) {
        property.types |= TypePref;
    } else if (SameNoCase(key, "X-APPLE-OMIT-YEAR")) {
        property.omitYear = true;
    } else if (SameNoCase(key, "X-SERVICE-TYPE")) {
        property.qqService = property.qqService || SameNoCase(value, "QQ");
        property.serviceType = std::string(value);
    }
}

}  // namespace

void StartLineReader(VcardLineReader& reader, FILE* file) {
    reader.file = file;
    reader.memory = nullptr;
    reader.memoryNext = 0;
    reader.next = 0;
    reader.end = 0;
    reader.pending.clear();
    reader.hasPending = false;
    reader.lookahead.clear();
}

void StartMemoryLineReader(VcardLineReader& reader, const std::string& text) {
    StartLineReader(reader, nullptr);
    reader.memory = &text;
}

VcardPreview PreviewCard(VcardLineReader& reader, size_t limit) {
    // A card holds a few dozen lines; one of thousands (a damaged or
    // hostile file) is read on without its preview.
    const size_t maxLines = 4096;
    const size_t maxBytes = 4 * 1024 * 1024;
    VcardPreview preview;
    bool valid = true;
    bool nonAscii = false;
    size_t bytes = 0;
    if (reader.hasPending) {
        // The line read ahead comes first, so it goes first in the queue.
        reader.lookahead.push_front(std::move(reader.pending));
        reader.hasPending = false;
    }
    size_t seen = 0;
    while (seen < maxLines && bytes < maxBytes) {
        if (seen == reader.lookahead.size()) {
            std::string fresh;
            if (!ReadFileLine(reader, fresh, limit)) break;
            reader.lookahead.push_back(std::move(fresh));  // a deque keeps its elements in place
        }
        const std::string& line = reader.lookahead[seen];
        ++seen;
        bytes += line.size();
        if (IsCardBoundary(line)) break;
        if (valid && HasHighByte(line)) {
            nonAscii = true;
            valid = IsValidUtf8(line);
        }
        size_t valueStart = ValueStart(line);
        if (preview.version.empty() && valueStart != std::string::npos) {
            std::string_view head = TrimWhiteSpace(std::string_view(line).substr(0, valueStart - 1));
            size_t dot = head.rfind('.');
            if (dot != std::string_view::npos) head.remove_prefix(dot + 1);
            if (SameNoCase(head, "VERSION")) {
                preview.version = std::string(TrimWhiteSpace(std::string_view(line).substr(valueStart)));
                break;  // found: the form of the card's text is not needed
            }
        }
    }
    preview.utf8Text = valid && nonAscii;
    return preview;
}

bool IsWholeLine(const std::string& line, std::string_view word) {
    size_t n = word.size();
    size_t last = line.size();
    while (last > 0 && IsFoldSpace(line[last - 1])) --last;
    if (last < n) return false;
    size_t wordStart = last - n;
    for (size_t k = 0; k < n; ++k) {
        if (AsciiUpper(line[wordStart + k]) != word[k]) return false;  // the usual answer, at once
    }
    size_t first = 0;
    while (first < wordStart && IsFoldSpace(line[first])) ++first;
    if (first == wordStart) return true;
    // A group's name before it, as in "home.BEGIN:VCARD".
    if (line[wordStart - 1] != '.' || wordStart - 1 == first) return false;
    for (size_t i = first; i < wordStart - 1; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (!IsAsciiLetter(line[i]) && !(c >= '0' && c <= '9') && c != '-') return false;
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

bool SplitPropertyLine(std::string_view line, VcardProperty& property) {
    line = TrimWhiteSpace(line);
    size_t valueStart = ValueStart(line);
    if (valueStart == std::string::npos) return false;
    property = VcardProperty();
    std::string_view head = line.substr(0, valueStart - 1);
    size_t nameEnd = PieceEnd(head, 0, ';');
    std::string_view name = head.substr(0, nameEnd);
    while (!name.empty() && IsFoldSpace(name.front())) name.remove_prefix(1);
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        for (char c : name.substr(0, dot)) property.group += AsciiLower(c);
        name.remove_prefix(dot + 1);
    }
    property.name.reserve(name.size());
    for (char c : name) property.name += AsciiUpper(c);
    for (size_t start = nameEnd + 1; start <= head.size();) {
        size_t end = PieceEnd(head, start, ';');
        AddParameter(property, head.substr(start, end - start));
        start = end + 1;
    }
    property.value = line.substr(valueStart);
    return true;
}

std::vector<std::string_view> SplitComponents(std::string_view value, size_t count, bool pairedBytes) {
    std::vector<std::string_view> parts;
    SplitComponentsInto(value, count, pairedBytes, parts);
    return parts;
}

void SplitComponentsInto(std::string_view value, size_t count, bool pairedBytes, std::vector<std::string_view>& parts) {
    parts.clear();
    parts.reserve(count);
    size_t start = 0;
    size_t i = 0;
    while (i < value.size()) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == ';' && parts.size() + 1 < count) {
            parts.push_back(value.substr(start, i - start));
            start = ++i;
        } else if (c == '\\' || (pairedBytes && c >= 0x81)) {
            i += 2;  // an escape, or a double-byte character, is never split
        } else {
            ++i;
        }
    }
    parts.push_back(value.substr(std::min(start, value.size())));
}
