// Little-endian integers and fixed-width fields, read and written byte by
// byte so that the files are the same on every machine.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

inline void PutInt32(std::string& out, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

inline int32_t GetInt32(const unsigned char* bytes) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

// A file read from the start, remembering whether every read got all the
// bytes it asked for.
struct FileReader {
    FILE* file;
    bool complete;
};

inline bool ReadBytes(FileReader& reader, void* buffer, size_t size) {
    if (!reader.complete) return false;
    if (size > 0 && std::fread(buffer, 1, size, reader.file) != size) reader.complete = false;
    return reader.complete;
}

// The bytes between the reading position and the end of the file, or -1
// when the file cannot tell (a stream).
inline long long BytesLeft(FileReader& reader) {
    long here = std::ftell(reader.file);
    if (here < 0 || std::fseek(reader.file, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(reader.file);
    if (std::fseek(reader.file, here, SEEK_SET) != 0) {
        reader.complete = false;
        return -1;
    }
    return end < here ? -1 : static_cast<long long>(end) - here;
}

inline bool ReadInt32(FileReader& reader, int32_t& value) {
    unsigned char bytes[4];
    if (!ReadBytes(reader, bytes, 4)) return false;
    value = GetInt32(bytes);
    return true;
}
