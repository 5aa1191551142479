// The main window: its procedure, its creation and the title.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the window class "card".
void RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window (hidden); null when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance);

// Sets the title bar from the open book's path.
void UpdateTitle();
