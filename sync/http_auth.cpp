#include "sync/http_auth.h"

#include <cstdio>
#include <cstring>

#include "store/text_operations.h"

namespace {

// MD5 as RFC 1321 gives it: 64-byte blocks, four rounds of sixteen steps.
const uint32_t Md5Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
const int Md5Shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

uint32_t RotateLeft(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

void Md5Block(uint32_t state[4], const unsigned char* block) {
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
        words[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 | uint32_t(block[i * 4 + 2]) << 16 |
                   uint32_t(block[i * 4 + 3]) << 24;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int step = 0; step < 64; ++step) {
        int round = step / 16;
        uint32_t mixed;
        int word;
        switch (round) {
        case 0: mixed = (b & c) | (~b & d); word = step; break;
        case 1: mixed = (d & b) | (~d & c); word = (5 * step + 1) % 16; break;
        case 2: mixed = b ^ c ^ d; word = (3 * step + 5) % 16; break;
        default: mixed = c ^ (b | ~d); word = (7 * step) % 16; break;
        }
        uint32_t next = b + RotateLeft(a + mixed + Md5Sines[step] + words[word], Md5Shifts[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

// The parameters of one challenge: name (lower case) and value, unquoted.
struct AuthParameter {
    std::string name;
    std::string value;
};
struct Challenge {
    std::string scheme;
    std::vector<AuthParameter> parameters;
};

bool IsTokenChar(char c) {
    return c > ' ' && c != ',' && c != '=' && c != '"' && c != ';' && static_cast<unsigned char>(c) < 0x7f;
}

void SkipSpaceAndCommas(const std::string& text, size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == ',')) ++at;
}

std::string ReadToken(const std::string& text, size_t& at) {
    size_t start = at;
    while (at < text.size() && IsTokenChar(text[at])) ++at;
    return text.substr(start, at - start);
}

std::string ReadValue(const std::string& text, size_t& at) {
    if (at >= text.size() || text[at] != '"') return ReadToken(text, at);
    std::string value;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        value += text[at];
    }
    if (at < text.size()) ++at;
    return value;
}

// "Basic realm=\"a\", Digest realm=\"b\", nonce=\"c\"": a new challenge
// starts at a token that no '=' follows.
void ReadChallenges(const std::string& text, std::vector<Challenge>& challenges) {
    size_t at = 0;
    while (at < text.size()) {
        SkipSpaceAndCommas(text, at);
        size_t start = at;
        std::string token = ReadToken(text, at);
        if (token.empty()) {
            if (at == start) ++at;  // a stray character
            continue;
        }
        size_t afterToken = at;
        while (at < text.size() && text[at] == ' ') ++at;
        if (at < text.size() && text[at] == '=' && !challenges.empty()) {
            ++at;
            while (at < text.size() && text[at] == ' ') ++at;
            challenges.back().parameters.push_back({AsciiLowerCase(token), ReadValue(text, at)});
        } else {
            at = afterToken;
            challenges.push_back({token, {}});
        }
    }
}

std::string ParameterOf(const Challenge& challenge, const char* name) {
    for (const AuthParameter& parameter : challenge.parameters) {
        if (parameter.name == name) return parameter.value;
    }
    return std::string();
}

bool OffersAuth(const std::string& qop) {
    size_t at = 0;
    while (at <= qop.size()) {
        size_t end = qop.find(',', at);
        if (end == std::string::npos) end = qop.size();
        if (SameNoCase(TrimWhiteSpace(std::string_view(qop).substr(at, end - at)), "auth")) return true;
        at = end + 1;
    }
    return false;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

bool ReadNumber(const std::string& text, size_t& at, size_t digits, int& value) {
    if (at + digits > text.size()) return false;
    value = 0;
    for (size_t i = 0; i < digits; ++i) {
        char c = text[at + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    at += digits;
    return true;
}

int MonthNumber(const std::string& text, size_t at) {
    static const char Months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (at + 3 > text.size()) return 0;
    for (int month = 0; month < 12; ++month) {
        if (text.compare(at, 3, Months + month * 3, 3) == 0) return month + 1;
    }
    return 0;
}

bool Expect(const std::string& text, size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

// "08:49:37"
bool ReadClock(const std::string& text, size_t& at, int& hour, int& minute, int& second) {
    return ReadNumber(text, at, 2, hour) && Expect(text, at, ':') && ReadNumber(text, at, 2, minute) &&
           Expect(text, at, ':') && ReadNumber(text, at, 2, second) && hour < 24 && minute < 60 && second <= 60;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysSinceEpoch(int year, int month, int day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::string Md5Hex(const std::string& bytes) {
    uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    size_t whole = bytes.size() / 64 * 64;
    for (size_t at = 0; at < whole; at += 64) Md5Block(state, reinterpret_cast<const unsigned char*>(bytes.data() + at));
    // The last bytes, a 1 bit, zeros, and the length in bits.
    unsigned char tail[128] = {};
    size_t left = bytes.size() - whole;
    std::memcpy(tail, bytes.data() + whole, left);
    tail[left] = 0x80;
    size_t tailSize = left < 56 ? 64 : 128;
    uint64_t bits = uint64_t(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 8 + i] = static_cast<unsigned char>(bits >> (8 * i));
    for (size_t at = 0; at < tailSize; at += 64) Md5Block(state, tail + at);
    char hex[33];
    for (int i = 0; i < 16; ++i) std::snprintf(hex + i * 2, 3, "%02x", (state[i / 4] >> (8 * (i % 4))) & 0xff);
    return std::string(hex, 32);
}

bool FindDigestChallenge(const std::vector<HttpHeader>& headers, DigestChallenge& found) {
    for (const HttpHeader& header : headers) {
        if (!SameNoCase(header.name, "WWW-Authenticate")) continue;
        std::vector<Challenge> challenges;
        ReadChallenges(header.value, challenges);
        for (const Challenge& challenge : challenges) {
            if (!SameNoCase(challenge.scheme, "Digest")) continue;
            std::string algorithm = ParameterOf(challenge, "algorithm");
            if (algorithm.empty()) algorithm = "MD5";
            if (!SameNoCase(algorithm, "MD5") && !SameNoCase(algorithm, "MD5-sess")) continue;
            std::string nonce = ParameterOf(challenge, "nonce");
            if (nonce.empty()) continue;
            found = DigestChallenge();
            found.realm = ParameterOf(challenge, "realm");
            found.nonce = nonce;
            found.opaque = ParameterOf(challenge, "opaque");
            found.algorithm = SameNoCase(algorithm, "MD5-sess") ? "MD5-sess" : "MD5";
            found.qopAuth = OffersAuth(ParameterOf(challenge, "qop"));
            found.stale = SameNoCase(ParameterOf(challenge, "stale"), "true");
            return true;
        }
    }
    return false;
}

std::string DigestAuthorization(DigestChallenge& challenge, const std::string& user, const std::string& password,
                                const std::string& method, const std::string& uri, const std::string& clientNonce) {
    std::string secret = Md5Hex(user + ":" + challenge.realm + ":" + password);
    if (challenge.algorithm == "MD5-sess") secret = Md5Hex(secret + ":" + challenge.nonce + ":" + clientNonce);
    std::string request = Md5Hex(method + ":" + uri);
    char count[9];
    std::snprintf(count, sizeof count, "%08x", ++challenge.nonceCount);
    std::string response = challenge.qopAuth
                               ? Md5Hex(secret + ":" + challenge.nonce + ":" + count + ":" + clientNonce + ":auth:" + request)
                               : Md5Hex(secret + ":" + challenge.nonce + ":" + request);
    std::string value = "Digest username=" + Quoted(user) + ", realm=" + Quoted(challenge.realm) +
                        ", nonce=" + Quoted(challenge.nonce) + ", uri=" + Quoted(uri) + ", algorithm=" +
                        challenge.algorithm + ", response=\"" + response + "\"";
    if (challenge.qopAuth) value += std::string(", qop=auth, nc=") + count + ", cnonce=" + Quoted(clientNonce);
    if (!challenge.opaque.empty()) value += ", opaque=" + Quoted(challenge.opaque);
    return value;
}

bool ParseHttpDate(const std::string& text, int64_t& seconds) {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    size_t comma = text.find(',');
    size_t at = 0;
    if (comma != std::string::npos && comma + 1 < text.size() && text[comma + 1] == ' ') {
        at = comma + 2;
        if (!ReadNumber(text, at, 2, day)) return false;
        bool dashed = at < text.size() && text[at] == '-';
        if (!Expect(text, at, dashed ? '-' : ' ') || (month = MonthNumber(text, at)) == 0) return false;
        at += 3;
        if (!Expect(text, at, dashed ? '-' : ' ')) return false;
        if (dashed) {
            // Two digits of year: the nearest year that is not in the future by 50 years.
            if (!ReadNumber(text, at, 2, year)) return false;
            year += year < 70 ? 2000 : 1900;
        } else if (!ReadNumber(text, at, 4, year)) {
            return false;
        }
        if (!Expect(text, at, ' ') || !ReadClock(text, at, hour, minute, second)) return false;
        if (text.compare(at, std::string::npos, " GMT") != 0) return false;
    } else {
        // asctime: "Sun Nov  6 08:49:37 1994"
        if (text.size() != 24 || text[3] != ' ' || (month = MonthNumber(text, 4)) == 0 || text[7] != ' ') return false;
        at = 8;
        if (text[at] == ' ') {
            ++at;
            if (!ReadNumber(text, at, 1, day)) return false;
        } else if (!ReadNumber(text, at, 2, day)) {
            return false;
        }
        if (!Expect(text, at, ' ') || !ReadClock(text, at, hour, minute, second) || !Expect(text, at, ' ') ||
            !ReadNumber(text, at, 4, year)) {
            return false;
        }
    }
    if (day < 1 || day > 31) return false;
    seconds = DaysSinceEpoch(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}
