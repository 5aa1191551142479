// The Linux side of the platform seam: iconv for code pages, POSIX
// calls for files and directories.
#include "platform/platform.h"

#include "platform/gb18030.h"

#include <dirent.h>
#include <iconv.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

const PathChar PathSeparator = '/';

namespace {

// What takes the place of input iconv cannot convert: the bytes to write
// and how many input bytes they stand for.
struct Fallback {
    std::string bytes;
    size_t consumed;
};

// Runs iconv over the whole input; at a sequence it cannot convert it
// writes what `fallback(in, left)` gives and skips the input it consumed.
template <typename FallbackFn>
std::string Convert(iconv_t cd, const char* in, size_t inLeft, FallbackFn fallback) {
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
        // EILSEQ or EINVAL: an invalid, unmappable or cut-short sequence.
        Fallback replacement = fallback(inPtr, inLeft);
        out += replacement.bytes;
        size_t n = std::min(inLeft, std::max<size_t>(replacement.consumed, 1));
        inPtr += n;
        inLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

char16_t Utf16LeUnit(const char* p) {
    return static_cast<char16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
}

std::u16string BytesToUtf16(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = Utf16LeUnit(bytes.data() + 2 * i);
    return units;
}

// The iconv names of the Windows code pages a vCard may name.
struct CodePageName {
    unsigned codePage;
    const char* iconvName;
};
const CodePageName IconvCodePages[] = {
    {932, "CP932"},          {949, "CP949"},        {950, "BIG5"},          
    {20932, "EUC-JP"},       {51949, "EUC-KR"},     {50220, "ISO-2022-JP"}, {20866, "KOI8-R"},
    {20127, "US-ASCII"},     {28591, "ISO-8859-1"}, {28592, "ISO-8859-2"},  {28595, "ISO-8859-5"},
    {28597, "ISO-8859-7"},   {28605, "ISO-8859-15"}, {1250, "CP1250"},      {1251, "CP1251"},
    {1252, "CP1252"},        {1253, "CP1253"},      {1254, "CP1254"},       {1257, "CP1257"},
    {874, "CP874"},
};

const size_t IconvCodePageCount = sizeof IconvCodePages / sizeof IconvCodePages[0];

// Opened on first use and kept, like the converters above.
iconv_t ConverterFromCodePage(unsigned codePage) {
    static iconv_t opened[IconvCodePageCount];
    static bool tried[IconvCodePageCount];
    for (size_t i = 0; i < IconvCodePageCount; ++i) {
        if (IconvCodePages[i].codePage != codePage) continue;
        if (!tried[i]) {
            opened[i] = iconv_open("UTF-16LE", IconvCodePages[i].iconvName);
            tried[i] = true;
        }
        return opened[i];
    }
    return reinterpret_cast<iconv_t>(-1);
}

}  // namespace

bool SystemCodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out) {
    out.clear();
    iconv_t cd = ConverterFromCodePage(codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    const std::string replacement("\xFD\xFF", 2);
    out = BytesToUtf16(Convert(cd, bytes.data(), bytes.size(),
                               [&](const char*, size_t) { return Fallback{replacement, 1}; }));
    return true;
}

// Paths are UTF-8; a byte of a name that is no UTF-8 reads as U+FFFD.
PathString PathFromGbk(const std::string& gbk) { return Gb18030ToUtf8(gbk); }

std::string PathToGbk(const PathString& path) { return Utf8ToGb18030(path); }

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

// A rename replaces any file its folder allows; a file its owner may not
// write is kept, as Windows keeps a read-only one.
bool ReplaceFileWith(const PathString& target, const PathString& source) {
    struct stat status;
    if (stat(target.c_str(), &status) == 0 && !(status.st_mode & S_IWUSR)) return false;
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool RemoveFile(const PathString& path) { return std::remove(path.c_str()) == 0; }
