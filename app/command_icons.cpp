#include "app/command_icons.h"

#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"

namespace {

// Every small icon, in the order they are loaded.
const int SmallIconResources[] = {
    IDI_CHECK_TICKED,   IDI_CHECK_EMPTY, IDI_ADD_CONTACT, IDI_DELETE_CONTACT, IDI_EDIT_CONTACT,
    IDI_NEW_BOOK,       IDI_OPEN_BOOK,   IDI_SAVE_BOOK,   IDI_SETTINGS,       IDI_ABOUT,
    IDI_HELP_TOPICS,    IDI_GROUPS,      IDI_FEEDBACK,    IDI_SAVE_DEFAULT,   IDI_SYNC,
};
const int SmallIconCount = sizeof SmallIconResources / sizeof SmallIconResources[0];

HICON loadedIcons[SmallIconCount];

struct CommandIconEntry {
    UINT command;
    int icon;
};

// MenuIconTable: the icon beside each menu command that has one. Save as,
// exit, delete ticked, tick all, import and export have none.
const CommandIconEntry MenuIconTable[] = {
    {IDM_FILE_NEW, IDI_NEW_BOOK},
    {IDM_FILE_OPEN, IDI_OPEN_BOOK},
    {IDM_FILE_SAVE, IDI_SAVE_BOOK},
    {IDM_FILE_SAVE_DEFAULT, IDI_SAVE_DEFAULT},
    {IDM_ITEM_ADD, IDI_ADD_CONTACT},
    {IDM_ITEM_EDIT, IDI_EDIT_CONTACT},
    {IDM_ITEM_DELETE, IDI_DELETE_CONTACT},
    {IDM_SETTINGS, IDI_SETTINGS},
    {IDM_GROUPS, IDI_GROUPS},
    {IDM_SYNC, IDI_SYNC},
    {IDM_FEEDBACK, IDI_FEEDBACK},
    {IDM_HELP_TOPICS, IDI_HELP_TOPICS},
    {IDM_ABOUT, IDI_ABOUT},
};

// The toolbar buttons show the icons of their commands.
const CommandIconEntry ButtonIconTable[] = {
    {IDC_ADD_BUTTON, IDI_ADD_CONTACT},
    {IDC_EDIT_BUTTON, IDI_EDIT_CONTACT},
    {IDC_DELETE_BUTTON, IDI_DELETE_CONTACT},
};

template <size_t N>
int IconIn(const CommandIconEntry (&table)[N], UINT id) {
    for (const CommandIconEntry& entry : table) {
        if (entry.command == id) return entry.icon;
    }
    return 0;
}

}  // namespace

void LoadCommandIcons() {
    FreeCommandIcons();
    int size = CommandIconSize();
    for (int i = 0; i < SmallIconCount; ++i) {
        // Each icon holds a picture drawn for every usual size (16, 20, 24,
        // 28 and 32 pixels); this takes the one of the display's DPI.
        loadedIcons[i] = static_cast<HICON>(LoadImageW(App.instance, MAKEINTRESOURCEW(SmallIconResources[i]),
                                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    }
}

int CommandIconSize() { return DpiScale(SmallIconSize); }

void FreeCommandIcons() {
    for (HICON& icon : loadedIcons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

HICON CommandIcon(int iconResource) {
    for (int i = 0; i < SmallIconCount; ++i) {
        if (SmallIconResources[i] == iconResource) return loadedIcons[i];
    }
    return nullptr;
}

int MenuIconFor(UINT commandId) { return IconIn(MenuIconTable, commandId); }

int ButtonIconFor(UINT controlId) { return IconIn(ButtonIconTable, controlId); }
