// The settings dialog "设置" (IDD_SETTINGS): which optional columns the list
// shows and the default file name. "确定" applies the choice at once by
// rebuilding the columns and the rows; the settings file is written only
// at exit.
#pragma once

#include <windows.h>

// The dialog's check box for a column flag.
int ColumnCheckBoxOf(int flag);

// 1 when confirmed, 0 when cancelled.
INT_PTR RunSettingsDialog(HWND owner);
