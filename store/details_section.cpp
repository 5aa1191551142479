#include "store/details_section.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace {

const size_t TagSize = 4;

void PutText(std::string& out, const std::string& text) {
    PutInt32(out, static_cast<int32_t>(text.size()));
    out += text;
}

std::string ContactPart(const ContactDetails& details) {
    std::string part;
    PutText(part, details.id);
    PutInt32(part, static_cast<int32_t>(details.wholes.size()));
    for (const auto& whole : details.wholes) {
        PutInt32(part, whole.first);
        PutText(part, whole.second);
    }
    PutInt32(part, static_cast<int32_t>(details.items.size()));
    for (const ContactItem& item : details.items) {
        std::string body;
        PutText(body, item.label);
        PutInt32(body, static_cast<int32_t>(item.parts.size()));
        for (const std::string& text : item.parts) PutText(body, text);
        PutInt32(part, static_cast<int32_t>(item.kind));
        PutInt32(part, static_cast<int32_t>(body.size()));
        part += body;
    }
    return part;
}

// Reads a contact's part from its bytes; every length is checked against
// what is left.
struct PartReader {
    const unsigned char* bytes;
    size_t size;
    size_t at = 0;
    bool ok = true;

    int32_t Int() {
        if (!ok || size - at < 4) return ok = false, 0;
        int32_t value = GetInt32(bytes + at);
        at += 4;
        return value;
    }
    // A count of entries each at least min bytes long.
    int32_t Count(size_t min) {
        int32_t count = Int();
        if (count < 0 || static_cast<size_t>(count) > (size - at) / min) ok = false;
        return ok ? count : 0;
    }
    std::string Text() {
        int32_t length = Int();
        if (!ok || length < 0 || static_cast<size_t>(length) > size - at) return ok = false, std::string();
        std::string text(reinterpret_cast<const char*>(bytes + at), length);
        at += length;
        // The texts are C strings everywhere else.
        if (text.find('\0') != std::string::npos) ok = false;
        return text;
    }
};

bool ReadItem(PartReader& reader, int32_t kind, ContactDetails& details) {
    int32_t size = reader.Int();
    if (!reader.ok || size < 0 || static_cast<size_t>(size) > reader.size - reader.at) return false;
    PartReader body{reader.bytes + reader.at, static_cast<size_t>(size)};
    reader.at += size;
    if (kind < 0) return false;
    if (kind >= ItemKindCount) return true;  // a later version's kind
    ContactItem item;
    item.kind = static_cast<ItemKind>(kind);
    item.label = body.Text();
    int32_t count = body.Count(4);
    if (!body.ok || count != ItemPartCount(item.kind)) return false;
    for (int32_t i = 0; i < count; ++i) item.parts.push_back(body.Text());
    if (!body.ok) return false;
    details.items.push_back(std::move(item));
    return true;
}

bool ReadContactPart(PartReader& reader, ContactDetails& details) {
    details.id = reader.Text();
    details.idKept = true;
    if (!reader.ok || details.id.empty()) return false;
    int32_t wholes = reader.Count(8);
    for (int32_t i = 0; reader.ok && i < wholes; ++i) {
        int32_t field = reader.Int();
        std::string text = reader.Text();
        if (!reader.ok || field < 0 || field >= ContactFieldCount || !FieldInfo(field).isText) return false;
        if (!details.wholes.emplace(field, text).second) return false;
    }
    int32_t items = reader.Count(8);
    for (int32_t i = 0; reader.ok && i < items; ++i) {
        int32_t kind = reader.Int();
        if (!reader.ok || !ReadItem(reader, kind, details)) return false;
    }
    return reader.ok;
}

// Reads size bytes in steps, so that a size that the file cannot hold
// never allocates its claim.
bool ReadPart(FileReader& reader, int32_t size, std::vector<unsigned char>& bytes) {
    bytes.clear();
    const size_t step = 1 << 16;
    while (bytes.size() < static_cast<size_t>(size)) {
        size_t chunk = std::min(step, static_cast<size_t>(size) - bytes.size());
        size_t at = bytes.size();
        bytes.resize(at + chunk);
        if (!ReadBytes(reader, bytes.data() + at, chunk)) return false;
    }
    return true;
}

}  // namespace

bool NeedsDetailsSection(const ContactStore& contacts) {
    for (const auto& entry : contacts.details) {
        if (HasOtherInformation(entry.second)) return true;
    }
    return false;
}

void PutDetailsSection(std::string& out, const ContactStore& contacts) {
    out.append(DetailsSectionTag, TagSize);
    PutInt32(out, DetailsSectionVersion);
    PutInt32(out, RecordCount(contacts));
    for (const auto& record : contacts.records) {
        std::string part = ContactPart(DetailsOf(contacts, record.get()));
        PutInt32(out, static_cast<int32_t>(part.size()));
        out += part;
    }
}

DetailsSectionResult ReadDetailsSection(FileReader& reader, ContactStore& contacts) {
    char tag[TagSize];
    size_t got = reader.complete ? std::fread(tag, 1, TagSize, reader.file) : 0;
    if (got == 0) return DetailsSectionResult::Absent;
    int32_t version, count;
    if (got != TagSize || std::memcmp(tag, DetailsSectionTag, TagSize) != 0 || !ReadInt32(reader, version) ||
        version != DetailsSectionVersion || !ReadInt32(reader, count) || count != RecordCount(contacts)) {
        return DetailsSectionResult::Refused;
    }
    std::vector<ContactDetails> read(count);
    std::set<std::string> ids;
    std::vector<unsigned char> bytes;
    for (int32_t i = 0; i < count; ++i) {
        int32_t size;
        if (!ReadInt32(reader, size) || size < 0 || size > MaxDetailsPartSize) return DetailsSectionResult::Refused;
        if (!ReadPart(reader, size, bytes)) return DetailsSectionResult::Refused;
        PartReader part{bytes.data(), bytes.size()};
        if (!ReadContactPart(part, read[i]) || !ids.insert(read[i].id).second) return DetailsSectionResult::Refused;
    }
    // The section ends the file.
    char extra;
    if (std::fread(&extra, 1, 1, reader.file) != 0) return DetailsSectionResult::Refused;
    for (int32_t i = 0; i < count; ++i) contacts.details[RecordAt(contacts, i)] = std::move(read[i]);
    return DetailsSectionResult::Read;
}
