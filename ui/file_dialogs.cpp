#include "ui/file_dialogs.h"

#include <cderr.h>
#include <commdlg.h>

#include "platform/file_names.h"
#include "ui/ui_text.h"

namespace {

const wchar_t PathTooLongText[] = L"文件路径太长，程序无法使用！\n请选择一个路径较短的位置或文件名。";

}  // namespace

void ShowPathTooLong(HWND owner) {
    ShowMessage(owner, PathTooLongText, ErrorCaption, MB_OK | MB_ICONWARNING);
}

bool ChooseFile(HWND owner, const wchar_t* filterName, const wchar_t* filterPattern, const wchar_t* title,
                PathString& path, FileDialogKind kind, const wchar_t* defaultExtension) {
    std::wstring filter = std::wstring(filterName) + L'\0' + filterPattern + L'\0';
    wchar_t buffer[PathCapacity] = {};

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = PathCapacity;
    dialog.lpstrTitle = title;
    // No OFN_NOCHANGEDIR: the next dialog starts in the chosen file's folder.
    // No OFN_OVERWRITEPROMPT: saving over a file is what Save As is for.
    // Reading needs no write access, so only saving refuses a read-only file.
    BOOL chosen;
    if (kind == FileDialogKind::Open) {
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&dialog);
    } else {
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_NOREADONLYRETURN;
        chosen = GetSaveFileNameW(&dialog);
    }
    if (!chosen) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ShowPathTooLong(owner);
        return false;
    }

    path = buffer;
    if (kind == FileDialogKind::Save) EnsureExtension(path, defaultExtension);
    if (!PathFits(path)) {
        ShowPathTooLong(owner);
        return false;
    }
    return true;
}
