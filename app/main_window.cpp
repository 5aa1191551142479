#include "app/main_window.h"

#include <windowsx.h>
#include <commctrl.h>

#include "app/command_icons.h"
#include "app/commands.h"
#include "app/owner_drawn.h"
#include "listview/contact_list.h"
#include "platform/file_names.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

const wchar_t ExitQuestion[] = L"在退出之前是否保存？";
const wchar_t ExitCaption[] = L"退出";
const wchar_t NewDocumentSuffix[] = L" - 新文件";
const wchar_t TempBookName[] = L"temp.txl";

// The window as first created; PlaceMainWindow then centres it a little larger.
const int InitialWidth = 600;
const int InitialHeight = 400;
const int PlacedWidth = 608;
const int PlacedHeight = 434;

// The contact list sits below the strip of search, filter and buttons.
const int ListTop = 22;
const int ListRightMargin = 2;

const DWORD SmallControlStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
const DWORD FilterStyle = SmallControlStyle | CBS_DROPDOWNLIST;
const DWORD ButtonStyle = SmallControlStyle | BS_OWNERDRAW;
const DWORD ListStyle = SmallControlStyle | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                        LVS_NOSORTHEADER | LVS_OWNERDATA;
const DWORD ListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;

struct ChildControl {
    const wchar_t* className;
    int id;
    int x, y, width, height;
    DWORD style;
    const wchar_t* text;
    HWND AppState::*handle;
};

// In creation order. The first six get the UI font; the list keeps its own.
const ChildControl childControls[] = {
    {L"edit", IDC_QUICK_SEARCH, 103, 1, 120, 20, SmallControlStyle, L"", &AppState::quickSearchBox},
    {L"combobox", IDC_FIELD_FILTER, 1, 1, 100, 100, FilterStyle, L"", &AppState::fieldFilter},
    {L"combobox", IDC_GROUP_FILTER, 480, 1, 100, 100, FilterStyle, L"", &AppState::groupFilter},
    {L"button", IDC_ADD_BUTTON, 231, 1, 70, 20, ButtonStyle, L"添加", &AppState::addButton},
    {L"button", IDC_EDIT_BUTTON, 305, 1, 70, 20, ButtonStyle, L"编辑", &AppState::editButton},
    {L"button", IDC_DELETE_BUTTON, 379, 1, 70, 20, ButtonStyle, L"删除", &AppState::deleteButton},
    {WC_LISTVIEWW, IDC_CONTACT_LIST, 1, 20, 600, 352, ListStyle, nullptr, &AppState::contactList},
};
const int FontedControlCount = 6;

const int CheckImageSize = 16;

HFONT CreateUiFont() {
    return CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, FF_SWISS, L"宋体");
}

void CreateChildControls(HWND window) {
    for (size_t i = 0; i < sizeof childControls / sizeof childControls[0]; ++i) {
        const ChildControl& control = childControls[i];
        HWND handle = CreateWindowExW(0, control.className, control.text, control.style, control.x, control.y,
                                      control.width, control.height, window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), App.instance, nullptr);
        App.*control.handle = handle;
        if (static_cast<int>(i) < FontedControlCount) SetWindowFont(handle, App.uiFont, TRUE);
    }
}

// The two check-box images come from the small icons; the list keeps its own copies.
HIMAGELIST CreateCheckBoxImages() {
    HIMAGELIST images = ImageList_Create(CheckImageSize, CheckImageSize, ILC_MASK, 1, 1);
    for (int icon : {IDI_CHECK_EMPTY, IDI_CHECK_TICKED}) ImageList_AddIcon(images, CommandIcon(icon));
    return images;
}

// Column widths are fixed: the header neither sizes nor presses columns.
LRESULT CALLBACK HeaderFilterProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a double-click on a divider would size the column to fit
            return 0;
    }
    return CallWindowProcW(App.previousHeaderProc, header, message, wParam, lParam);
}

void SetUpContactList() {
    HWND list = App.contactList;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ListExtendedStyle);
    App.stateImages = CreateCheckBoxImages();
    ListView_SetImageList(list, App.stateImages, LVSIL_STATE);
    SetUpContactListRows(list);

    HWND header = FindWindowExW(list, nullptr, WC_HEADERW, nullptr);
    App.previousHeaderProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderFilterProc)));
}

// Start-up opens the default book from the start folder; whatever goes
// wrong, it starts quietly with a new one and leaves the file alone.
void OpenDefaultBook() {
    PathString path = StartFolderFile(PathFromGbk(App.settings.DefaultFileName));
    if (PathFits(path) && ReadAddressBook(path, App.document.groups, App.document.contacts) == LoadOk) {
        App.document.currentPath = path;
    } else {
        ResetDocument(App.document);
    }
    ShowDocument();
}

BOOL MainWindow_OnCreate(HWND window, LPCREATESTRUCT) {
    App.mainWindow = window;
    App.startFolder = CurrentDirectory();  // before any file dialog can move it
    App.editedRecord = nullptr;
    LoadCommandIcons();
    CreateChildControls(window);
    SetUpContactList();
    LoadSettings(App.settings, SettingsPath(App.startFolder));
    OpenDefaultBook();
    return TRUE;
}

void MainWindow_OnSize(HWND, UINT, int width, int height) {
    MoveWindow(App.contactList, 0, ListTop, width - ListRightMargin, height - ListTop, TRUE);
}

void MainWindow_OnSizing(WPARAM edge, RECT* dragged) {
    if (dragged->right - dragged->left <= MinimumWindowWidth) {
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) {
            dragged->left = dragged->right - MinimumWindowWidth;
        } else {
            dragged->right = dragged->left + MinimumWindowWidth;
        }
    }
    if (dragged->bottom - dragged->top <= MinimumWindowHeight) dragged->bottom = dragged->top + MinimumWindowHeight;
}

// The exit prompt. Returns true when the window may close. A book that
// cannot be saved keeps the window open, so nothing is lost.
bool MainWindow_OnClose(HWND window) {
    int answer = ShowMessage(window, ExitQuestion, ExitCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO) return false;
    if (answer == IDYES) {
        // A book that has never been named goes to "temp.txl" beside the
        // settings, not wherever the file dialogs have moved the current directory.
        PathString path = App.document.currentPath.empty() ? StartFolderFile(TempBookName) : App.document.currentPath;
        if (!SaveBook(window, path)) return false;
    }
    FreeCommandIcons();
    SaveSettings(App.settings, SettingsPath(App.startFolder));
    PostQuitMessage(0);
    return true;
}

}  // namespace

void StartUserInterface(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    windowClass.lpszClassName = MainWindowClass;
    RegisterClassW(&windowClass);

    InitCommonControls();
    App.uiFont = CreateUiFont();
    App.instance = instance;
}

HWND CreateMainWindow(HINSTANCE instance) {
    App.instance = instance;
    HWND window = CreateWindowExW(0, MainWindowClass, ProgramTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                  InitialWidth, InitialHeight, nullptr, nullptr, instance, nullptr);
    if (window) MakeMenusOwnerDrawn(GetMenu(window));
    return window;
}

void PlaceMainWindow(HWND window) {
    // Centred as a 600 x 400 window, although it is made 608 x 434.
    int x = (GetSystemMetrics(SM_CXSCREEN) - InitialWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - InitialHeight) / 2;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, PlacedWidth, PlacedHeight, SWP_SHOWWINDOW);
}

int RunMessageLoop() {
    MSG message = {};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (message.message != WM_QUIT) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            WaitMessage();
        }
    }
    return static_cast<int>(message.wParam);
}

void ShowDocument() {
    RebuildColumns();
    FillGroupFilter();
    RefreshList();
    UpdateTitle();
}

void UpdateTitle() {
    std::wstring title = ProgramTitle;
    if (App.document.currentPath.empty()) {
        title += NewDocumentSuffix;
    } else {
        title += L" - \"" + App.document.currentPath + L"\"";
    }
    SetWindowTextW(App.mainWindow, title.c_str());
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            MainWindow_OnCreate(window, reinterpret_cast<LPCREATESTRUCT>(lParam));
            break;
        case WM_SIZE:
            MainWindow_OnSize(window, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_SIZING:
            MainWindow_OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
            break;
        case WM_CLOSE:
            if (!MainWindow_OnClose(window)) return 0;
            break;  // the default procedure destroys the window
        case WM_COMMAND:
            MainWindow_OnCommand(window, wParam, lParam);
            break;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == App.contactList) return MainWindow_OnContactListNotify(window, header);
            break;
        }
        case WM_MEASUREITEM:
            if (MainWindow_OnMeasureItem(static_cast<UINT>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_DRAWITEM:
            if (MainWindow_OnDrawItem(static_cast<UINT>(wParam), reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
