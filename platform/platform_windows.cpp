// The Windows side of the platform seam: code pages through the W API,
// UTF-16 paths, MoveFileEx for replacing a file.
#include "platform/platform.h"

#include <windows.h>
#include <io.h>

#include <algorithm>

const PathChar PathSeparator = L'\\';

bool SystemCodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out) {
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
