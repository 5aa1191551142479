// The small 16 x 16 icons of the menus, the toolbar buttons and the
// contact list's check boxes: loaded when the main window is created, and
// again at the new size when its DPI changes; released when it closes.
#pragma once

#include <windows.h>

// Their size at 96 DPI.
const int SmallIconSize = 16;

// Loads every small icon at CommandIconSize. Loading again first releases
// what was loaded.
void LoadCommandIcons();

// The size the icons are loaded and drawn at: 16 pixels scaled to the DPI
// of the main window.
int CommandIconSize();

// Releases every icon LoadCommandIcons loaded.
void FreeCommandIcons();

// The loaded icon of an icon resource; null when it is not one of the
// small icons or they are not loaded.
HICON CommandIcon(int iconResource);

// The icon resource shown beside a menu command; 0 for a command without one.
int MenuIconFor(UINT commandId);

// The icon resource of a toolbar button; 0 for any other control.
int ButtonIconFor(UINT controlId);
