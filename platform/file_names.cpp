#include "platform/file_names.h"

void EnsureExtension(PathString& name, const PathString& extension) {
    for (size_t i = 0; i + 1 < name.size(); ++i) {
        if (name[i] == '.') return;
    }
    if (!name.empty() && name.back() == '.') name.pop_back();
    name += extension;
}
