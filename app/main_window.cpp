#include "app/main_window.h"

#include <windowsx.h>

#include "app/app_state.h"
#include "app/ui_text.h"
#include "resources/resource.h"
#include "store/address_book_file.h"

namespace {

const DocumentViews MainWindowViews = {nullptr, nullptr, nullptr, UpdateTitle};

PathString DefaultBookPath() {
    return JoinPath(CurrentDirectory(), PathFromGbk(App.settings.DefaultFileName));
}

BOOL MainWindow_OnCreate(HWND window, LPCREATESTRUCT) {
    App.mainWindow = window;
    LoadSettings(App.settings, SettingsPath());
    PathString path = DefaultBookPath();
    if (ReadAddressBook(path, App.document.groups, App.document.contacts) == LoadOk) {
        App.document.currentPath = path;
        UpdateTitle();
    } else {
        // Whatever went wrong, start quietly with a new book.
        ResetDocument(App.document, MainWindowViews);
    }
    return TRUE;
}

void MainWindow_OnClose(HWND window) {
    SaveSettings(App.settings, SettingsPath());
    PostQuitMessage(0);
    DestroyWindow(window);
}

}  // namespace

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = MainWindowClass;
    RegisterClassW(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance) {
    App.instance = instance;
    return CreateWindowExW(0, MainWindowClass, ProgramTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 600, 400,
                           nullptr, nullptr, instance, nullptr);
}

void UpdateTitle() {
    std::wstring title = ProgramTitle;
    if (App.document.currentPath.empty()) {
        title += L" - 新文件";
    } else {
        title += L" - \"" + App.document.currentPath + L"\"";
    }
    SetWindowTextW(App.mainWindow, title.c_str());
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            MainWindow_OnCreate(window, reinterpret_cast<LPCREATESTRUCT>(lParam));
            break;
        case WM_CLOSE:
            MainWindow_OnClose(window);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
