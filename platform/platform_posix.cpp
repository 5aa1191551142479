// The Linux side of the platform seam: iconv for code page 936, POSIX
// calls for files and directories.
#include "platform/platform.h"

#include "platform/gbk.h"

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

// Code page 936 gives the user-defined areas of GBK, and the codes it
// leaves unassigned, the private-use characters U+E000 to U+E864 in this
// order; iconv's CP936 leaves them out. Names with self-made characters
// (typed with the system's character editor) must survive both ways.
struct PrivateUseRun {
    unsigned char lead;
    unsigned char firstTrail;
    unsigned char lastTrail;
};

const char16_t FirstPrivateUse = 0xE000;

const PrivateUseRun PrivateUseRuns[] = {
    {0xAA, 0xA1, 0xFE}, {0xAB, 0xA1, 0xFE}, {0xAC, 0xA1, 0xFE}, {0xAD, 0xA1, 0xFE}, {0xAE, 0xA1, 0xFE},
    {0xAF, 0xA1, 0xFE}, {0xF8, 0xA1, 0xFE}, {0xF9, 0xA1, 0xFE}, {0xFA, 0xA1, 0xFE}, {0xFB, 0xA1, 0xFE},
    {0xFC, 0xA1, 0xFE}, {0xFD, 0xA1, 0xFE}, {0xFE, 0xA1, 0xFE}, {0xA1, 0x40, 0x7E}, {0xA1, 0x80, 0xA0},
    {0xA2, 0x40, 0x7E}, {0xA2, 0x80, 0xA0}, {0xA3, 0x40, 0x7E}, {0xA3, 0x80, 0xA0}, {0xA4, 0x40, 0x7E},
    {0xA4, 0x80, 0xA0}, {0xA5, 0x40, 0x7E}, {0xA5, 0x80, 0xA0}, {0xA6, 0x40, 0x7E}, {0xA6, 0x80, 0xA0},
    {0xA7, 0x40, 0x7E}, {0xA7, 0x80, 0xA0}, {0xA2, 0xAB, 0xB0}, {0xA2, 0xE3, 0xE4}, {0xA2, 0xEF, 0xF0},
    {0xA2, 0xFD, 0xFE}, {0xA4, 0xF4, 0xFE}, {0xA5, 0xF7, 0xFE}, {0xA6, 0xB9, 0xC0}, {0xA6, 0xD9, 0xDF},
    {0xA6, 0xEC, 0xED}, {0xA6, 0xF3, 0xF3}, {0xA6, 0xF6, 0xFE}, {0xA7, 0xC2, 0xD0}, {0xA7, 0xF2, 0xFE},
    {0xA8, 0x96, 0xA0}, {0xA8, 0xBC, 0xBC}, {0xA8, 0xBF, 0xBF}, {0xA8, 0xC1, 0xC4}, {0xA8, 0xEA, 0xFE},
    {0xA9, 0x58, 0x58}, {0xA9, 0x5B, 0x5B}, {0xA9, 0x5D, 0x5F}, {0xA9, 0x89, 0x95}, {0xA9, 0x97, 0xA3},
    {0xA9, 0xF0, 0xFE}, {0xD7, 0xFA, 0xFE}, {0xFE, 0x50, 0x7E}, {0xFE, 0x80, 0xA0},
};

// The private-use character of a two-byte code, or 0 when it has none.
char16_t PrivateUseOfGbk(unsigned char lead, unsigned char trail) {
    unsigned next = FirstPrivateUse;
    for (const PrivateUseRun& run : PrivateUseRuns) {
        if (lead == run.lead && trail >= run.firstTrail && trail <= run.lastTrail) {
            return static_cast<char16_t>(next + (trail - run.firstTrail));
        }
        next += run.lastTrail - run.firstTrail + 1;
    }
    return 0;
}

// The two-byte code of a private-use character; empty when it has none.
std::string GbkOfPrivateUse(char16_t unit) {
    if (unit < FirstPrivateUse) return std::string();
    unsigned offset = unit - FirstPrivateUse;
    for (const PrivateUseRun& run : PrivateUseRuns) {
        unsigned length = run.lastTrail - run.firstTrail + 1u;
        if (offset < length) {
            return std::string{static_cast<char>(run.lead), static_cast<char>(run.firstTrail + offset)};
        }
        offset -= length;
    }
    return std::string();
}

// One converter per direction, opened on first use and kept: conversions
// happen for every line of an import, and opening costs more than
// converting.
iconv_t GbkToUtf16Converter() {
    static iconv_t cd = iconv_open("UTF-16LE", "CP936");
    return cd;
}

iconv_t Utf16ToGbkConverter() {
    static iconv_t cd = iconv_open("CP936", "UTF-16LE");
    return cd;
}

iconv_t Utf16ToUtf8Converter() {
    static iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    return cd;
}

iconv_t Utf8ToUtf16Converter() {
    static iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    return cd;
}

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

const std::string Utf16Question("?\0", 2);

std::string Utf16LeBytes(char16_t unit) {
    return std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
}

char16_t Utf16LeUnit(const char* p) {
    return static_cast<char16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A GBK character without a Unicode one: its private-use character when
// it has one, else one "?" for the whole (one- or two-byte) character.
Fallback GbkFallback(const char* p, size_t left) {
    unsigned char lead = static_cast<unsigned char>(p[0]);
    if (IsGbkLead(lead) && left >= 2) {
        unsigned char trail = static_cast<unsigned char>(p[1]);
        if (IsGbkTrail(trail)) {
            char16_t unit = PrivateUseOfGbk(lead, trail);
            return {unit ? Utf16LeBytes(unit) : Utf16Question, 2};
        }
    }
    return {Utf16Question, 1};
}

// A UTF-16 character GBK cannot spell: the user-defined code of a
// private-use character, else one "?" (also for a whole surrogate pair).
Fallback Utf16Fallback(const char* p, size_t left) {
    if (left < 2) return {"?", left};
    char16_t unit = Utf16LeUnit(p);
    if (IsHighSurrogate(unit) && left >= 4 && IsLowSurrogate(Utf16LeUnit(p + 2))) return {"?", 4};
    std::string code = GbkOfPrivateUse(unit);
    return {code.empty() ? "?" : code, 2};
}

std::string Utf16ToBytes(const std::u16string& units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) bytes += Utf16LeBytes(unit);
    return bytes;
}

std::u16string BytesToUtf16(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = Utf16LeUnit(bytes.data() + 2 * i);
    return units;
}

std::u16string SlowGbkToUtf16(const std::string& gbk) {
    return BytesToUtf16(Convert(GbkToUtf16Converter(), gbk.data(), gbk.size(), GbkFallback));
}

std::string SlowUtf16ToGbk(const std::u16string& units) {
    std::string bytes = Utf16ToBytes(units);
    return Convert(Utf16ToGbkConverter(), bytes.data(), bytes.size(), Utf16Fallback);
}

// Every double-byte code converted once through iconv and kept in two
// tables, so that a conversion is a lookup per character: imports
// convert every value, and iconv's walk cost most of their time. Bytes
// and characters the tables do not hold take the slow way, so the
// results are exactly iconv's and the fallbacks' above.
const int Leads = GbkLastLead - GbkFirstLead + 1;
const int Trails = GbkLastTrail - GbkFirstTrail + 1;

struct GbkTables {
    char16_t unicodeOf[Leads][Trails];  // 0 for a byte pair that is no character
    // What a character is written as: a two-byte code (lead << 8 | trail),
    // a single byte below 0x100 ("?" for none), 0 when not yet known.
    uint16_t gbkOf[0x10000];
};

uint16_t CodeOf(const std::string& gbk) {
    if (gbk.size() == 2) return static_cast<uint16_t>(static_cast<unsigned char>(gbk[0]) << 8 | static_cast<unsigned char>(gbk[1]));
    return gbk.size() == 1 ? static_cast<unsigned char>(gbk[0]) : '?';
}

GbkTables& Tables() {
    static GbkTables* tables = [] {
        auto* t = new GbkTables();  // kept for the whole run
        std::string codes;
        for (int lead = GbkFirstLead; lead <= GbkLastLead; ++lead) {
            for (int trail = GbkFirstTrail; trail <= GbkLastTrail; ++trail) {
                if (!IsGbkTrail(trail)) continue;
                codes += static_cast<char>(lead);
                codes += static_cast<char>(trail);
            }
        }
        std::u16string units = SlowGbkToUtf16(codes);
        if (units.size() * 2 != codes.size()) return t;  // no tables: everything takes the slow way
        std::vector<uint8_t> given(0x10000);
        for (size_t i = 0; i < units.size(); ++i) {
            int lead = static_cast<unsigned char>(codes[2 * i]);
            int trail = static_cast<unsigned char>(codes[2 * i + 1]);
            char16_t unit = units[i];
            if (unit == u'?') continue;
            t->unicodeOf[lead - GbkFirstLead][trail - GbkFirstTrail] = unit;
            t->gbkOf[unit] = static_cast<uint16_t>(lead << 8 | trail);
            if (given[unit] < 2) ++given[unit];
        }
        // A character that several codes give is written as iconv writes it.
        for (int unit = 0x80; unit < 0x10000; ++unit) {
            if (given[unit] > 1) t->gbkOf[unit] = CodeOf(SlowUtf16ToGbk(std::u16string(1, static_cast<char16_t>(unit))));
        }
        return t;
    }();
    return *tables;
}

}  // namespace

std::u16string GbkToUtf16(const std::string& gbk) {
    const GbkTables& tables = Tables();
    std::u16string out;
    out.reserve(gbk.size());
    for (size_t i = 0; i < gbk.size();) {
        unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        if (i + 1 < gbk.size() && IsGbkLead(b)) {
            unsigned char trail = static_cast<unsigned char>(gbk[i + 1]);
            if (IsGbkTrail(trail)) {
                char16_t unit = tables.unicodeOf[b - GbkFirstLead][trail - GbkFirstTrail];
                out += unit != 0 ? unit : SlowGbkToUtf16(gbk.substr(i, 2))[0];
                i += 2;
                continue;
            }
        }
        out += SlowGbkToUtf16(gbk.substr(i, 1));
        ++i;
    }
    return out;
}

std::string Utf16ToGbk(const std::u16string& units) {
    GbkTables& tables = Tables();
    std::string out;
    out.reserve(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t unit = units[i];
        if (unit < 0x80) {
            out += static_cast<char>(unit);
            continue;
        }
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            // A surrogate pair goes the slow way as a whole.
            bool pair = IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]);
            out += SlowUtf16ToGbk(units.substr(i, pair ? 2 : 1));
            if (pair) ++i;
            continue;
        }
        uint16_t& code = tables.gbkOf[unit];
        if (code == 0) code = CodeOf(SlowUtf16ToGbk(std::u16string(1, unit)));  // learnt once
        if (code >= 0x100) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

namespace {

// The iconv names of the Windows code pages a vCard may name.
struct CodePageName {
    unsigned codePage;
    const char* iconvName;
};
const CodePageName IconvCodePages[] = {
    {932, "CP932"},          {949, "CP949"},        {950, "BIG5"},          {54936, "GB18030"},
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

bool CodePageToUtf16(unsigned codePage, const std::string& bytes, std::u16string& out) {
    out.clear();
    iconv_t cd = ConverterFromCodePage(codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    const std::string replacement("\xFD\xFF", 2);
    out = BytesToUtf16(Convert(cd, bytes.data(), bytes.size(),
                               [&](const char*, size_t) { return Fallback{replacement, 1}; }));
    return true;
}

// Paths go through UTF-16 so that they follow exactly the rules above.
PathString PathFromGbk(const std::string& gbk) {
    std::string bytes = Utf16ToBytes(GbkToUtf16(gbk));
    return Convert(Utf16ToUtf8Converter(), bytes.data(), bytes.size(), [](const char*, size_t left) {
        return Fallback{"?", std::min<size_t>(left, 2)};
    });
}

std::string PathToGbk(const PathString& path) {
    std::string bytes = Convert(Utf8ToUtf16Converter(), path.data(), path.size(),
                                [](const char*, size_t) { return Fallback{Utf16Question, 1}; });
    return Utf16ToGbk(BytesToUtf16(bytes));
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

// A rename replaces any file its folder allows; a file its owner may not
// write is kept, as Windows keeps a read-only one.
bool ReplaceFileWith(const PathString& target, const PathString& source) {
    struct stat status;
    if (stat(target.c_str(), &status) == 0 && !(status.st_mode & S_IWUSR)) return false;
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool RemoveFile(const PathString& path) { return std::remove(path.c_str()) == 0; }
