#include "dialogs/group_dialog.h"

#include <windowsx.h>

#include <string>

#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

const wchar_t DeleteGroupQuestion[] = L"你确定删除该分组？\n删除该组后原属于该组的项目全部归于第一组";
const wchar_t DeleteGroupCaption[] = L"删除组";
const char16_t NewGroupName[] = u"新建分组";

GroupList& Groups() { return App.document.groups; }

HWND GroupListBox(HWND dialog) { return GetDlgItem(dialog, IDC_GROUP_LIST); }
HWND NameBox(HWND dialog) { return GetDlgItem(dialog, IDC_GROUP_NAME); }

std::wstring ShownName(int position) { return WideFromGbk(GroupName(Groups(), position)); }

BOOL GroupDialog_OnInitDialog(HWND dialog) {
    HWND list = GroupListBox(dialog);
    ListBox_ResetContent(list);
    if (GroupCount(Groups()) == 0) AppendGroup(Groups(), DefaultGroupName());
    for (int i = 0; i < GroupCount(Groups()); ++i) ListBox_AddString(list, ShownName(i).c_str());
    ListBox_SetCurSel(list, 0);
    SetWindowTextW(NameBox(dialog), ShownName(0).c_str());
    return TRUE;
}

void GroupDialog_OnSelectionChange(HWND dialog) {
    int selected = ListBox_GetCurSel(GroupListBox(dialog));
    if (selected >= 0) SetWindowTextW(NameBox(dialog), ShownName(selected).c_str());
}

// Every added group has the same name; duplicates are allowed.
void GroupDialog_OnAdd(HWND dialog) {
    AppendGroup(Groups(), GbkText(NewGroupName));
    HWND list = GroupListBox(dialog);
    int added = ListBox_AddString(list, AsWide(NewGroupName));
    SetWindowTextW(NameBox(dialog), AsWide(NewGroupName));
    ListBox_SetCurSel(list, added);
}

// The name is cut to 15 bytes at a whole character; an empty one becomes
// "默认分组".
void GroupDialog_OnRename(HWND dialog) {
    HWND list = GroupListBox(dialog);
    int selected = ListBox_GetCurSel(list);
    if (selected < 0 || selected >= GroupCount(Groups())) return;
    std::string name = ControlTextGbk(NameBox(dialog));
    if (name.empty()) name = DefaultGroupName();
    CopyToField(Groups().groups[selected].name, GroupNameWidth, name);
    std::wstring stored = ShownName(selected);
    ListBox_DeleteString(list, selected);
    ListBox_InsertString(list, selected, stored.c_str());
    SetWindowTextW(NameBox(dialog), stored.c_str());
    ListBox_SetCurSel(list, selected);
}

// The last group is never deleted; the name box keeps its text.
void GroupDialog_OnDelete(HWND dialog) {
    HWND list = GroupListBox(dialog);
    int selected = ListBox_GetCurSel(list);
    if (selected < 0 || GroupCount(Groups()) < 2) return;
    if (ShowMessage(dialog, DeleteGroupQuestion, DeleteGroupCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (!DeleteGroup(App.document, selected)) return;
    ListBox_DeleteString(list, selected);
    ListBox_SetCurSel(list, -1);
}

void GroupDialog_OnOk(HWND dialog) {
    FillGroupFilter();
    RefreshList();
    EndDialog(dialog, IDOK);
}

// Esc (IDCANCEL) and every other command are ignored: the dialog closes
// through "确定" alone.
void GroupDialog_OnCommand(HWND dialog, int id, UINT code) {
    if (id == IDC_GROUP_LIST) {
        if (code == LBN_SELCHANGE) GroupDialog_OnSelectionChange(dialog);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDOK: GroupDialog_OnOk(dialog); break;
        case IDC_GROUP_ADD: GroupDialog_OnAdd(dialog); break;
        case IDC_GROUP_RENAME: GroupDialog_OnRename(dialog); break;
        case IDC_GROUP_DELETE: GroupDialog_OnDelete(dialog); break;
    }
}

INT_PTR CALLBACK GroupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return GroupDialog_OnInitDialog(dialog);
        case WM_COMMAND: GroupDialog_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunGroupDialog(HWND owner) {
    DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_GROUPS), owner, GroupDialogProc, 0);
}
