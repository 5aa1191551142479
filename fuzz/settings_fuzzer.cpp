// Any bytes as "txl.dat": the settings read from them name a default book
// within 256 bytes, and save and load back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "store/settings_file.h"

namespace {

bool SameSettings(const DisplaySettings& a, const DisplaySettings& b) {
    return std::memcmp(a.ColumnFlags, b.ColumnFlags, sizeof a.ColumnFlags) == 0 &&
           std::strcmp(a.DefaultFileName, b.DefaultFileName) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = ScratchFile("input.dat");
    static const std::string saved = ScratchFile("txl.dat");
    WriteScratchFile(input, FuzzInput{data, size}.Rest());

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
