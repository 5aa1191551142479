#include "store/settings_file.h"

#include <cstring>
#include <string>

#include "store/fixed_text.h"
#include "store/little_endian.h"
#include "store/safe_file.h"

const char DefaultBookName[] = "default.txl";
const char SettingsFileName[] = "txl.dat";

DisplaySettings DefaultSettings() {
    DisplaySettings settings = {};
    for (ColumnFlag flag : {GenderColumn, NicknameColumn, MobileColumn, HomePhoneColumn, WorkPhoneColumn}) {
        settings.ColumnFlags[flag] = 1;
    }
    CopyToField(settings.DefaultFileName, DefaultFileNameWidth, DefaultBookName);
    return settings;
}

PathString SettingsPath(const PathString& folder) { return JoinPath(folder, PathFromAscii(SettingsFileName)); }

void LoadSettings(DisplaySettings& settings, const PathString& path) {
    FILE* file = IsDirectory(path) ? nullptr : OpenFile(path, "rb");
    if (!file) {
        settings = DefaultSettings();
        return;
    }
    unsigned char bytes[SettingsFileSize];
    size_t length = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);

    for (int i = 0; i < ColumnFlagCount && 4 * i + 4 <= static_cast<int>(length); ++i) {
        settings.ColumnFlags[i] = GetInt32(bytes + 4 * i);
    }
    if (static_cast<int>(length) > SettingsNameOffset) {
        CopyToField(settings.DefaultFileName, DefaultFileNameWidth, reinterpret_cast<const char*>(bytes + SettingsNameOffset),
                    length - SettingsNameOffset);
    }
    if (settings.DefaultFileName[0] == '\0') {
        CopyToField(settings.DefaultFileName, DefaultFileNameWidth, DefaultBookName);
    }
}

int SaveSettings(const DisplaySettings& settings, const PathString& path) {
    std::string out;
    for (int32_t flag : settings.ColumnFlags) PutInt32(out, flag);
    for (int i = 0; i < SettingsReservedWords; ++i) PutInt32(out, 0);
    char name[DefaultFileNameWidth];
    CopyToField(name, DefaultFileNameWidth, settings.DefaultFileName, DefaultFileNameWidth);
    out.append(name, DefaultFileNameWidth);
    return WriteFileReplacing(path, out) ? 1 : 0;
}
