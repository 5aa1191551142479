#include "listview/ui/contact_list.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "listview/columns.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/shaped_text.h"
#include "ui/ui_text.h"

namespace {

const wchar_t AllFieldsChoice[] = L"- 所有类别 -";
const wchar_t AllGroupsChoice[] = L"- 所有分组 -";
// From a cell's label edge to its text, as the list itself draws it.
const int CellTextMargin = 5;

void InsertColumn(int position, const wchar_t* header, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = DpiScale(width);
    column.pszText = const_cast<wchar_t*>(header);
    ListView_InsertColumn(App.contactList, position, &column);
}

WNDPROC previousListProc = nullptr;

// The list is virtual (LVS_OWNERDATA): it holds only the number of rows and
// asks for the text and the check box of each row it paints, so a refresh
// costs the filter pass and one repaint however many contacts show. Row n
// is the record ShownRecordAt gives for n, read anew at every request, so
// a row never refers to a record that has left the store.
ContactRecord* RowRecord(int row) { return row < 0 ? nullptr : ShownRecordAt(App.document.contacts, row); }

// The text of one cell: the name, or the column of the n-th shown flag.
std::wstring CellText(const ContactRecord& record, int column) {
    const ContactDetails* details = FindDetails(App.document.contacts, &record);
    if (column == 0) return WideFromGbk(NameText(record, details));
    int flag = NthShownColumn(App.settings.ColumnFlags, column - 1);
    return flag < 0 ? std::wstring() : WideFromGbk(ColumnText(record, flag, details));
}

// Ticking a box sets its contact's CheckFlag; a change of a tick then
// clears the selection, as it always has.
void SetRowTick(int row, bool ticked) {
    ContactRecord* record = RowRecord(row);
    if (!record || IsTicked(*record) == ticked) return;
    record->CheckFlag = ticked ? 1 : 0;
    ListView_RedrawItems(App.contactList, row, row);
    int selected = FirstSelectedRow();
    if (selected >= 0) ListView_SetItemState(App.contactList, selected, 0, LVIS_SELECTED);
}

void ToggleRowTick(int row) {
    if (ContactRecord* record = RowRecord(row)) SetRowTick(row, !IsTicked(*record));
}

// The check boxes are state images the list asks for (its callback mask),
// so whatever sets a row's state image, this program or another through
// LVM_SETITEMSTATE, sets the CheckFlag behind it. Other state bits go on
// to the list.
LRESULT SetItemStateMessage(HWND list, WPARAM wParam, const LVITEMW* request) {
    if (!request || !(request->stateMask & LVIS_STATEIMAGEMASK)) {
        return CallWindowProcW(previousListProc, list, LVM_SETITEMSTATE, wParam, reinterpret_cast<LPARAM>(request));
    }
    UINT image = request->state & LVIS_STATEIMAGEMASK;
    if (image == TickedState || image == UntickedState) {
        int row = static_cast<int>(wParam);
        if (row >= 0) {
            SetRowTick(row, image == TickedState);
        } else {
            for (int each = 0; each < ListView_GetItemCount(list); ++each) SetRowTick(each, image == TickedState);
        }
    }
    LVITEMW rest = *request;
    rest.stateMask &= ~LVIS_STATEIMAGEMASK;
    if (rest.stateMask) CallWindowProcW(previousListProc, list, LVM_SETITEMSTATE, wParam, reinterpret_cast<LPARAM>(&rest));
    return TRUE;
}

// A click on a row's box ticks or unticks it; the row is not selected.
// The box is in the first column: Wine's list reports a click anywhere
// on a row of full-row selection as on its state icon, unless asked
// about the cell.
bool ClickedBox(HWND list, LPARAM point, int& row) {
    LVHITTESTINFO hit = {};
    hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    row = ListView_SubItemHitTest(list, &hit);
    return row >= 0 && hit.iSubItem == 0 && (hit.flags & LVHT_ONITEMSTATEICON);
}

// Wine's list of owner data moves its one selected row by clearing the
// selection from every row, asking about each: 70 ms at 100,000 rows. The
// selected row is cleared here by name first, which leaves the list
// nothing to clear; a key that moves nothing gets the row back.
LRESULT MoveSelection(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    int selected = GetKeyState(VK_CONTROL) < 0 ? -1 : FirstSelectedRow();
    if (selected >= 0) ListView_SetItemState(list, selected, 0, LVIS_SELECTED);
    LRESULT result = CallWindowProcW(previousListProc, list, message, wParam, lParam);
    if (selected >= 0 && ListView_GetSelectedCount(list) == 0) {
        ListView_SetItemState(list, selected, LVIS_SELECTED, LVIS_SELECTED);
    }
    return result;
}

bool MovesSelection(WPARAM key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            return true;
    }
    return false;
}

LRESULT CALLBACK ContactListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    int row = -1;
    switch (message) {
        case LVM_SETITEMSTATE:
            return SetItemStateMessage(list, wParam, reinterpret_cast<const LVITEMW*>(lParam));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (ClickedBox(list, lParam, row)) {
                SetFocus(list);
                ToggleRowTick(row);
                return 0;
            }
            if (row >= 0 && message == WM_LBUTTONDOWN) return MoveSelection(list, message, wParam, lParam);
            break;
        case WM_RBUTTONDOWN:
            ClickedBox(list, lParam, row);
            if (row >= 0) return MoveSelection(list, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                ToggleRowTick(ListView_GetNextItem(list, -1, LVNI_FOCUSED));
                return 0;
            }
            if (MovesSelection(wParam)) return MoveSelection(list, message, wParam, lParam);
            break;
        case WM_CHAR:  // a letter finds the next row whose name begins with it
            return MoveSelection(list, message, wParam, lParam);
    }
    return CallWindowProcW(previousListProc, list, message, wParam, lParam);
}

// The colours the list fills a row with and writes its text in: the
// selection's while it has the focus, a grey one without (it shows its
// selection always), else its own.
void RowColours(HWND list, int row, COLORREF& background, COLORREF& text) {
    if (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED) {
        bool focused = GetFocus() == list;
        background = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_3DFACE);
        text = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
        return;
    }
    background = ListView_GetTextBkColor(list);
    if (background == CLR_DEFAULT || background == CLR_NONE) background = GetSysColor(COLOR_WINDOW);
    text = ListView_GetTextColor(list);
    if (text == CLR_DEFAULT) text = GetSysColor(COLOR_WINDOWTEXT);
}

bool RowHoldsSurrogatePair(HWND list, const ContactRecord& record) {
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int column = 0; column < columns; ++column) {
        if (HoldsSurrogatePair(CellText(record, column))) return true;
    }
    return false;
}

// A cell that holds a character beyond the basic plane, written again
// over the list's own drawing through Uniscribe; the list has drawn its
// check box, which stays.
void RedrawRareCell(const NMLVCUSTOMDRAW& draw, const std::wstring& text) {
    HWND list = draw.nmcd.hdr.hwndFrom;
    int row = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT label;
    if (!ListView_GetSubItemRect(list, row, draw.iSubItem, LVIR_LABEL, &label)) return;
    COLORREF background, ink;
    RowColours(list, row, background, ink);
    HDC dc = draw.nmcd.hdc;
    HBRUSH fill = CreateSolidBrush(background);
    FillRect(dc, &label, fill);
    DeleteObject(fill);
    COLORREF previousInk = SetTextColor(dc, ink);
    RECT textBox = label;
    InflateRect(&textBox, -DpiScale(CellTextMargin), 0);
    DrawShapedLine(dc, text, textBox);
    SetTextColor(dc, previousInk);
}

}  // namespace

void SetUpContactListRows(HWND list) {
    ListView_SetCallbackMask(list, LVIS_STATEIMAGEMASK);
    previousListProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ContactListProc)));
}

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

void RefreshList() {
    HWND list = App.contactList;
    FilterState filters = ReadFilterState();
    int shown = ApplyFilters(App.document.contacts, filters);
    // A rebuild leaves no row selected and the view at the top. The one
    // selected and the one focused row are cleared by name: clearing "every
    // row" asks the list about each of them.
    for (int row : {FirstSelectedRow(), ListView_GetNextItem(list, -1, LVNI_FOCUSED)}) {
        if (row >= 0) ListView_SetItemState(list, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // A new row count sets the list's scroll bars anew, which under Wine
    // redraws them and its frame at once, several times over: most of a
    // refresh. The count is set while the window counts as hidden, and
    // the frame is painted once with the rows; an unchanged count is not
    // set again.
    bool newCount = shown != ListView_GetItemCount(list);
    RECT before;
    GetClientRect(list, &before);
    if (newCount) {
        CallWindowProcW(DefWindowProcW, list, WM_SETREDRAW, FALSE, 0);
        ListView_SetItemCountEx(list, shown, LVSICF_NOSCROLL);
    }
    if (shown > 0) ListView_EnsureVisible(list, 0, FALSE);
    if (newCount) CallWindowProcW(DefWindowProcW, list, WM_SETREDRAW, TRUE, 0);
    // The header above the rows (the list clips its children) is painted
    // again only when the vertical scroll bar came or went and so changed
    // its width: under Wine its titles are drawn through the theme, and
    // repainting them took a third of a refresh.
    RECT after;
    GetClientRect(list, &after);
    UINT header = after.right == before.right ? RDW_NOCHILDREN : RDW_ALLCHILDREN;
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | header | (newCount ? RDW_FRAME : 0));
}

void ContactList_OnGetDispInfo(NMLVDISPINFOW* request) {
    LVITEMW& item = request->item;
    const ContactRecord* record = RowRecord(item.iItem);
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | (record && IsTicked(*record) ? TickedState : UntickedState);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (!record) return;
    std::wstring text = CellText(*record, item.iSubItem);
    size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, length);
    item.pszText[length] = L'\0';
}

LRESULT ContactList_OnFindItem(const NMLVFINDITEMW* request) {
    const LVFINDINFOW& find = request->lvfi;
    if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz) return -1;
    int rows = ListView_GetItemCount(App.contactList);
    size_t length = wcslen(find.psz);
    int start = request->iStart < 0 || request->iStart >= rows ? 0 : request->iStart;
    for (int step = 0; step < rows; ++step) {
        int row = start + step;
        if (row >= rows) {
            if (!(find.flags & LVFI_WRAP)) break;
            row -= rows;
        }
        const ContactRecord* record = RowRecord(row);
        if (!record) break;
        std::wstring name = CellText(*record, 0);
        bool whole = !(find.flags & LVFI_PARTIAL);
        if (whole ? _wcsicmp(name.c_str(), find.psz) == 0 : _wcsnicmp(name.c_str(), find.psz, length) == 0) return row;
    }
    return -1;
}

LRESULT ContactList_OnCustomDraw(const NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            // Only a row with such a character hears of its cells, so a
            // paint of other rows costs what it did.
            const ContactRecord* record = RowRecord(static_cast<int>(draw->nmcd.dwItemSpec));
            return record && RowHoldsSurrogatePair(draw->nmcd.hdr.hwndFrom, *record) ? CDRF_NOTIFYSUBITEMDRAW
                                                                                      : CDRF_DODEFAULT;
        }
        case CDDS_SUBITEM | CDDS_ITEMPREPAINT: {
            // Only a cell with a surrogate pair asks to be drawn again.
            const ContactRecord* record = RowRecord(static_cast<int>(draw->nmcd.dwItemSpec));
            return record && HoldsSurrogatePair(CellText(*record, draw->iSubItem)) ? CDRF_NOTIFYPOSTPAINT
                                                                                      : CDRF_DODEFAULT;
        }
        case CDDS_SUBITEM | CDDS_ITEMPOSTPAINT:
            if (const ContactRecord* record = RowRecord(static_cast<int>(draw->nmcd.dwItemSpec))) {
                RedrawRareCell(*draw, CellText(*record, draw->iSubItem));
            }
            return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}


// Under Wine, LVM_GETNEXTITEM asks about every row before the one it finds,
// and about all of them when none is selected. The one selected row is
// nearly always the focused one, which the list knows at once.
int FirstSelectedRow() {
    HWND list = App.contactList;
    if (ListView_GetSelectedCount(list) == 0) return -1;
    int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focused >= 0 && ListView_GetItemState(list, focused, LVIS_SELECTED)) return focused;
    return ListView_GetNextItem(list, -1, LVNI_SELECTED);
}

void FillGroupFilter() {
    ComboBox_ResetContent(App.groupFilter);
    ComboBox_AddString(App.groupFilter, AllGroupsChoice);
    for (int i = 0; i < GroupCount(App.document.groups); ++i) {
        ComboBox_AddString(App.groupFilter, WideFromGbk(GroupName(App.document.groups, i)).c_str());
    }
    ComboBox_SetCurSel(App.groupFilter, 0);
}

void FillGroupFilterKeepingChoice() {
    int chosen = ComboBox_GetCurSel(App.groupFilter);
    FillGroupFilter();
    if (chosen > 0 && chosen < ComboBox_GetCount(App.groupFilter)) ComboBox_SetCurSel(App.groupFilter, chosen);
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
