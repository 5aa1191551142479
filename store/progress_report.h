// Long work (an import of a large file or of many files, an export of many
// files) tells how far it is: how many of how many are done. An answer of
// false stops the work there, keeping what it did.
#pragma once

#include <functional>

using ProgressReport = std::function<bool(int done, int total)>;
