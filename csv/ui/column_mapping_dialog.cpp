#include "csv/ui/column_mapping_dialog.h"

#include <windowsx.h>

#include "csv/csv_format.h"
#include "csv/csv_messages.h"
#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

const wchar_t OtherInformationEntry[] = L"其他信息";

struct MappingDialogData {
    const std::string* prompt;
    int chosenField;  // the list entry confirmed with "确定"
};

void MappingDialog_OnInit(HWND dialog, MappingDialogData* data) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    HWND fields = GetDlgItem(dialog, IDC_MAPPING_FIELD_LIST);
    ComboBox_ResetContent(fields);
    for (const std::string& title : CsvFieldTitles()) ComboBox_AddString(fields, WideFromGbk(title).c_str());
    ComboBox_AddString(fields, OtherInformationEntry);  // at OtherInformationChoice
    ComboBox_SetCurSel(fields, 0);
    SetControlTextGbk(GetDlgItem(dialog, IDC_MAPPING_PROMPT), *data->prompt);
}

void MappingDialog_OnOk(HWND dialog) {
    auto* data = reinterpret_cast<MappingDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
    int field = ComboBox_GetCurSel(GetDlgItem(dialog, IDC_MAPPING_FIELD_LIST));
    if (field < 0) return;  // the list always has a choice; nothing to map otherwise
    data->chosenField = field;
    EndDialog(dialog, MapToField);
}

INT_PTR CALLBACK MappingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            MappingDialog_OnInit(dialog, reinterpret_cast<MappingDialogData*>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: MappingDialog_OnOk(dialog); return TRUE;
                case IDCANCEL: EndDialog(dialog, IgnoreColumn); return TRUE;
                case IDC_IGNORE_REMAINING: EndDialog(dialog, IgnoreRemaining); return TRUE;
                case IDC_TIP_BUTTON:
                    ShowMessage(dialog, CsvMappingTipText, TipCaption, MB_OK | MB_ICONINFORMATION);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

ColumnMappingChoice AskWithDialog(void* owner, const std::string& title) {
    return ColumnMappingDialog(static_cast<HWND>(owner), CsvMappingPrompt(title));
}

}  // namespace

ColumnMappingChoice ColumnMappingDialog(HWND owner, const std::string& prompt) {
    MappingDialogData data = {&prompt, NoField};
    INT_PTR answer = DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_COLUMN_MAPPING), owner, MappingDialogProc,
                                     reinterpret_cast<LPARAM>(&data));
    if (answer == MapToField) return {MapToField, data.chosenField};
    if (answer == IgnoreRemaining) return {IgnoreRemaining, NoField};
    return {IgnoreColumn, NoField};  // also when the dialog could not be shown
}

ColumnMappingQuestion ColumnMappingDialogQuestion(HWND owner) { return {AskWithDialog, owner}; }
