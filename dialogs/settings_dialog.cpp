#include "dialogs/settings_dialog.h"

#include <string>

#include "listview/columns.h"
#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

// In column flag order.
constexpr int columnCheckBoxes[ColumnFlagCount] = {
    IDC_SHOW_GENDER,        IDC_SHOW_NICKNAME,      IDC_SHOW_BIRTHDAY,    IDC_SHOW_MOBILE,
    IDC_SHOW_QQ,            IDC_SHOW_EMAIL,         IDC_SHOW_HOME_ADDRESS, IDC_SHOW_WORK_ADDRESS,
    IDC_SHOW_HOME_PHONE,    IDC_SHOW_WORK_PHONE,    IDC_SHOW_COMPANY,     IDC_SHOW_DEPARTMENT,
    IDC_SHOW_JOB_TITLE,     IDC_SHOW_WORK_POSTCODE, IDC_SHOW_WORK_FAX,    IDC_SHOW_HOME_POSTCODE,
    IDC_SHOW_HOME_FAX,
};

// One check box per column flag, labelled with the column's header.
BOOL SettingsDialog_OnInitDialog(HWND dialog) {
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        const ColumnInfo& column = ColumnInfoOf(flag);
        SetDlgItemTextW(dialog, ColumnCheckBoxOf(flag), AsWide(column.header));
        CheckDlgButton(dialog, ColumnCheckBoxOf(flag),
                       IsColumnShown(App.settings.ColumnFlags, flag) ? BST_CHECKED : BST_UNCHECKED);
    }
    SetControlTextGbk(Control(dialog, IDC_SETTINGS_DEFAULT_FILE), App.settings.DefaultFileName);
    return TRUE;
}

// The name is stored as typed once trimmed, whatever it holds: start-up
// and "存为默认" say so when it cannot name a file.
void SettingsDialog_OnOk(HWND dialog) {
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        App.settings.ColumnFlags[flag] = IsDlgButtonChecked(dialog, ColumnCheckBoxOf(flag)) == BST_CHECKED;
    }
    std::string name = ControlTextGbk(Control(dialog, IDC_SETTINGS_DEFAULT_FILE));
    name.resize(FitGbkLength(name.data(), name.size(), DefaultFileNameWidth - 1));
    TrimSpacesAndTrailingLineFeeds(name);
    if (name.empty()) name = DefaultBookName;
    CopyToField(App.settings.DefaultFileName, DefaultFileNameWidth, name);
    RebuildColumns();
    RefreshList();
    EndDialog(dialog, 1);
}

void SettingsDialog_OnCommand(HWND dialog, int id, UINT code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDOK: SettingsDialog_OnOk(dialog); break;
        case IDCANCEL: EndDialog(dialog, 0); break;
    }
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return SettingsDialog_OnInitDialog(dialog);
        case WM_COMMAND: SettingsDialog_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    }
    return FALSE;
}

}  // namespace

int ColumnCheckBoxOf(int flag) { return columnCheckBoxes[flag]; }

INT_PTR RunSettingsDialog(HWND owner) {
    return DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}
