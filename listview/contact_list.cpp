#include "listview/contact_list.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "listview/columns.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/ui_text.h"

namespace {

const wchar_t AllFieldsChoice[] = L"- 所有类别 -";
const wchar_t AllGroupsChoice[] = L"- 所有分组 -";

void InsertColumn(int position, const wchar_t* header, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = DpiScale(width);
    column.pszText = const_cast<wchar_t*>(header);
    ListView_InsertColumn(App.contactList, position, &column);
}

// The texts of every row, composed once per refresh. The list holds no
// texts of its own: each row carries the index of its texts here and the
// list asks for them when it paints (LPSTR_TEXTCALLBACK). Setting some
// 8,700 cell texts one by one took most of a refresh under Wine; kept
// here, a refresh of 512 rows under all 17 columns stays within a frame.
std::vector<std::vector<std::wstring>> rowTexts;

// Hides the list from all drawing while its rows are rebuilt, and shows
// it whole afterwards: no flicker, and its scroll bars are not painted
// again for every change.
void StopDrawing(HWND list) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    CallWindowProcW(DefWindowProcW, list, WM_SETREDRAW, FALSE, 0);
}

void ResumeDrawing(HWND list) {
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    CallWindowProcW(DefWindowProcW, list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace

void RebuildColumns() {
    while (ListView_DeleteColumn(App.contactList, 0)) {
    }
    ComboBox_ResetContent(App.fieldFilter);

    InsertColumn(0, AsWide(NameColumnHeader), NameColumnWidth);
    ComboBox_AddString(App.fieldFilter, AllFieldsChoice);
    ComboBox_SetCurSel(App.fieldFilter, 0);
    ComboBox_AddString(App.fieldFilter, AsWide(NameColumnHeader));

    int position = 1;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (!IsColumnShown(App.settings.ColumnFlags, flag)) continue;
        const ColumnInfo& column = ColumnInfoOf(flag);
        InsertColumn(position++, AsWide(column.header), column.width);
        ComboBox_AddString(App.fieldFilter, AsWide(column.header));
    }
}

void ScaleColumnWidths() {
    ListView_SetColumnWidth(App.contactList, 0, DpiScale(NameColumnWidth));
    int position = 1;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (IsColumnShown(App.settings.ColumnFlags, flag)) {
            ListView_SetColumnWidth(App.contactList, position++, DpiScale(ColumnInfoOf(flag).width));
        }
    }
}

int AppendRow(const ContactRecord& record) {
    std::vector<std::wstring> texts;
    texts.push_back(WideFromGbk(NameText(record)));
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (IsColumnShown(App.settings.ColumnFlags, flag)) texts.push_back(WideFromGbk(ColumnText(record, flag)));
    }
    rowTexts.push_back(std::move(texts));

    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(App.contactList);
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.lParam = static_cast<LPARAM>(rowTexts.size() - 1);
    return static_cast<int>(SendMessageW(App.contactList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void RefreshList() {
    HWND list = App.contactList;
    FilterState filters = ReadFilterState();

    StopDrawing(list);
    ListView_DeleteAllItems(list);
    rowTexts.clear();
    for (auto& record : App.document.contacts.records) {
        if (!PassesFilters(*record, filters)) {
            record->ShownFlag = 0;
            continue;
        }
        int row = AppendRow(*record);
        record->ShownFlag = 1;
        if (record->CheckFlag == 1) ListView_SetItemState(list, row, TickedState, LVIS_STATEIMAGEMASK);
    }
    ResumeDrawing(list);
}

void ContactList_OnGetDispInfo(NMLVDISPINFOW* request) {
    LVITEMW& item = request->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    size_t row = static_cast<size_t>(item.lParam);
    if (row >= rowTexts.size() || item.iSubItem < 0 || static_cast<size_t>(item.iSubItem) >= rowTexts[row].size()) return;
    const std::wstring& text = rowTexts[row][item.iSubItem];
    size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, length);
    item.pszText[length] = L'\0';
}

int FirstSelectedRow() { return ListView_GetNextItem(App.contactList, -1, LVNI_SELECTED); }

void FillGroupFilter() {
    ComboBox_ResetContent(App.groupFilter);
    ComboBox_AddString(App.groupFilter, AllGroupsChoice);
    for (int i = 0; i < GroupCount(App.document.groups); ++i) {
        ComboBox_AddString(App.groupFilter, WideFromGbk(GroupName(App.document.groups, i)).c_str());
    }
    ComboBox_SetCurSel(App.groupFilter, 0);
}

FilterState ReadFilterState() {
    FilterState filters;
    filters.groupChoice = ComboBox_GetCurSel(App.groupFilter);
    filters.fieldChoice = ComboBox_GetCurSel(App.fieldFilter);
    std::string text = ControlTextGbk(App.quickSearchBox);
    text.resize(FitGbkLength(text.data(), text.size(), TextBoxReadLimit));
    filters.pattern = text;
    std::memcpy(filters.columnFlags, App.settings.ColumnFlags, sizeof filters.columnFlags);
    return filters;
}
