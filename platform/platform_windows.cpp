// The Windows side of the platform seam: code page 936 through the W API,
// UTF-16 paths, MoveFileEx for replacing a file.
#include "platform/platform.h"

#include "platform/gbk.h"

#include <windows.h>
#include <io.h>

#include <algorithm>

const PathChar PathSeparator = L'\\';

namespace {

const UINT GbkCodePage = 936;


// Converts one GBK character of one or two bytes; '?' when it has none.
void AppendGbkCharacter(std::u16string& out, const char* p, int length) {
    wchar_t unit[2];
    int n = MultiByteToWideChar(GbkCodePage, MB_ERR_INVALID_CHARS, p, length, unit, 2);
    if (n <= 0) {
        out += u'?';
        return;
    }
    out.append(reinterpret_cast<const char16_t*>(unit), n);
}

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
// Code page 936 writes U+F8F5 as the lone byte 0xFF, which is no GBK
// character and would read back as "?": write "?" at once.
const char16_t LoneByteFF = 0xF8F5;
bool IsConvertedByHand(char16_t unit) { return IsSurrogate(unit) || unit == LoneByteFF; }
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Converts characters that are all in the Basic Multilingual Plane. No
// best fit: a character without a GBK code is "?", never a look-alike
// such as "|" for the broken bar, which could change a file name's meaning.
void AppendGbkRun(std::string& out, const char16_t* units, size_t count) {
    if (count == 0) return;
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(units);
    int length = static_cast<int>(count);
    int n = WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, "?", nullptr);
    if (n <= 0) return;
    size_t start = out.size();
    out.resize(start + n);
    WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide, length, &out[start], n, "?", nullptr);
}

}  // namespace

// Converts character by character, so that a byte without a character
// becomes "?" exactly as the iconv side does, whatever the system's own
// replacement would be.
std::u16string GbkToUtf16(const std::string& gbk) {
    std::u16string out;
    out.reserve(gbk.size());
    size_t i = 0;
    while (i < gbk.size()) {
        unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
        } else if (IsGbkLead(b) && i + 1 < gbk.size() && IsGbkTrail(static_cast<unsigned char>(gbk[i + 1]))) {
            AppendGbkCharacter(out, gbk.data() + i, 2);
            i += 2;
        } else {
            AppendGbkCharacter(out, gbk.data() + i, 1);
            ++i;
        }
    }
    return out;
}

// A character outside the Basic Multilingual Plane (a surrogate pair)
// becomes one "?", as does a lone surrogate, whatever the system's own
// rule for them is, so that both sides of the seam agree.
std::string Utf16ToGbk(const std::u16string& units) {
    std::string out;
    out.reserve(units.size() * 2);
    size_t i = 0;
    while (i < units.size()) {
        size_t run = i;
        while (run < units.size() && !IsConvertedByHand(units[run])) ++run;
        AppendGbkRun(out, units.data() + i, run - i);
        if (run == units.size()) break;
        out += '?';
        bool pair = IsHighSurrogate(units[run]) && run + 1 < units.size() && IsLowSurrogate(units[run + 1]);
        i = run + (pair ? 2 : 1);
    }
    return out;
}

bool CodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out) {
    out.clear();
    if (!IsValidCodePage(codePage)) return false;
    if (bytes.empty()) return true;
    int length = static_cast<int>(bytes.size());
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, &wide[0], n);
    out.assign(wide.begin(), wide.end());
    return true;
}

PathString PathFromGbk(const std::string& gbk) {
    std::u16string units = GbkToUtf16(gbk);
    return PathString(units.begin(), units.end());
}

std::string PathToGbk(const PathString& path) { return Utf16ToGbk(std::u16string(path.begin(), path.end())); }

PathString PathFromAscii(const char* ascii) {
    PathString path;
    for (; *ascii; ++ascii) path += static_cast<wchar_t>(static_cast<unsigned char>(*ascii));
    return path;
}

std::string PathToUtf8(const PathString& path) {
    if (path.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), &out[0], n, nullptr, nullptr);
    return out;
}

PathString JoinPath(const PathString& directory, const PathString& name) {
    PathString path = directory;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += PathSeparator;
    return path + name;
}

PathString CurrentDirectory() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return PathString();
    PathString path(n, L'\0');
    n = GetCurrentDirectoryW(n, &path[0]);
    path.resize(n);
    return path;
}

FILE* OpenFile(const PathString& path, const char* mode) {
    wchar_t wideMode[8] = {};
    for (int i = 0; mode[i] && i < 7; ++i) wideMode[i] = static_cast<wchar_t>(mode[i]);
    return _wfopen(path.c_str(), wideMode);
}

bool IsDirectory(const PathString& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<PathString> ListFilesWithExtension(const PathString& directory, const char* extension) {
    std::vector<PathString> names;
    PathString pattern = JoinPath(directory, PathString(L"*") + PathFromAscii(extension));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    PathString wantedExtension = PathFromAscii(extension);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        PathString name = found.cFileName;
        // "*.vcf" also finds "a.vcfx" through short names: check the real one.
        if (name.size() < wantedExtension.size()) continue;
        if (_wcsicmp(name.c_str() + name.size() - wantedExtension.size(), wantedExtension.c_str()) != 0) continue;
        names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(),
              [](const PathString& a, const PathString& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

bool FlushToDisk(FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

// Windows refuses to replace a read-only file, but Wine lets the move
// through: asking first keeps a read-only book unchanged on both.
bool ReplaceFileWith(const PathString& target, const PathString& source) {
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const PathString& path) { return DeleteFileW(path.c_str()) != 0; }
