// The user's lasting preferences and "txl.dat", the file that keeps them
// in the folder the program was started from.
#pragma once

#include <cstdint>

#include "platform/platform.h"

const int ColumnFlagCount = 17;
const int DefaultFileNameWidth = 256;

// "txl.dat": a 32-bit word for each column flag, ten reserved words, then
// the default book's name.
const int SettingsReservedWords = 10;
const int SettingsNameOffset = 4 * (ColumnFlagCount + SettingsReservedWords);
const int SettingsFileSize = SettingsNameOffset + DefaultFileNameWidth;
static_assert(SettingsFileSize == 364, "txl.dat holds 364 bytes");

// The optional columns, in the order the settings file, the columns, the
// field filter and the settings dialog share.
enum ColumnFlag {
    GenderColumn,
    NicknameColumn,
    BirthdayColumn,
    MobileColumn,
    QQColumn,
    EmailColumn,
    HomeAddressColumn,
    WorkAddressColumn,
    HomePhoneColumn,
    WorkPhoneColumn,
    CompanyColumn,
    DepartmentColumn,
    JobTitleColumn,
    WorkPostcodeColumn,
    WorkFaxColumn,
    HomePostcodeColumn,
    HomeFaxColumn,
};

struct DisplaySettings {
    int32_t ColumnFlags[ColumnFlagCount];  // 1 shows the column; anything else hides it
    char DefaultFileName[DefaultFileNameWidth];
};

extern const char DefaultBookName[];  // "default.txl"
extern const char SettingsFileName[]; // "txl.dat"

// Gender, nickname, mobile, home phone and work phone shown; "default.txl".
DisplaySettings DefaultSettings();

// "txl.dat" in the given folder.
PathString SettingsPath(const PathString& folder);

// Reads the settings. A missing file gives the defaults; a short one
// changes only what it holds. An empty name becomes "default.txl".
void LoadSettings(DisplaySettings& settings, const PathString& path);

// Writes the settings beside the old file and then replaces it; 1 on
// success, 0 (old file untouched) on failure.
int SaveSettings(const DisplaySettings& settings, const PathString& path);
