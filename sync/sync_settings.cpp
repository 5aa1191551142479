// The synchronisation settings of a book, in a small text file beside it:
// one "key=value" line per setting, UTF-8 as the server takes them, CR LF.
// Written whole beside the old file and then put in its place. A damaged
// file (too large, not UTF-8, a line without "=", a setting given twice)
// is refused whole, never half read.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "store/safe_file.h"
#include "sync/sync_engine.h"

namespace {

const char BookExtension[] = ".txl";
const char SettingsExtension[] = ".sync.ini";

// Each setting's key in the file, in the order written.
struct SettingKey {
    const char* key;
    std::string SyncSettings::*value;
};
const SettingKey SettingKeys[] = {
    {"server", &SyncSettings::serverUrl},
    {"user", &SyncSettings::user},
    {"book", &SyncSettings::bookUrl},
    {"protected_password", &SyncSettings::protectedPassword},
};
const int SettingCount = sizeof SettingKeys / sizeof SettingKeys[0];

// Far more than four addresses and a password take; a larger file is not ours.
const size_t MaxSettingsFileBytes = 64 * 1024;
const size_t MaxValueBytes = 8 * 1024;

PathChar LowerAscii(PathChar c) { return c >= 'A' && c <= 'Z' ? static_cast<PathChar>(c - 'A' + 'a') : c; }

bool EndsWithBookExtension(const PathString& path) {
    const size_t length = sizeof BookExtension - 1;
    if (path.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (LowerAscii(path[path.size() - length + i]) != static_cast<PathChar>(BookExtension[i])) return false;
    }
    return true;
}

// A value the file can hold and give back unchanged: UTF-8 on one line.
bool StorableValue(const std::string& value) {
    if (value.size() > MaxValueBytes || !IsValidUtf8(value)) return false;
    for (char c : value) {
        if (c == '\0' || c == '\r' || c == '\n') return false;
    }
    return true;
}

// The position of a key in SettingKeys; -1 for a key this version does not know.
int SettingIndex(const std::string& key) {
    for (int i = 0; i < SettingCount; ++i) {
        if (key == SettingKeys[i].key) return i;
    }
    return -1;
}

// The password is kept as Base64 of the encrypted bytes, nothing else.
bool IsBase64(const std::string& text) {
    for (char c : text) {
        bool digit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                     c == '/' || c == '=';
        if (!digit) return false;
    }
    return true;
}

// Every value can be written and read back unchanged.
bool StorableSettings(const SyncSettings& settings) {
    for (const SettingKey& setting : SettingKeys) {
        if (!StorableValue(settings.*setting.value)) return false;
    }
    return IsBase64(settings.protectedPassword);
}

// The whole file, or false when it cannot be read or is too large to be ours.
bool ReadSmallFile(const PathString& path, std::string& bytes) {
    if (IsDirectory(path)) return false;
    FILE* file = OpenFile(path, "rb");
    if (!file) return false;
    char buffer[4096];
    size_t count;
    bool fits = true;
    while (fits && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
        fits = bytes.size() <= MaxSettingsFileBytes;
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return fits && !failed;
}

// Reads the lines into `settings`; false at the first line that is damaged.
bool ParseSettings(const std::string& bytes, SyncSettings& settings) {
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a BOM an editor may have added
    bool seen[SettingCount] = {};
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos) return false;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (!StorableValue(key) || !StorableValue(value)) return false;
        int index = SettingIndex(key);
        if (index < 0) continue;  // written by a later version: left out, not refused
        if (seen[index]) return false;  // two values for one setting: which is meant is unknown
        seen[index] = true;
        settings.*SettingKeys[index].value = value;
    }
    return StorableSettings(settings);
}

void AppendLine(std::string& out, const char* key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

}  // namespace

PathString SyncSettingsPath(const PathString& bookPath) {
    PathString stem = bookPath;
    if (EndsWithBookExtension(stem)) stem.resize(stem.size() - (sizeof BookExtension - 1));
    return stem + PathFromAscii(SettingsExtension);
}

bool ReadSyncSettings(const PathString& bookPath, SyncSettings& settings) {
    settings = SyncSettings{};
    std::string bytes;
    if (bookPath.empty() || !ReadSmallFile(SyncSettingsPath(bookPath), bytes)) return false;
    SyncSettings read;
    if (!ParseSettings(bytes, read)) return false;
    settings = read;
    return true;
}

bool WriteSyncSettings(const PathString& bookPath, const SyncSettings& settings) {
    if (bookPath.empty() || !StorableSettings(settings)) return false;
    std::string out;
    for (const SettingKey& setting : SettingKeys) AppendLine(out, setting.key, settings.*setting.value);
    return WriteFileReplacing(SyncSettingsPath(bookPath), out);
}
