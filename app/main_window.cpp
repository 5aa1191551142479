#include "app/main_window.h"

#include <windowsx.h>
#include <commctrl.h>

#include "app/command_icons.h"
#include "app/commands.h"
#include "app/owner_drawn.h"
#include "editor/contact_editor.h"
#include "listview/ui/contact_list.h"
#include "platform/file_names.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/file_dialogs.h"
#include "ui/ui_text.h"

namespace {

const wchar_t ExitQuestion[] = L"在退出之前是否保存？";
const wchar_t ExitCaption[] = L"退出";
const wchar_t NewDocumentSuffix[] = L" - 新文件";
const wchar_t TempBookStem[] = L"temp";
const wchar_t TempBookExtension[] = L".txl";
const wchar_t SaveCaption[] = L"保存";
const wchar_t TempBookSavedText[] = L"通讯录已保存到：\n%s\n可以用“文件”菜单的“打开...”再打开它。";

// Posted by start-up when the default book was refused, so that the reason
// is shown once the window is up; wParam is the reader's LoadResult.
const UINT WM_DEFAULT_BOOK_REFUSED = WM_APP + 1;
const UINT WM_DEFAULT_BOOK_DETAILS_REFUSED = WM_APP + 2;

// Every size and position here is in pixels at 96 DPI, scaled to the
// display's DPI where it is used.

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
// WS_CLIPCHILDREN keeps the header out of the rows' repaints: a refresh
// repaints the rows alone, not every column's title above them.
const DWORD ListStyle = SmallControlStyle | WS_CLIPCHILDREN | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER | LVS_OWNERDATA;
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
    {WC_LISTVIEWW, IDC_CONTACT_LIST, 1, ListTop, 600, 352, ListStyle, nullptr, &AppState::contactList},
};
const int FontedControlCount = 6;

const int UiFontHeight = 12;

HFONT CreateUiFont(int dpi) {
    return CreateFontW(DpiScale(UiFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0,
                       FF_SWISS, L"宋体");
}

// Makes the UI font for another DPI; the old one is the caller's to delete
// once no control uses it.
HFONT ChangeDpi(int dpi) {
    HFONT previous = App.uiFont;
    App.dpi = dpi;
    App.uiFont = CreateUiFont(dpi);
    return previous;
}

void CreateChildControls(HWND window) {
    for (size_t i = 0; i < sizeof childControls / sizeof childControls[0]; ++i) {
        const ChildControl& control = childControls[i];
        HWND handle = CreateWindowExW(0, control.className, control.text, control.style, DpiScale(control.x),
                                      DpiScale(control.y), DpiScale(control.width), DpiScale(control.height), window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), App.instance, nullptr);
        App.*control.handle = handle;
        if (static_cast<int>(i) < FontedControlCount) SetWindowFont(handle, App.uiFont, TRUE);
    }
}

// The strip of filters, search box and buttons laid out anew at App.dpi,
// in the UI font made for it.
void LayOutToolbar() {
    for (int i = 0; i < FontedControlCount; ++i) {
        const ChildControl& control = childControls[i];
        HWND handle = App.*control.handle;
        SetWindowFont(handle, App.uiFont, FALSE);
        MoveWindow(handle, DpiScale(control.x), DpiScale(control.y), DpiScale(control.width),
                   DpiScale(control.height), TRUE);
    }
}

// The two check-box images come from the small icons, at their size; the
// list keeps its own copies.
HIMAGELIST CreateCheckBoxImages() {
    int size = CommandIconSize();
    HIMAGELIST images = ImageList_Create(size, size, ILC_MASK, 1, 1);
    for (int icon : {IDI_CHECK_EMPTY, IDI_CHECK_TICKED}) ImageList_AddIcon(images, CommandIcon(icon));
    return images;
}

// The list draws in the system's icon-title font, which is made for the
// system's DPI. On a display of another DPI (a second monitor, or after
// the scale was changed without signing out) it gets that font at the
// display's DPI instead; back on the system's, its own again.
void FitListFont() {
    HFONT previous = App.listFont;
    App.listFont = nullptr;
    LOGFONTW font;
    if (App.dpi != SystemDpi() && IconTitleFontForDpi(App.dpi, &font)) App.listFont = CreateFontIndirectW(&font);
    if (App.listFont || previous) SetWindowFont(App.contactList, App.listFont, TRUE);
    if (previous) DeleteObject(previous);
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
    FitListFont();
    SetUpContactListRows(list);

    HWND header = FindWindowExW(list, nullptr, WC_HEADERW, nullptr);
    App.previousHeaderProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderFilterProc)));
}

PathString DefaultBookPath() { return StartFolderFile(PathFromGbk(App.settings.DefaultFileName)); }

// Start-up opens the default book from the start folder, or else starts a
// new one; a missing book is no fault, but one the reader refuses is named
// with its reason, and the file is left alone for the user to deal with.
void OpenDefaultBook(HWND window) {
    PathString path = DefaultBookPath();
    DetailsSectionResult section = DetailsSectionResult::Absent;
    LoadResult result =
        PathFits(path) ? ReadAddressBook(path, App.document.groups, App.document.contacts, &section) : OpenFailed;
    if (result == LoadOk) {
        App.document.currentPath = path;
        if (section == DetailsSectionResult::Refused) PostMessageW(window, WM_DEFAULT_BOOK_DETAILS_REFUSED, 0, 0);
    } else {
        ResetDocument(App.document);
        if (PathFits(path) && PathExists(path)) PostMessageW(window, WM_DEFAULT_BOOK_REFUSED, result, 0);
    }
    ShowDocument();
}

BOOL MainWindow_OnCreate(HWND window, LPCREATESTRUCT) {
    App.mainWindow = window;
    App.startFolder = CurrentDirectory();  // before any file dialog can move it
    App.editedRecord = nullptr;
    // The font was made for the system's DPI; the window's display may have another.
    int dpi = WindowDpi(window);
    if (dpi != App.dpi) DeleteObject(ChangeDpi(dpi));
    LoadCommandIcons();
    CreateChildControls(window);
    SetUpContactList();
    LoadSettings(App.settings, SettingsPath(App.startFolder));
    OpenDefaultBook(window);
    return TRUE;
}

void MainWindow_OnSize(HWND, UINT, int width, int height) {
    int top = DpiScale(ListTop);
    MoveWindow(App.contactList, 0, top, width - DpiScale(ListRightMargin), height - top, TRUE);
}

void MainWindow_OnSizing(WPARAM edge, RECT* dragged) {
    int minimumWidth = DpiScale(MinimumWindowWidth);
    int minimumHeight = DpiScale(MinimumWindowHeight);
    if (dragged->right - dragged->left <= minimumWidth) {
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) {
            dragged->left = dragged->right - minimumWidth;
        } else {
            dragged->right = dragged->left + minimumWidth;
        }
    }
    if (dragged->bottom - dragged->top <= minimumHeight) dragged->bottom = dragged->top + minimumHeight;
}

// The window moved to a display of another DPI (or the user changed the
// scale): everything the program sized in pixels is sized anew, and the
// window takes the place Windows suggests for it.
void MainWindow_OnDpiChanged(HWND window, int dpi, const RECT& suggested) {
    HFONT previousFont = ChangeDpi(dpi);
    LoadCommandIcons();
    LayOutToolbar();
    DeleteObject(previousFont);

    HIMAGELIST previousImages = App.stateImages;
    App.stateImages = CreateCheckBoxImages();
    ListView_SetImageList(App.contactList, App.stateImages, LVSIL_STATE);
    ImageList_Destroy(previousImages);  // shared with the list, which never destroys it
    FitListFont();
    ScaleColumnWidths();

    ForgetContactEditor();  // made anew at the new DPI when next opened
    MakeMenusOwnerDrawn(GetMenu(window));  // every item is measured again
    DrawMenuBar(window);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);  // the list's top moves even when the size does not
    MainWindow_OnSize(window, SIZE_RESTORED, client.right, client.bottom);
}

// "temp.txl" in the start folder, or when that is taken, the first free of
// "temp(2).txl", "temp(3).txl", ...: a book saved at exit never replaces one
// saved at an earlier exit.
PathString FreeTempBookPath() {
    PathString path = StartFolderFile(std::wstring(TempBookStem) + TempBookExtension);
    for (int n = 2; PathExists(path); ++n) {
        path = StartFolderFile(TempBookStem + (L"(" + std::to_wstring(n) + L")") + TempBookExtension);
    }
    return path;
}

// The exit prompt. Returns true when the window may close. A book that
// cannot be saved keeps the window open, so nothing is lost.
bool MainWindow_OnClose(HWND window) {
    int answer = ShowMessage(window, ExitQuestion, ExitCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO) return false;
    if (answer == IDYES) {
        // A book that has never been named goes beside the settings, not
        // wherever the file dialogs have moved the current directory, and
        // the user is told its name, as nobody chose it.
        bool named = !App.document.currentPath.empty();
        PathString path = named ? App.document.currentPath : FreeTempBookPath();
        if (!SaveBook(window, path)) return false;
        if (!named) ShowMessage(window, FillIn(TempBookSavedText, {path}), SaveCaption, MB_OK | MB_ICONINFORMATION);
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
    App.dpi = SystemDpi();
    App.uiFont = CreateUiFont(App.dpi);
    App.instance = instance;
}

HWND CreateMainWindow(HINSTANCE instance) {
    App.instance = instance;
    HWND window = CreateWindowExW(0, MainWindowClass, ProgramTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                  DpiScale(InitialWidth), DpiScale(InitialHeight), nullptr, nullptr, instance, nullptr);
    if (window) MakeMenusOwnerDrawn(GetMenu(window));
    return window;
}

void PlaceMainWindow(HWND window) {
    // Centred as a 600 x 400 window, although it is made 608 x 434.
    int x = (GetSystemMetrics(SM_CXSCREEN) - DpiScale(InitialWidth)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - DpiScale(InitialHeight)) / 2;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, DpiScale(PlacedWidth), DpiScale(PlacedHeight), SWP_SHOWWINDOW);
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
        case WM_DPICHANGED:
            MainWindow_OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            if (!MainWindow_OnClose(window)) return 0;
            break;  // the default procedure destroys the window
        case WM_COMMAND:
            MainWindow_OnCommand(window, wParam, lParam);
            break;
        case WM_DEFAULT_BOOK_REFUSED:
            ShowLoadFailure(window, static_cast<LoadResult>(wParam), DefaultBookPath());
            return 0;
        case WM_DEFAULT_BOOK_DETAILS_REFUSED:
            ShowDetailsRefused(window, DefaultBookPath());
            return 0;
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
