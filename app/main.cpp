// Corvelle's entry point: the window class, the main window and the
// message loop.
#include <windows.h>

#include "app/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    StartUserInterface(instance);
    HWND window = CreateMainWindow(instance);
    if (!window) return 0;
    PlaceMainWindow(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunMessageLoop();
}
