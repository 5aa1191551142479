// The main window: the window class "card", the window with its seven
// child controls, its layout, the exit sequence and the title.
#pragma once

#include <windows.h>

// The window's minimum size while the user drags an edge.
const int MinimumWindowWidth = 600;
const int MinimumWindowHeight = 400;

// Everything that comes before the main window: the window class "card",
// the common controls and the UI font. The instance handle is kept.
void StartUserInterface(HINSTANCE instance);

// Creates the main window, still hidden: the controls, the settings and
// the default book (or a new one). Null when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance);

// Centres the window on the screen and shows it.
void PlaceMainWindow(HWND window);

// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the title bar from document.currentPath: " - 新文件" for a new book.
void UpdateTitle();

// Shows the open document from scratch: the columns, the group filter, the
// rows and the title. Start-up, New and Open end with it.
void ShowDocument();
