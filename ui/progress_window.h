// The progress of long work (an import of many files or cards, an export of
// many files): after about half a second a small window over the owner
// shows "done / total" with "取消", and the windows keep painting.
#pragma once

#include <windows.h>

struct ProgressWindow {
    HWND owner = nullptr;
    const wchar_t* title = nullptr;
    HWND dialog = nullptr;  // made once the work has run long enough
    DWORD startTick = 0;
    DWORD lastShownTick = 0;  // when messages last ran
    bool cancelled = false;
};

// Starts timing the work; the owner takes no input until EndProgress, so
// the work's data cannot change under it.
void BeginProgress(ProgressWindow& progress, HWND owner, const wchar_t* title);
// Reports that done of total steps are finished and lets waiting messages
// run. Returns false once the user chose "取消".
bool ReportProgress(ProgressWindow& progress, int done, int total);
// Closes the window and gives the owner its input back.
void EndProgress(ProgressWindow& progress);
