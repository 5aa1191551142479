#include "vcard/ui/vcard_dialogs.h"

#include <windowsx.h>

#include "platform/file_names.h"
#include "resources/resource.h"
#include "store/text_operations.h"
#include "ui/app_state.h"
#include "ui/folder_browser.h"
#include "ui/progress_window.h"
#include "ui/ui_text.h"
#include "vcard/vcard_export.h"

PathString ChosenDirectory;

namespace {

const wchar_t BrowseTitle[] = L"选择路径";

// Items of the encoding list, in VcardEncoding order.
const wchar_t* const EncodingLabels[VcardEncodingCount] = {L"不采用QP编码", L"UTF-8QP编码", L"UnicodeQP编码"};

const wchar_t EncodingTipText[] =
    L"关于QP编码，请参考“QUOTED-PRINTABLE”编码规范\n编码的选择与使用目的有关，对于Nokia手机推荐使用 "
    L"UTF-8编码，对于电脑来说推荐不编码";

const wchar_t ExportProgressTitle[] = L"导出vcf";
const wchar_t ExportCancelledText[] = L"导出已取消，已导出 %s 个联系人。";
const wchar_t ExportFailedText[] = L"有 %s 个联系人没有输出成功！\n请检查输出目录是否存在、能否写入，以及路径是否太长。";

PathString DirectoryBoxText(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_DIRECTORY_EDIT);
    std::wstring text(GetWindowTextLengthW(box) + 1, L'\0');
    text.resize(GetWindowTextW(box, &text[0], static_cast<int>(text.size())));
    return text;
}

// Room for the longest path the program uses; a longer one is never cut.
void LimitDirectoryBox(HWND dialog) { Edit_LimitText(GetDlgItem(dialog, IDC_DIRECTORY_EDIT), PathCapacity - 1); }

void BrowseIntoDirectoryBox(HWND dialog) {
    PathString folder;
    if (!BrowseForFolder(dialog, BrowseTitle, folder)) return;
    ChosenDirectory = folder;
    SetDlgItemTextW(dialog, IDC_DIRECTORY_EDIT, folder.c_str());
}

// ---- ExportVcardDialog

void ExportDialog_OnInit(HWND dialog) {
    HWND encodings = GetDlgItem(dialog, IDC_ENCODING_LIST);
    for (const wchar_t* label : EncodingLabels) ComboBox_AddString(encodings, label);
    ComboBox_SetCurSel(encodings, Plain);

    bool anyTicked = AnyRecordTicked(App.document.contacts);
    CheckRadioButton(dialog, IDC_EXPORT_TICKED, IDC_EXPORT_ALL, anyTicked ? IDC_EXPORT_TICKED : IDC_EXPORT_ALL);
    EnableWindow(GetDlgItem(dialog, IDC_EXPORT_TICKED), anyTicked);
    LimitDirectoryBox(dialog);
}

// The folder is taken as typed. An empty one exports nothing, silently.
void ExportDialog_OnExport(HWND dialog) {
    VcardEncoding encoding = VcardEncodingFromValue(ComboBox_GetCurSel(GetDlgItem(dialog, IDC_ENCODING_LIST)));
    VcardExportScope scope = IsDlgButtonChecked(dialog, IDC_EXPORT_ALL) == BST_CHECKED ? ExportAll : ExportTicked;
    ProgressWindow progress;
    BeginProgress(progress, dialog, ExportProgressTitle);
    VcardExportResult result =
        ExportVcardFiles(App.document.contacts, DirectoryBoxText(dialog), encoding, scope, &App.document.groups,
                         [&progress](int done, int total) { return ReportProgress(progress, done, total); });
    EndProgress(progress);
    if (result.cancelled) {
        ShowMessage(dialog, FillIn(ExportCancelledText, {std::to_wstring(result.written)}), ExportProgressTitle,
                    MB_OK | MB_ICONINFORMATION);
    }
    if (result.failed > 0) {
        ShowMessage(dialog, FillIn(ExportFailedText, {std::to_wstring(result.failed)}), ErrorCaption,
                    MB_OK | MB_ICONWARNING);
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            ExportDialog_OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: ExportDialog_OnExport(dialog); return TRUE;
                case IDCANCEL: EndDialog(dialog, 0); return TRUE;
                case IDC_TIP_BUTTON:
                    ShowMessage(dialog, EncodingTipText, TipCaption, MB_OK | MB_ICONINFORMATION);
                    return TRUE;
                case IDC_EXPORT_BROWSE: BrowseIntoDirectoryBox(dialog); return TRUE;
            }
            break;
    }
    return FALSE;
}

// ---- DirectoryDialog

void DirectoryDialog_OnInit(HWND dialog, const wchar_t* caption) {
    SetWindowTextW(dialog, caption);
    LimitDirectoryBox(dialog);
}

void DirectoryDialog_OnOk(HWND dialog) {
    // Trimmed as typed, in UTF-16: no byte of the path is lost to a conversion.
    PathString directory = TrimSpaces(DirectoryBoxText(dialog));
    if (directory.empty()) return;
    ChosenDirectory = directory;
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK DirectoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            DirectoryDialog_OnInit(dialog, reinterpret_cast<const wchar_t*>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: DirectoryDialog_OnOk(dialog); return TRUE;
                case IDCANCEL: EndDialog(dialog, 0); return TRUE;
                case IDC_DIRECTORY_BROWSE: BrowseIntoDirectoryBox(dialog); return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

int ExportVcardDialog(HWND owner) {
    return DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_EXPORT_VCARD), owner, ExportDialogProc, 0) == 1;
}

int DirectoryDialog(HWND owner, const wchar_t* caption) {
    return DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_DIRECTORY), owner, DirectoryDialogProc,
                           reinterpret_cast<LPARAM>(caption)) == 1;
}
