// The Linux side of the platform seam: iconv for code page 936, POSIX
// calls for files and directories.
#include "platform/platform.h"

#include <dirent.h>
#include <iconv.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

const PathChar PathSeparator = '/';

namespace {

// One converter per direction, opened on first use and kept: conversions
// happen on every keystroke of an import, and opening costs more than
// converting.
iconv_t Converter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    return cd;
}

iconv_t GbkToUtf16Converter() {
    static iconv_t cd = Converter("UTF-16LE", "CP936");
    return cd;
}

iconv_t Utf16ToGbkConverter() {
    static iconv_t cd = Converter("CP936", "UTF-16LE");
    return cd;
}

iconv_t GbkToUtf8Converter() {
    static iconv_t cd = Converter("UTF-8", "CP936");
    return cd;
}

iconv_t Utf8ToGbkConverter() {
    static iconv_t cd = Converter("CP936", "UTF-8");
    return cd;
}

// Runs iconv over the whole input; on a sequence it cannot convert it
// writes the replacement and skips `skip(in, left)` input bytes.
template <typename SkipFn>
std::string Convert(iconv_t cd, const char* in, size_t inLeft, const std::string& replacement, SkipFn skip) {
    std::string out;
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    char* inPtr = const_cast<char*>(in);
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (done != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: an invalid or cut-short sequence.
        out += replacement;
        size_t n = std::min(inLeft, skip(inPtr, inLeft));
        inPtr += n;
        inLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

size_t SkipGbkCharacter(const char* p, size_t left) {
    unsigned char lead = static_cast<unsigned char>(p[0]);
    if (lead >= 0x81 && lead <= 0xFE && left >= 2) {
        unsigned char trail = static_cast<unsigned char>(p[1]);
        if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) return 2;
    }
    return 1;
}

size_t SkipUtf16Character(const char* p, size_t left) {
    if (left < 2) return left;
    unsigned unit = static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8);
    if (unit >= 0xD800 && unit <= 0xDBFF && left >= 4) {
        unsigned next = static_cast<unsigned char>(p[2]) | (static_cast<unsigned char>(p[3]) << 8);
        if (next >= 0xDC00 && next <= 0xDFFF) return 4;
    }
    return 2;
}

size_t SkipUtf8Character(const char*, size_t) { return 1; }

}  // namespace

std::u16string GbkToUtf16(const std::string& gbk) {
    std::string bytes = Convert(GbkToUtf16Converter(), gbk.data(), gbk.size(), std::string("?\0", 2), SkipGbkCharacter);
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return units;
}

std::string Utf16ToGbk(const std::u16string& units) {
    std::string bytes(units.size() * 2, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return Convert(Utf16ToGbkConverter(), bytes.data(), bytes.size(), "?", SkipUtf16Character);
}

PathString PathFromGbk(const std::string& gbk) {
    return Convert(GbkToUtf8Converter(), gbk.data(), gbk.size(), "?", SkipGbkCharacter);
}

std::string PathToGbk(const PathString& path) {
    return Convert(Utf8ToGbkConverter(), path.data(), path.size(), "?", SkipUtf8Character);
}

PathString PathFromAscii(const char* ascii) { return ascii; }

std::string PathToUtf8(const PathString& path) { return path; }

PathString JoinPath(const PathString& directory, const PathString& name) {
    PathString path = directory;
    if (!path.empty() && path.back() != PathSeparator) path += PathSeparator;
    return path + name;
}

PathString CurrentDirectory() {
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return PathString();
    return buffer;
}

FILE* OpenFile(const PathString& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool IsDirectory(const PathString& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<PathString> ListFilesWithExtension(const PathString& directory, const char* extension) {
    std::vector<PathString> names;
    DIR* dir = opendir(directory.c_str());
    if (!dir) return names;
    size_t extensionLength = std::char_traits<char>::length(extension);
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() < extensionLength) continue;
        if (strcasecmp(name.c_str() + name.size() - extensionLength, extension) != 0) continue;
        struct stat info;
        if (stat(JoinPath(directory, name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

bool FlushToDisk(FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool ReplaceFileWith(const PathString& target, const PathString& source) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool RemoveFile(const PathString& path) { return std::remove(path.c_str()) == 0; }
