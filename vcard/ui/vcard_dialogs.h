// The vCard exchange dialogs: the export dialog and the directory dialog
// of the batch import.
#pragma once

#include <windows.h>

#include "platform/platform.h"

// The folder last picked in either dialog's folder browser, or confirmed
// in the directory dialog; the batch import reads its folder from here.
extern PathString ChosenDirectory;

// Exports the ticked or all contacts as vCard files into a folder the user
// names, in the encoding the user picks. Modal over `owner`; 1 when the
// export button was pressed (whether or not anything was written), 0 when
// cancelled. When files could not be written the user is told how many.
int ExportVcardDialog(HWND owner);

// Asks for a folder, under the caption `caption`. 1 when the user
// confirmed a folder, whose path, without the spaces around it, is then
// in ChosenDirectory; 0 when cancelled. An empty or all-space path keeps
// the dialog open.
int DirectoryDialog(HWND owner, const wchar_t* caption);
