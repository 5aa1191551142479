// File names as the file dialogs return them: the default extension and
// the longest path the program accepts.
#pragma once

#include "platform/platform.h"

// The longest path, in characters with its terminator, that the file
// dialogs are given room for and that the program will use. A longer path
// is refused with a message, never cut.
const int PathCapacity = 260;

inline bool PathFits(const PathString& path) { return path.size() < static_cast<size_t>(PathCapacity); }

// Appends the extension (".txl") to a chosen name that has none. Only the
// last part of the path counts: a dot there followed by another character
// is an extension, a dot in a folder's name is not. A name ending in a
// lone dot loses that dot first.
void EnsureExtension(PathString& name, const PathString& extension);
