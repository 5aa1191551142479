#include "store/safe_file.h"

namespace {

PathString TemporaryPathFor(const PathString& target) { return target + PathFromAscii(".saving"); }

bool WriteAll(FILE* file, const std::string& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

bool BeginReplacing(ReplacingFile& out, const PathString& target) {
    out = ReplacingFile{};
    if (target.empty() || IsDirectory(target)) return false;
    out.target = target;
    out.temporary = TemporaryPathFor(target);
    out.file = OpenFile(out.temporary, "wb");
    return out.file != nullptr;
}

void WritePart(ReplacingFile& out, const std::string& bytes) {
    out.failed = out.failed || !out.file || !WriteAll(out.file, bytes);
}

bool FinishReplacing(ReplacingFile& out) {
    if (!out.file) return false;
    bool written = !out.failed && FlushToDisk(out.file);
    bool closed = std::fclose(out.file) == 0;
    out.file = nullptr;
    if (written && closed && ReplaceFileWith(out.target, out.temporary)) return true;
    RemoveFile(out.temporary);
    return false;
}

bool WriteFileReplacing(const PathString& target, const std::string& bytes) {
    ReplacingFile out;
    if (!BeginReplacing(out, target)) return false;
    WritePart(out, bytes);
    return FinishReplacing(out);
}
