// Writing a file without ever losing the one it replaces.
#pragma once

#include <cstdio>
#include <string>

#include "platform/platform.h"

// Writes bytes to a temporary file beside target, checks every write and
// the flush to disk, and only then puts it in target's place. Returns
// false, with target untouched and no temporary file left, on any failure.
bool WriteFileReplacing(const PathString& target, const std::string& bytes);

// The same in parts, for a file too large to hold whole in memory first:
// BeginReplacing, WritePart as often as needed, then FinishReplacing,
// which flushes and puts the file in target's place, or leaves target
// untouched and no temporary file when anything failed.
struct ReplacingFile {
    PathString target;
    PathString temporary;
    FILE* file = nullptr;
    bool failed = false;
};
bool BeginReplacing(ReplacingFile& out, const PathString& target);
void WritePart(ReplacingFile& out, const std::string& bytes);
bool FinishReplacing(ReplacingFile& out);
