#include "random_books.h"

#include <cstring>
#include <limits>

namespace {

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

int Below(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

int32_t AnyInt32(std::mt19937& random) {
    const int32_t edges[] = {0, 1, -1, 2, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    if (Below(random, 2) == 0) return edges[Below(random, 6)];
    return static_cast<int32_t>(random());
}

// One piece of text: an ASCII letter, a double-byte character, or a byte
// that GBK cannot pair (a lone lead byte, 0x80, 0xFF, anything).
std::string RandomPiece(std::mt19937& random) {
    switch (Below(random, 5)) {
    case 0:
    case 1: return std::string(1, static_cast<char>(0x20 + Below(random, 0x5F)));
    case 2: {
        unsigned char trail;
        do trail = static_cast<unsigned char>(0x40 + Below(random, 0xBF)); while (!IsTrail(trail));
        return {static_cast<char>(0x81 + Below(random, 0x7E)), static_cast<char>(trail)};
    }
    case 3: return std::string(1, static_cast<char>(0x81 + Below(random, 0x7E)));
    default: return std::string(1, static_cast<char>(1 + Below(random, 255)));
    }
}

// Fills `width` bytes: empty, short, just fitting, or full without a
// terminator; after a terminator come zeros or junk.
void FillRandomly(char* field, size_t width, std::mt19937& random) {
    size_t length = 0;
    switch (Below(random, 4)) {
    case 0: length = 0; break;
    case 1: length = 1 + Below(random, static_cast<int>(width)); break;
    case 2: length = width - 1; break;
    default: length = width; break;
    }
    std::string bytes;
    while (bytes.size() < length) bytes += RandomPiece(random);
    bytes.resize(length);
    if (bytes.size() < width) {
        bytes += '\0';
        bool junk = Below(random, 2) == 0;
        while (bytes.size() < width) bytes += junk ? static_cast<char>(random()) : '\0';
    }
    std::memcpy(field, bytes.data(), width);
}

}  // namespace

ContactRecord RandomRecord(std::mt19937& random) {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) FillRandomly(FieldText(record, info.field), info.width, random);
    }
    record.Gender = AnyInt32(random);
    record.GroupIndex = AnyInt32(random);
    record.CheckFlag = AnyInt32(random);
    record.ShownFlag = AnyInt32(random);
    return record;
}

Group RandomGroup(std::mt19937& random) {
    Group group;
    FillRandomly(group.name, GroupNameWidth, random);
    return group;
}

Document RandomBook(uint32_t seed, int records) {
    std::mt19937 random(seed);
    Document document;
    int groups = Below(random, 8);
    for (int g = 0; g < groups; ++g) document.groups.groups.push_back(RandomGroup(random));
    for (int n = 0; n < records; ++n) AppendRecord(document.contacts, RandomRecord(random));
    return document;
}

std::string KeptText(const char* bytes, size_t width) {
    size_t length = 0;
    while (length < width && bytes[length] != '\0') ++length;
    size_t kept = 0;
    while (kept < length) {
        size_t step = IsLead(bytes[kept]) && kept + 1 < length && IsTrail(bytes[kept + 1]) ? 2 : 1;
        bool fourBytes = IsLead(bytes[kept]) && kept + 3 < length && bytes[kept + 1] >= '0' && bytes[kept + 1] <= '9' &&
                         IsLead(bytes[kept + 2]) && bytes[kept + 3] >= '0' && bytes[kept + 3] <= '9';
        if (fourBytes) step = 4;
        if (kept + step > width - 1) break;
        kept += step;
    }
    return std::string(bytes, kept);
}
