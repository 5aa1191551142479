#include "ui/progress_window.h"

#include <string>

#include "resources/resource.h"

namespace {

const DWORD ShowAfterMilliseconds = 500;
// Often enough to look alive, seldom enough to cost nothing.
const DWORD RepaintEveryMilliseconds = 50;

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(dialog, DWLP_USER))->cancelled = true;
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        }
        return TRUE;
    }
    return FALSE;
}

void ShowCount(const ProgressWindow& progress, int done, int total) {
    std::wstring text = std::to_wstring(done) + L" / " + std::to_wstring(total);
    SetDlgItemTextW(progress.dialog, IDC_PROGRESS_TEXT, text.c_str());
}

void RunWaitingMessages(const ProgressWindow& progress) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop, after the work
            return;
        }
        if (progress.dialog && IsDialogMessageW(progress.dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

void BeginProgress(ProgressWindow& progress, HWND owner, const wchar_t* title) {
    progress = ProgressWindow{};
    progress.owner = owner;
    progress.title = title;
    progress.startTick = GetTickCount();
    EnableWindow(owner, FALSE);
}

bool ReportProgress(ProgressWindow& progress, int done, int total) {
    DWORD now = GetTickCount();
    if (now - progress.lastShownTick < RepaintEveryMilliseconds && done != total) return !progress.cancelled;
    if (!progress.dialog && now - progress.startTick >= ShowAfterMilliseconds) {
        progress.dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), progress.owner,
                                             ProgressDialogProc, reinterpret_cast<LPARAM>(&progress));
        if (progress.dialog) {
            // The count is there before the window shows, never an empty line.
            SetWindowTextW(progress.dialog, progress.title);
            ShowCount(progress, done, total);
            ShowWindow(progress.dialog, SW_SHOW);
        }
    }
    progress.lastShownTick = now;
    if (progress.dialog) ShowCount(progress, done, total);
    RunWaitingMessages(progress);
    return !progress.cancelled;
}

void EndProgress(ProgressWindow& progress) {
    EnableWindow(progress.owner, TRUE);
    if (progress.dialog) DestroyWindow(progress.dialog);
    progress.dialog = nullptr;
}
