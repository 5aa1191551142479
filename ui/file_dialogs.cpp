#include "ui/file_dialogs.h"

#include <cderr.h>
#include <commdlg.h>

#include <string>

#include "platform/file_names.h"
#include "ui/ui_text.h"

namespace {

const wchar_t PathTooLongText[] = L"文件路径太长，程序无法使用！\n请选择一个路径较短的位置或文件名。";
// Asked when the name the dialog took only becomes an existing file's name
// once the extension is added; the dialog itself asks about the name typed.
const wchar_t ReplaceQuestion[] = L"%s\n文件已经存在。\n是否替换？";

// The chooser's title as a message box's caption: "另存为", without the
// dots of the menu item it comes from.
std::wstring CaptionOfTitle(const wchar_t* title) {
    std::wstring caption = title;
    while (!caption.empty() && caption.back() == L'.') caption.pop_back();
    return caption;
}

}  // namespace

void ShowPathTooLong(HWND owner) {
    ShowMessage(owner, PathTooLongText, ErrorCaption, MB_OK | MB_ICONWARNING);
}

bool PathExists(const PathString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ChooseFile(HWND owner, const wchar_t* filterName, const wchar_t* filterPattern, const wchar_t* title,
                PathString& path, FileDialogKind kind, const wchar_t* defaultExtension, const wchar_t* otherFilterName,
                int* chosenFilter) {
    std::wstring filter = std::wstring(filterName) + L'\0' + filterPattern + L'\0';
    if (otherFilterName) filter += std::wstring(otherFilterName) + L'\0' + filterPattern + L'\0';
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
    // Reading needs no write access, so only saving refuses a read-only file;
    // saving asks before it replaces a file.
    for (;;) {
        BOOL chosen;
        if (kind == FileDialogKind::Open) {
            dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
            chosen = GetOpenFileNameW(&dialog);
        } else {
            dialog.Flags = OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_NOREADONLYRETURN | OFN_OVERWRITEPROMPT;
            chosen = GetSaveFileNameW(&dialog);
        }
        if (!chosen) {
            if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ShowPathTooLong(owner);
            return false;
        }

        path = buffer;
        if (chosenFilter) *chosenFilter = dialog.nFilterIndex == 2 ? 1 : 0;
        if (kind == FileDialogKind::Save) EnsureExtension(path, defaultExtension);
        if (!PathFits(path)) {
            ShowPathTooLong(owner);
            return false;
        }
        if (path == buffer || !PathExists(path)) return true;
        std::wstring caption = CaptionOfTitle(title);
        if (ShowMessage(owner, FillIn(ReplaceQuestion, {path}), caption.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES) {
            return true;
        }
        // "否": back to the dialog, with the whole name in its box.
        lstrcpynW(buffer, path.c_str(), PathCapacity);
    }
}
