// The main window's commands: the file commands and the life of the open
// document, the item commands, and what the contact list reports.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/platform.h"
#include "store/address_book_file.h"

// WM_COMMAND: menu items, toolbar buttons, the context menu, and the
// notifications of the search box and the two filters.
void MainWindow_OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// WM_NOTIFY from the contact list: double-click, right-click, and the texts,
// check boxes and type-ahead of its rows.
LRESULT MainWindow_OnContactListNotify(HWND window, const NMHDR* notification);

// Writes the open book to a path. On success the book is tied to that path
// (currentPath) and true is returned; on failure the user is warned with
// the file's name, currentPath is left as it was, and false is returned.
bool SaveBook(HWND owner, const PathString& path);

// Tells the user why the reader refused a book, naming the file: a
// warning titled "错误", as Open and start-up show it.
void ShowLoadFailure(HWND owner, LoadResult result, const PathString& path);
// The book was read, but the contacts' other information was damaged and left out.
void ShowDetailsRefused(HWND owner, const PathString& path);
