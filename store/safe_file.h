// Writing a file without ever losing the one it replaces.
#pragma once

#include <string>

#include "platform/platform.h"

// Writes bytes to a temporary file beside target, checks every write and
// the flush to disk, and only then puts it in target's place. Returns
// false, with target untouched and no temporary file left, on any failure.
bool WriteFileReplacing(const PathString& target, const std::string& bytes);
