// The flat look of the main window's menus and toolbar buttons: every item
// of the menu bar, its drop-downs and the context menu, and the three
// buttons 添加, 编辑 and 删除, are measured and painted here.
#pragma once

#include <windows.h>

// Turns every item of the menu bar, of its drop-downs and of their
// submenus owner-drawn. The bar items and the submenus 导入 and 输出 get
// the drawing ids IDM_DRAW_BAR_FIRST to IDM_DRAW_EXPORT_MENU; every other
// item keeps its own id, and every separator 0. Captions stay in the menu, where drawing reads them.
void MakeMenusOwnerDrawn(HMENU menuBar);

// Turns every item of a pop-up menu owner-drawn under its own id, as the
// context menu of the contact list is shown.
void MakePopupOwnerDrawn(HMENU popup);

// WM_MEASUREITEM and WM_DRAWITEM of the main window, with their wParam.
// False when the request is not one of ours.
bool MainWindow_OnMeasureItem(UINT controlId, MEASUREITEMSTRUCT* item);
bool MainWindow_OnDrawItem(UINT controlId, const DRAWITEMSTRUCT* item);
