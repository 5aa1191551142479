#include "app/owner_drawn.h"

#include <string>

#include "app/command_icons.h"
#include "resources/resource.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/ui_text.h"

namespace {

// Sizes asked for by the items; the height of the others is the menu bar's.
// Every size and offset here is in pixels at 96 DPI, scaled when used.
const int BarItemWidth = 40;
const int MenuItemWidth = 100;
const int SeparatorHeight = 5;

// Caption buffers, in GBK bytes with the terminator.
const size_t MenuCaptionCapacity = 30;
const size_t ButtonCaptionCapacity = 10;

const int MenuIconLeft = 2;
const int MenuIconTop = 1;
const int MenuCaptionLeft = 25;
const int MenuCaptionTop = 3;
const int BarCaptionTop = 2;
const int ButtonIconLeft = 1;
const int ButtonIconTop = 1;
const int ButtonCaptionLeft = 30;
const int ButtonCaptionTop = 3;

const COLORREF OpenBarFill = RGB(165, 165, 165);
const COLORREF HotFill = RGB(211, 211, 211);
const COLORREF HighlightBorder = RGB(10, 36, 106);
const COLORREF SeparatorUpper = RGB(140, 140, 140);
const COLORREF SeparatorLower = RGB(255, 255, 255);
const int SeparatorUpperOffset = 2;
const int LineWidth = 1;  // of the separator's lines and the items' borders

// Drop-down items that open a submenu rather than run a command: they
// need an id of their own so that drawing can find their captions.
struct SubmenuDrawingId {
    int barPosition;
    int itemPosition;
    UINT id;
};
const SubmenuDrawingId SubmenuDrawingIds[] = {
    {2, 3, IDM_DRAW_IMPORT_MENU},  // 功能 → 导入
    {2, 4, IDM_DRAW_EXPORT_MENU},  // 功能 → 输出
};

UINT ItemId(HMENU menu, int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return 0;
    return (info.fType & MFT_SEPARATOR) ? 0 : info.wID;
}

// The item keeps its caption, its submenu and its separator type: the
// menu still steps over separators and opens submenus by itself.
void MakeItemOwnerDrawn(HMENU menu, int position, UINT id) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    info.fType |= MFT_OWNERDRAW;
    info.wID = id;
    info.dwItemData = 0;
    SetMenuItemInfoW(menu, position, TRUE, &info);
}

UINT DropDownDrawingId(HMENU dropDown, int barPosition, int itemPosition) {
    for (const SubmenuDrawingId& entry : SubmenuDrawingIds) {
        if (entry.barPosition == barPosition && entry.itemPosition == itemPosition) return entry.id;
    }
    return ItemId(dropDown, itemPosition);
}

bool IsBarItem(UINT id) { return id >= IDM_DRAW_BAR_FIRST && id <= IDM_DRAW_BAR_LAST; }

// A caption as the program reads it: at most capacity - 1 bytes of GBK.
std::wstring FitCaption(const std::wstring& text, size_t capacity) {
    std::string field(capacity, '\0');
    CopyToField(&field[0], capacity, GbkFromWide(text));
    return WideFromGbk(FieldString(field.data(), capacity));
}

std::wstring MenuCaption(HMENU menu, UINT id) {
    wchar_t text[MenuCaptionCapacity] = {};
    GetMenuStringW(menu, id, text, MenuCaptionCapacity, MF_BYCOMMAND);
    return FitCaption(text, MenuCaptionCapacity);
}

// A level line from left up to right (not included), `width` rows deep from y.
void DrawLine(HDC dc, int left, int right, int y, int width, COLORREF colour) {
    RECT line = {left, y, right, y + width};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &line, brush);
    DeleteObject(brush);
}

// A rectangle over the whole item: a border of one line's width, inside
// the rectangle, and a fill.
void DrawItemBox(HDC dc, const RECT& rect, COLORREF fill, COLORREF border) {
    HPEN pen = CreatePen(PS_INSIDEFRAME, DpiScale(LineWidth), border);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, brush);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawCaption(HDC dc, const std::wstring& caption, RECT rect, UINT format) {
    int previousMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, caption.c_str(), -1, &rect, format | DT_TOP | DT_SINGLELINE);
    SetBkMode(dc, previousMode);
}

void DrawSmallIcon(HDC dc, int iconResource, int x, int y) {
    if (HICON icon = CommandIcon(iconResource)) {
        int size = CommandIconSize();
        DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    }
}

// A grey line over a white one, each as wide as a border.
void DrawSeparator(HDC dc, const RECT& rect) {
    int width = DpiScale(LineWidth);
    int left = rect.left + width;
    int upper = rect.top + DpiScale(SeparatorUpperOffset);
    DrawLine(dc, left, rect.right, upper, width, SeparatorUpper);
    DrawLine(dc, left, rect.right, upper + width, width, SeparatorLower);
}

// A bar item is darker while its menu is open, lighter under the mouse.
void DrawBarItem(const DRAWITEMSTRUCT* item, const std::wstring& caption) {
    COLORREF fill = GetSysColor(COLOR_MENU);
    COLORREF border = fill;
    if (item->itemState & ODS_SELECTED) {
        fill = OpenBarFill;
        border = HighlightBorder;
    } else if (item->itemState & ODS_HOTLIGHT) {
        fill = HotFill;
        border = HighlightBorder;
    }
    DrawItemBox(item->hDC, item->rcItem, fill, border);
    const RECT& r = item->rcItem;
    DrawCaption(item->hDC, caption, {r.left, r.top + DpiScale(BarCaptionTop), r.right, r.bottom}, DT_CENTER);
}

// Drop-down, submenu and context-menu items. Grey, disabled and checked
// items look the same as the others.
void DrawDropDownItem(const DRAWITEMSTRUCT* item, const std::wstring& caption) {
    COLORREF fill = GetSysColor(COLOR_MENU);
    COLORREF border = fill;
    if (item->itemState & ODS_SELECTED) {
        fill = HotFill;
        border = HighlightBorder;
    }
    DrawItemBox(item->hDC, item->rcItem, fill, border);
    const RECT& r = item->rcItem;
    DrawSmallIcon(item->hDC, MenuIconFor(item->itemID), r.left + DpiScale(MenuIconLeft), r.top + DpiScale(MenuIconTop));
    // Captions keep one indent, with an icon or without.
    DrawCaption(item->hDC, caption,
                {r.left + DpiScale(MenuCaptionLeft), r.top + DpiScale(MenuCaptionTop), r.right, r.bottom}, DT_LEFT);
}

void DrawMenuItem(const DRAWITEMSTRUCT* item) {
    if (item->itemID == 0) {
        DrawSeparator(item->hDC, item->rcItem);
        return;
    }
    std::wstring caption = MenuCaption(reinterpret_cast<HMENU>(item->hwndItem), item->itemID);
    if (IsBarItem(item->itemID)) {
        DrawBarItem(item, caption);
    } else {
        DrawDropDownItem(item, caption);
    }
}

// A thin raised edge, sunken while the button is pressed; the inside is
// left as it is. No focus rectangle.
void DrawToolbarButton(const DRAWITEMSTRUCT* item, int iconResource) {
    RECT edge = item->rcItem;
    DrawEdge(item->hDC, &edge, (item->itemState & ODS_SELECTED) ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_RECT);
    const RECT& r = item->rcItem;
    DrawSmallIcon(item->hDC, iconResource, r.left + DpiScale(ButtonIconLeft), r.top + DpiScale(ButtonIconTop));
    wchar_t text[ButtonCaptionCapacity] = {};
    GetWindowTextW(item->hwndItem, text, ButtonCaptionCapacity);
    DrawCaption(item->hDC, FitCaption(text, ButtonCaptionCapacity),
                {r.left + DpiScale(ButtonCaptionLeft), r.top + DpiScale(ButtonCaptionTop), r.right, r.bottom}, DT_LEFT);
}

}  // namespace

void MakeMenusOwnerDrawn(HMENU menuBar) {
    int barItems = GetMenuItemCount(menuBar);
    for (int p = 0; p < barItems; ++p) MakeItemOwnerDrawn(menuBar, p, IDM_DRAW_BAR_FIRST + p);
    for (int p = 0; p < barItems; ++p) {
        HMENU dropDown = GetSubMenu(menuBar, p);
        if (!dropDown) continue;
        for (int q = 0; q < GetMenuItemCount(dropDown); ++q) {
            MakeItemOwnerDrawn(dropDown, q, DropDownDrawingId(dropDown, p, q));
            if (HMENU submenu = GetSubMenu(dropDown, q)) MakePopupOwnerDrawn(submenu);
        }
    }
}

void MakePopupOwnerDrawn(HMENU popup) {
    for (int q = 0; q < GetMenuItemCount(popup); ++q) MakeItemOwnerDrawn(popup, q, ItemId(popup, q));
}

bool MainWindow_OnMeasureItem(UINT controlId, MEASUREITEMSTRUCT* item) {
    if (controlId != 0 || item->CtlType != ODT_MENU) return false;
    item->itemWidth = static_cast<UINT>(DpiScale(IsBarItem(item->itemID) ? BarItemWidth : MenuItemWidth));
    item->itemHeight = static_cast<UINT>(item->itemID == 0 ? DpiScale(SeparatorHeight)
                                                           : SystemMetricForDpi(SM_CYMENU, App.dpi));
    return true;
}

bool MainWindow_OnDrawItem(UINT controlId, const DRAWITEMSTRUCT* item) {
    if (controlId == 0 && item->CtlType == ODT_MENU) {
        DrawMenuItem(item);
        return true;
    }
    int buttonIcon = ButtonIconFor(controlId);
    if (buttonIcon == 0 || item->CtlType != ODT_BUTTON) return false;
    DrawToolbarButton(item, buttonIcon);
    return true;
}
