// Any bytes as "txl.dat": the settings read from them name a default book
// within 256 bytes, and save and load back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "store/settings_file.h"

namespace {

// A private folder for the two files, made once per run and removed at
// exit; kept in a plain array so that it outlives the exit handler.
char folder[4096];

void RemoveFolder() { std::filesystem::remove_all(folder); }

std::string Folder() {
    if (folder[0] == '\0') {
        const char* base = std::getenv("TMPDIR");
        std::snprintf(folder, sizeof folder, "%s/corvelle-fuzz-XXXXXX", base && *base ? base : "/tmp");
        Require(mkdtemp(folder) != nullptr, "mkdtemp");
        std::atexit(RemoveFolder);
    }
    return folder;
}

bool SameSettings(const DisplaySettings& a, const DisplaySettings& b) {
    return std::memcmp(a.ColumnFlags, b.ColumnFlags, sizeof a.ColumnFlags) == 0 &&
           std::strcmp(a.DefaultFileName, b.DefaultFileName) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = Folder() + "/input.dat";
    static const std::string saved = Folder() + "/txl.dat";
    FILE* file = std::fopen(input.c_str(), "wb");
    Require(file != nullptr, "cannot write the input file");
    Require(size == 0 || std::fwrite(data, 1, size, file) == size, "cannot write the input file");
    std::fclose(file);

    // Start-up reads into settings that are all zero.
    DisplaySettings settings = {};
    LoadSettings(settings, input);
    Require(std::memchr(settings.DefaultFileName, '\0', DefaultFileNameWidth) != nullptr,
            "the default file name is not terminated");
    Require(settings.DefaultFileName[0] != '\0', "the default file name is empty");

    Require(SaveSettings(settings, saved) == 1, "the settings cannot be saved");
    DisplaySettings back = {};
    LoadSettings(back, saved);
    Require(SameSettings(settings, back), "the saved settings read back differently");
    return 0;
}
