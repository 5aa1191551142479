#include "dialogs/about_dialog.h"

#include "dialogs/author.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

const wchar_t VersionLine[] = L"文件版本：%s.%s";
const wchar_t ReleaseName[] = L"0210(正式版)";
const wchar_t AuthorLine[] = L"作者:%s  电邮:%s";

void AboutDialog_OnInit(HWND dialog) {
    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, AboutVersionLine().c_str());
    SetDlgItemTextW(dialog, IDC_ABOUT_AUTHOR, FillIn(AuthorLine, {AuthorName, FeedbackAddress}).c_str());
}

// Only 确定 (or Enter) closes the box; Escape does nothing.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            AboutDialog_OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

std::wstring AboutVersionLine() { return FillIn(VersionLine, {std::to_wstring(FormatVersion), ReleaseName}); }

void RunAboutDialog(HWND owner) {
    DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc, 0);
}
