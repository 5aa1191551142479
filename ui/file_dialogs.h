// The common open and save dialogs, as every command that asks for a file
// uses them.
#pragma once

#include <windows.h>

#include "platform/platform.h"

enum class FileDialogKind { Open, Save };

// Shows the open or save dialog, filtered to one kind of file (a name such
// as L"通讯录文件(*.txl)" and its pattern L"*.txl"). Returns true when the
// user chose a file; its full path is then in `path`. The save dialog adds
// the default extension (such as L".txl") to a name that has none.
//
// The dialogs move the current directory to the chosen file's folder, so
// the next dialog starts where the user last was; the program's own files
// stay in the start folder. The open dialog takes a read-only file (a
// card copied from a CD can be imported); the save dialog is asked to
// refuse one, and saving never replaces one in any case. The save dialog
// asks before the chosen name, with its extension, replaces a file; "否"
// goes back to the dialog.
// A path longer than the program accepts is refused with a message (and
// false), never cut.
// A second file type of the same pattern (otherFilterName) lets the user
// choose between two forms of one kind of file; chosenFilter is then 0 or 1.
bool ChooseFile(HWND owner, const wchar_t* filterName, const wchar_t* filterPattern, const wchar_t* title,
                PathString& path, FileDialogKind kind, const wchar_t* defaultExtension = L"",
                const wchar_t* otherFilterName = nullptr, int* chosenFilter = nullptr);

// True when a file or a folder has this path.
bool PathExists(const PathString& path);

// Tells the user that a path is too long to be used.
void ShowPathTooLong(HWND owner);
