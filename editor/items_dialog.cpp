#include "editor/items_dialog.h"

#include <windowsx.h>

#include <vector>

#include "resources/resource.h"
#include "ui/ui_text.h"

namespace {

// In ItemKind order.
const wchar_t* const KindWords[ItemKindCount] = {L"电话", L"邮箱", L"地址", L"网页", L"即时通讯",
                                                 L"备注", L"日期", L"相关人", L"其他"};
const wchar_t ItemSeparator[] = L"  |  ";

// The items being edited; the contact's own change only on "确定".
struct ItemsEdit {
    ContactDetails* details;
    std::vector<ContactItem> items;
};
ItemsEdit* edit = nullptr;

// The parts of an address or a messaging name one to a line; a single
// text with its own line breaks.
std::wstring ValueText(const ContactItem& item) {
    std::string joined;
    for (size_t i = 0; i < item.parts.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += item.parts[i];
    }
    std::wstring wide = WideFromGbk(joined), shown;
    for (wchar_t c : wide) {
        if (c == L'\n') shown += L'\r';
        shown += c;
    }
    return shown;
}

ContactItem ItemFromBoxes(HWND dialog) {
    int kind = ComboBox_GetCurSel(Control(dialog, IDC_ITEM_KIND));
    ContactItem item = MakeItem(static_cast<ItemKind>(kind < 0 ? ItemKindCount - 1 : kind), "", "");
    item.label = ControlTextGbk(Control(dialog, IDC_ITEM_LABEL));
    std::string value;
    for (char c : ControlTextGbk(Control(dialog, IDC_ITEM_VALUE))) {
        if (c != '\r') value += c;
    }
    if (item.parts.size() == 1) {
        item.parts[0] = value;
    } else {
        size_t part = 0, start = 0;
        for (size_t i = 0; i <= value.size() && part < item.parts.size(); ++i) {
            if (i == value.size() || value[i] == '\n') {
                item.parts[part++] = value.substr(start, i - start);
                start = i + 1;
            }
        }
    }
    return item;
}

bool IsEmptyItem(const ContactItem& item) {
    for (const std::string& part : item.parts) {
        if (!part.empty()) return false;
    }
    return true;
}

std::wstring ListLine(const ContactItem& item) {
    std::wstring value = ValueText(item);
    for (wchar_t& c : value) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    return std::wstring(KindWords[static_cast<int>(item.kind)]) + ItemSeparator + WideFromGbk(item.label) +
           ItemSeparator + value;
}

void FillList(HWND dialog, int selected) {
    HWND list = Control(dialog, IDC_ITEM_LIST);
    ListBox_ResetContent(list);
    for (const ContactItem& item : edit->items) ListBox_AddString(list, ListLine(item).c_str());
    ListBox_SetCurSel(list, selected);
}

void ShowItem(HWND dialog, int index) {
    if (index < 0 || index >= static_cast<int>(edit->items.size())) return;
    const ContactItem& item = edit->items[index];
    ComboBox_SetCurSel(Control(dialog, IDC_ITEM_KIND), static_cast<int>(item.kind));
    SetControlTextGbk(Control(dialog, IDC_ITEM_LABEL), item.label);
    SetWindowTextW(Control(dialog, IDC_ITEM_VALUE), ValueText(item).c_str());
}

int SelectedItem(HWND dialog) { return ListBox_GetCurSel(Control(dialog, IDC_ITEM_LIST)); }

// ---- Handlers

BOOL ItemsDialog_OnInitDialog(HWND dialog) {
    HWND kinds = Control(dialog, IDC_ITEM_KIND);
    for (const wchar_t* word : KindWords) ComboBox_AddString(kinds, word);
    ComboBox_SetCurSel(kinds, 0);
    FillList(dialog, edit->items.empty() ? -1 : 0);
    ShowItem(dialog, 0);
    return TRUE;
}

void ItemsDialog_OnAdd(HWND dialog) {
    ContactItem item = ItemFromBoxes(dialog);
    if (IsEmptyItem(item)) return;
    // In the order the files keep, so that an export and an import give the list back as shown.
    FillList(dialog, static_cast<int>(InsertItemInOrder(edit->items, item)));
}

void ItemsDialog_OnChange(HWND dialog) {
    int index = SelectedItem(dialog);
    if (index < 0) return;
    ContactItem item = ItemFromBoxes(dialog);
    if (IsEmptyItem(item)) return;
    edit->items.erase(edit->items.begin() + index);
    FillList(dialog, static_cast<int>(InsertItemInOrder(edit->items, item)));
}

void ItemsDialog_OnRemove(HWND dialog) {
    int index = SelectedItem(dialog);
    if (index < 0) return;
    edit->items.erase(edit->items.begin() + index);
    int next = index < static_cast<int>(edit->items.size()) ? index : index - 1;
    FillList(dialog, next);
    ShowItem(dialog, next);
}

void ItemsDialog_OnCommand(HWND dialog, int id, UINT code) {
    if (id == IDC_ITEM_LIST && code == LBN_SELCHANGE) return ShowItem(dialog, SelectedItem(dialog));
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDC_ITEM_ADD: ItemsDialog_OnAdd(dialog); break;
        case IDC_ITEM_CHANGE: ItemsDialog_OnChange(dialog); break;
        case IDC_ITEM_REMOVE: ItemsDialog_OnRemove(dialog); break;
        case IDOK:
            edit->details->items = edit->items;
            EndDialog(dialog, IDOK);
            break;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    }
}

INT_PTR CALLBACK ItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return ItemsDialog_OnInitDialog(dialog);
        case WM_COMMAND: ItemsDialog_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    }
    return FALSE;
}

}  // namespace

bool RunItemsDialog(HWND owner, ContactDetails& details) {
    ItemsEdit state{&details, details.items};
    edit = &state;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONTACT_ITEMS), owner,
                                     ItemsDialogProc, 0);
    edit = nullptr;
    return result == IDOK;
}
