#include "ui/folder_browser.h"

#include <shlobj.h>

namespace {

FolderBrowser replacement;

bool SystemFolderBrowser(HWND owner, const wchar_t* title, PathString& folder) {
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen) return false;
    wchar_t path[MAX_PATH] = {};
    bool found = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!found) return false;  // a virtual folder such as the printers has no path
    folder = path;
    return true;
}

}  // namespace

bool BrowseForFolder(HWND owner, const wchar_t* title, PathString& folder) {
    if (replacement) return replacement(owner, title, folder);
    return SystemFolderBrowser(owner, title, folder);
}

void ReplaceFolderBrowser(FolderBrowser browser) { replacement = std::move(browser); }
