#include "store/safe_file.h"

namespace {

PathString TemporaryPathFor(const PathString& target) { return target + PathFromAscii(".saving"); }

bool WriteAll(FILE* file, const std::string& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

bool WriteFileReplacing(const PathString& target, const std::string& bytes) {
    if (target.empty() || IsDirectory(target)) return false;
    PathString temporary = TemporaryPathFor(target);
    FILE* file = OpenFile(temporary, "wb");
    if (!file) return false;
    bool written = WriteAll(file, bytes) && FlushToDisk(file);
    bool closed = std::fclose(file) == 0;
    if (written && closed && ReplaceFileWith(target, temporary)) return true;
    RemoveFile(temporary);
    return false;
}
