#include "store/address_book_file.h"

#include <cstring>

#include "store/fixed_text.h"
#include "store/little_endian.h"
#include "store/safe_file.h"

namespace {

void PutRecord(std::string& out, const ContactRecord& record) {
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) {
            // Only the text and its terminator carry meaning: the rest is zero.
            char field[WidestFieldWidth];
            CopyToField(field, info.width, FieldText(record, info.field), info.width);
            out.append(field, info.width);
        } else {
            PutInt32(out, record.Gender);
        }
    }
    PutInt32(out, record.GroupIndex);
}

ContactRecord DecodeRecord(const unsigned char* bytes) {
    ContactRecord record = EmptyRecord();
    int offset = 0;
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) {
            // A field that fills its width without a terminator loses its
            // last whole character, so that it is terminated in memory.
            CopyToField(FieldText(record, info.field), info.width, reinterpret_cast<const char*>(bytes + offset),
                        info.width);
        } else {
            record.Gender = GetInt32(bytes + offset);
        }
        offset += info.width;
    }
    record.GroupIndex = GetInt32(bytes + offset);
    return record;
}

LoadResult ReadGroups(FileReader& reader, GroupList& groups) {
    int32_t count;
    if (!ReadInt32(reader, count)) return FileTruncated;
    for (int32_t i = 0; i < count; ++i) {
        int32_t length;
        if (!ReadInt32(reader, length)) return FileTruncated;
        if (static_cast<uint32_t>(length) > GroupNameWidth) return GroupNameTooLong;
        char name[GroupNameWidth];
        if (!ReadBytes(reader, name, length)) return FileTruncated;
        AppendGroup(groups, FieldString(name, length));
    }
    return LoadOk;
}

LoadResult ReadRecords(FileReader& reader, ContactStore& contacts) {
    int32_t count;
    if (!ReadInt32(reader, count)) return FileTruncated;
    if (count < 0 || count > MaxRecords) return TooManyRecords;
    // A count the file cannot hold is refused before anything is made for
    // it, so that a damaged count never asks for gigabytes.
    long long left = BytesLeft(reader);
    if (!reader.complete) return FileTruncated;
    if (left >= 0 && left < static_cast<long long>(count) * RecordFileSize) return FileTruncated;
    if (left >= 0) contacts.records.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        unsigned char bytes[RecordFileSize];
        if (!ReadBytes(reader, bytes, RecordFileSize)) return FileTruncated;
        AppendRecord(contacts, DecodeRecord(bytes));
    }
    return LoadOk;
}

}  // namespace

namespace {

LoadResult ReadBook(FileReader& reader, GroupList& groups, ContactStore& contacts, DetailsSectionResult& section) {
    int32_t magic, version;
    if (!ReadInt32(reader, magic) || magic != AddressBookMagic) return BadMagic;
    if (!ReadInt32(reader, version)) return FileTruncated;
    if (version > FormatVersion) return VersionTooNew;
    ClearGroups(groups);
    LoadResult result = ReadGroups(reader, groups);
    if (result != LoadOk) return result;
    ClearRecords(contacts);
    result = ReadRecords(reader, contacts);
    if (result == LoadOk) section = ReadDetailsSection(reader, contacts);
    return result;
}

}  // namespace

LoadResult ReadAddressBook(FILE* file, GroupList& groups, ContactStore& contacts,
                           DetailsSectionResult* sectionResult) {
    FileReader reader = {file, true};
    DetailsSectionResult section = DetailsSectionResult::Absent;
    LoadResult result = ReadBook(reader, groups, contacts, section);
    if (sectionResult) *sectionResult = section;
    // Never keep part of a book: saved back, it would lose the rest.
    if (result == FileTruncated) ClearRecords(contacts);
    return result;
}

LoadResult ReadAddressBook(const PathString& path, GroupList& groups, ContactStore& contacts,
                           DetailsSectionResult* sectionResult) {
    if (path.empty() || IsDirectory(path)) return OpenFailed;
    FILE* file = OpenFile(path, "rb");
    if (!file) return OpenFailed;
    LoadResult result = ReadAddressBook(file, groups, contacts, sectionResult);
    std::fclose(file);
    return result;
}

std::string EncodeAddressBook(const GroupList& groups, const ContactStore& contacts) {
    if (RecordCount(contacts) > MaxRecords) return std::string();
    std::string out;
    out.reserve(16 + GroupCount(groups) * (4 + GroupNameWidth) + RecordCount(contacts) * RecordFileSize);
    PutInt32(out, AddressBookMagic);
    PutInt32(out, FormatVersion);
    PutInt32(out, GroupCount(groups));
    for (const Group& group : groups.groups) {
        // A name that fills its 16 bytes would be an entry the reader
        // refuses: it keeps its whole characters within 15 bytes.
        char name[GroupNameWidth];
        CopyToField(name, GroupNameWidth, group.name, GroupNameWidth);
        size_t length = std::strlen(name) + 1;
        PutInt32(out, static_cast<int32_t>(length));
        out.append(name, length);
    }
    PutInt32(out, RecordCount(contacts));
    for (const auto& record : contacts.records) PutRecord(out, *record);
    if (NeedsDetailsSection(contacts)) PutDetailsSection(out, contacts);
    return out;
}

int WriteAddressBook(const PathString& path, const GroupList& groups, const ContactStore& contacts) {
    std::string bytes = EncodeAddressBook(groups, contacts);
    if (bytes.empty()) return 0;
    return WriteFileReplacing(path, bytes) ? 1 : 0;
}
