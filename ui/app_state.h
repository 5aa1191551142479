// The program's process-wide state: the open book, the display settings
// and the main window with its controls. One of each, for the whole run.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/platform.h"
#include "store/document.h"
#include "store/settings_file.h"
#include "ui/dpi.h"

struct AppState {
    HINSTANCE instance;
    HFONT uiFont;  // "宋体" 12 at 96 DPI, made anew only when the DPI changes
    HWND mainWindow;
    // The DPI the main window, its font and its icons are made for: the
    // system's until the window exists, then that of its display.
    int dpi = BaseDpi;

    // The main window's children, created with it and kept for the run.
    HWND quickSearchBox;
    HWND fieldFilter;
    HWND groupFilter;
    HWND addButton;
    HWND editButton;
    HWND deleteButton;
    HWND contactList;
    HIMAGELIST stateImages;      // the list's check boxes: empty square, ticked square
    // The list's font on a display of another DPI than the system's (a
    // second monitor); null while the list keeps the system's own.
    HFONT listFont;
    WNDPROC previousHeaderProc;  // the list header's own procedure, behind the header filter

    // The folder Corvelle was started from: the current directory when the
    // main window is created. "txl.dat", "temp.txl" and the default book
    // live here, wherever the file dialogs move the current directory since.
    PathString startFolder;

    Document document;  // contacts, groups and currentPath of the open book
    DisplaySettings settings;

    // The record the contact editor shows, set by Add and
    // Edit just before it opens. A reference into document.contacts.
    ContactRecord* editedRecord;
};

extern AppState App;

// The contacts of the open book.
inline ContactStore& Contacts() { return App.document.contacts; }

extern const wchar_t ProgramTitle[];      // "Corvelle v" and the version
extern const wchar_t MainWindowClass[];   // "card"

// A file of the start folder: "txl.dat", "temp.txl" or the default book.
PathString StartFolderFile(const PathString& name);
