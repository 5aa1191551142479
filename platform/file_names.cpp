#include "platform/file_names.h"

void EnsureExtension(PathString& name, const PathString& extension) {
    // Only the file's own name counts: "D:\ver1.0\abc" has no extension.
    size_t start = name.find_last_of(PathFromAscii("\\/"));
    start = start == PathString::npos ? 0 : start + 1;
    for (size_t i = start; i + 1 < name.size(); ++i) {
        if (name[i] == '.') return;
    }
    if (name.size() > start && name.back() == '.') name.pop_back();
    name += extension;
}
