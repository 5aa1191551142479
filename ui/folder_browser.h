// The system's folder browser, as the vCard export and the batch import
// use it to fill their directory boxes.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/platform.h"

// Shows the folder browser owned by `owner`, with `title` above its tree
// and only file-system folders to choose from. True when the user picked a
// folder; its path is then in `folder`. On cancel `folder` is untouched.
bool BrowseForFolder(HWND owner, const wchar_t* title, PathString& folder);

// The folder browser is the shell's own window, which a UI test cannot
// drive; a test puts its stand-in here. An empty function brings back the
// system's browser.
using FolderBrowser = std::function<bool(HWND owner, const wchar_t* title, PathString& folder)>;
void ReplaceFolderBrowser(FolderBrowser browser);
