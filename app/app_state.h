// The program's process-wide state: the open book, the display settings
// and the main window with its controls. One of each, for the whole run.
#pragma once

#include <windows.h>

#include "store/groups.h"
#include "store/settings_file.h"

struct AppState {
    HINSTANCE instance;
    HFONT uiFont;
    HWND mainWindow;
    Document document;
    DisplaySettings settings;
};

extern AppState App;

extern const wchar_t ProgramTitle[];      // "Corvelle v1.9"
extern const wchar_t MainWindowClass[];   // "card"
