#include "ui_test_support.h"

#include <windowsx.h>

#include <algorithm>

#include "app/main_window.h"
#include "store/address_book_file.h"
#include "ui/app_state.h"

namespace {

ModalAnswers* activeAnswers = nullptr;

const wchar_t DialogClass[] = L"#32770";
const int MessageTextId = 0xFFFF;
// The icon of a message box: id 20 on Windows, 1088 under Wine.
const int MessageIconIds[] = {20, 1088};
// The file-name box of the common file dialogs: cmb13, or edt1 in the old style.
const int FileNameBoxIds[] = {0x47C, 0x480};

// How long a window is given to finish setting itself up before it is answered.
const UINT MessageDelayMs = 10;
const UINT DialogDelayMs = 100;
// A window still open this long after its answer is closed as stuck.
const UINT StuckAfterMs = 5000;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool IsShownButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && (GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);
}

std::wstring DescribeButtons(UINT buttons) {
    switch (buttons) {
        case MB_OK: return L"MB_OK";
        case MB_OKCANCEL: return L"MB_OKCANCEL";
        case MB_YESNO: return L"MB_YESNO";
        case MB_YESNOCANCEL: return L"MB_YESNOCANCEL";
        case MB_RETRYCANCEL: return L"MB_RETRYCANCEL";
        case MB_ABORTRETRYIGNORE: return L"MB_ABORTRETRYIGNORE";
    }
    return L"unknown buttons";
}

void TypeFileName(HWND dialog, const PathString& name) {
    for (int id : FileNameBoxIds) {
        if (GetDlgItem(dialog, id)) {
            SetDlgItemTextW(dialog, id, name.c_str());
            return;
        }
    }
    ADD_FAILURE() << "the file dialog has no file-name box";
}

// Closes a window nobody expected with the most harmless answer it offers.
void Dismiss(HWND window) {
    for (int id : {IDCANCEL, IDNO, IDOK}) {
        if (IsShownButton(window, id)) {
            PressButton(window, id);
            return;
        }
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
}

std::string Narrow(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace

// ---- ModalAnswers

ModalAnswers::ModalAnswers() {
    EXPECT_EQ(nullptr, activeAnswers) << "only one ModalAnswers at a time";
    activeAnswers = this;
    hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    showHook_ = SetWindowsHookExW(WH_CALLWNDPROC, ShowHookProc, nullptr, GetCurrentThreadId());
}

ModalAnswers::~ModalAnswers() {
    UnhookWindowsHookEx(showHook_);
    UnhookWindowsHookEx(hook_);
    for (const Pending& pending : pending_) KillTimer(nullptr, pending.timer);
    activeAnswers = nullptr;
    for (const Expectation& expectation : expected_) {
        ADD_FAILURE() << "never shown: \"" << Narrow(expectation.caption) << "\" " << Narrow(expectation.text);
    }
}

void ModalAnswers::ExpectMessage(const std::wstring& text, const std::wstring& caption, UINT buttonsAndIcon,
                                 int answer) {
    expected_.push_back({Kind::Message, caption, text, buttonsAndIcon, answer, nullptr});
}

void ModalAnswers::ExpectSystemMessage(int answer) {
    expected_.push_back({Kind::SystemMessage, L"", L"", 0, answer, nullptr});
}

void ModalAnswers::ExpectDialog(const std::wstring& caption, std::function<void(HWND)> act) {
    expected_.push_back({Kind::Dialog, caption, L"", 0, 0, std::move(act)});
}

void ModalAnswers::ExpectDialogAgain(const std::wstring& caption, std::function<void(HWND)> act) {
    expected_.push_back({Kind::Again, caption, L"", 0, 0, std::move(act)});
}

void ModalAnswers::ExpectFileDialog(const std::wstring& title, const PathString& path) {
    ExpectDialog(title, [path](HWND dialog) {
        TypeFileName(dialog, path);
        PressButton(dialog, IDOK);
    });
}

void ModalAnswers::ExpectFileDialogInFolder(const std::wstring& title, const PathString& folder,
                                            const PathString& name) {
    ExpectDialog(title, [folder, name](HWND dialog) {
        // A folder's path typed and confirmed opens that folder in the dialog.
        TypeFileName(dialog, folder);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        TypeFileName(dialog, name);
        PressButton(dialog, IDOK);
    });
}

void ModalAnswers::ExpectFileDialogOfType(const std::wstring& title, int type, const std::wstring& typeName,
                                          const PathString& path) {
    ExpectDialog(title, [type, typeName, path](HWND dialog) {
        // The file-type list (cmb1). A choice is told as the list tells the
        // user's: Windows' dialog reads it at CBN_SELCHANGE, Wine's at CBN_SELENDOK.
        const int typeListId = 0x470;
        HWND types = GetDlgItem(dialog, typeListId);
        wchar_t shown[128] = {};
        if (types && SendMessageW(types, CB_GETLBTEXTLEN, type, 0) < 128) {
            SendMessageW(types, CB_GETLBTEXT, type, reinterpret_cast<LPARAM>(shown));
        }
        EXPECT_EQ(typeName, std::wstring(shown));
        SendMessageW(types, CB_SETCURSEL, type, 0);
        for (WORD note : {CBN_SELCHANGE, CBN_SELENDOK}) {
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(typeListId, note), reinterpret_cast<LPARAM>(types));
        }
        TypeFileName(dialog, path);
        PressButton(dialog, IDOK);
    });
}

void ModalAnswers::ExpectFileDialogCancelled(const std::wstring& title) {
    ExpectDialog(title, [](HWND dialog) { PressButton(dialog, IDCANCEL); });
}

LRESULT CALLBACK ModalAnswers::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (activeAnswers) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE) {
            activeAnswers->OnActivate(window);
        } else if (code == HCBT_DESTROYWND) {
            activeAnswers->OnClosed(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A window hidden to be shown again later (the editor) closes as one
// destroyed does: its next showing is a new one.
LRESULT CALLBACK ModalAnswers::ShowHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (activeAnswers && code == HC_ACTION && call->message == WM_SHOWWINDOW && !call->wParam) {
        activeAnswers->OnClosed(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A closed window needs no check that its answer closed it.
void ModalAnswers::OnClosed(HWND window) {
    seen_.erase(window);
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->window == window && it->expectation.kind == Kind::Stuck) {
            KillTimer(nullptr, it->timer);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
}

// A window activates again when a box it showed closes: it is answered
// once, unless a test expects it back.
void ModalAnswers::OnActivate(HWND window) {
    if (ClassOf(window) != DialogClass) return;
    if (seen_.count(window) && (expected_.empty() || expected_.front().kind != Kind::Again)) return;
    seen_.insert(window);
    Expectation expectation;
    if (expected_.empty()) {
        expectation = {Kind::Dialog, L"", L"", 0, 0, [](HWND unexpected) {
                           ADD_FAILURE() << "unexpected window \"" << Narrow(WindowText(unexpected)) << "\": "
                                         << Narrow(MessageBoxText(unexpected));
                           Dismiss(unexpected);
                       }};
    } else {
        expectation = expected_.front();
        expected_.pop_front();
    }
    UINT delay = expectation.kind == Kind::Dialog || expectation.kind == Kind::Again ? DialogDelayMs : MessageDelayMs;
    UINT_PTR timer = SetTimer(nullptr, 0, delay, TimerProc);
    pending_.push_back({timer, window, expectation});
}

void CALLBACK ModalAnswers::TimerProc(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!activeAnswers) return;
    auto& pending = activeAnswers->pending_;
    auto it = std::find_if(pending.begin(), pending.end(), [timer](const Pending& p) { return p.timer == timer; });
    if (it == pending.end()) return;
    Pending answered = *it;
    pending.erase(it);
    if (!IsWindow(answered.window)) return;
    if (answered.expectation.kind == Kind::Stuck) {
        ADD_FAILURE() << "still open after its answer: \"" << Narrow(WindowText(answered.window)) << "\"";
        Dismiss(answered.window);
        return;
    }
    activeAnswers->Answer(answered.window, answered.expectation);
    // A test must never hang on a window its answer did not close.
    Expectation stuck = {Kind::Stuck, L"", L"", 0, 0, nullptr};
    pending.push_back({SetTimer(nullptr, 0, StuckAfterMs, TimerProc), answered.window, stuck});
}

void ModalAnswers::Answer(HWND window, const Expectation& expectation) {
    if (!expectation.caption.empty() || expectation.kind == Kind::Message) {
        EXPECT_EQ(Narrow(expectation.caption), Narrow(WindowText(window))) << "caption";
    }
    switch (expectation.kind) {
        case Kind::Message:
            EXPECT_EQ(Narrow(expectation.text), Narrow(MessageBoxText(window))) << "message text";
            EXPECT_EQ(Narrow(DescribeButtons(expectation.buttonsAndIcon & MB_TYPEMASK)),
                      Narrow(DescribeButtons(MessageBoxButtons(window))))
                << "buttons of \"" << Narrow(MessageBoxText(window)) << "\"";
            EXPECT_EQ(expectation.buttonsAndIcon & MB_ICONMASK, MessageBoxIcon(window))
                << "icon of \"" << Narrow(MessageBoxText(window)) << "\"";
            PressButton(window, expectation.answer);
            break;
        case Kind::SystemMessage:
            PressButton(window, expectation.answer);
            break;
        case Kind::Dialog:
        case Kind::Again:
            expectation.act(window);
            break;
        case Kind::Stuck:
            break;
    }
}

// ---- Pop-up menus

namespace {

PopupMenuAnswer* activeMenuAnswer = nullptr;
const UINT MenuPollMs = 20;

void PostKey(HWND window, UINT key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

PopupMenuAnswer::PopupMenuAnswer(UINT choose) : choose_(choose) {
    activeMenuAnswer = this;
    timer_ = SetTimer(nullptr, 0, MenuPollMs, TimerProc);
}

PopupMenuAnswer::~PopupMenuAnswer() {
    KillTimer(nullptr, timer_);
    activeMenuAnswer = nullptr;
}

void CALLBACK PopupMenuAnswer::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    PopupMenuAnswer* answer = activeMenuAnswer;
    if (!answer || answer->shown_) return;
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    if (!menu) return;
    answer->shown_ = true;
    KillTimer(nullptr, answer->timer_);

    int steps = 0;
    int chosenSteps = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        answer->ids.push_back(id == static_cast<UINT>(-1) ? 0 : id);
        answer->texts.push_back(text);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        answer->ownerDrawn.push_back((info.fType & MFT_OWNERDRAW) != 0);
        if (id != 0) ++steps;  // the keyboard passes over separators
        if (answer->choose_ != 0 && id == answer->choose_) chosenSteps = steps;
    }
    // The menu follows the keyboard messages of this thread, whichever window they name.
    HWND target = GetForegroundWindow() ? GetForegroundWindow() : menuWindow;
    if (chosenSteps < 0) {
        PostKey(target, VK_ESCAPE);
        return;
    }
    for (int i = 0; i < chosenSteps; ++i) PostKey(target, VK_DOWN);
    PostKey(target, VK_RETURN);
}

// ---- Message boxes and dialogs

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, MessageTextId);
    return text ? WindowText(text) : std::wstring();
}

UINT MessageBoxButtons(HWND box) {
    auto shown = [box](int id) { return IsShownButton(box, id); };
    if (shown(IDYES) && shown(IDNO)) return shown(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
    if (shown(IDABORT) && shown(IDRETRY) && shown(IDIGNORE)) return MB_ABORTRETRYIGNORE;
    if (shown(IDRETRY) && shown(IDCANCEL)) return MB_RETRYCANCEL;
    if (shown(IDOK)) return shown(IDCANCEL) ? MB_OKCANCEL : MB_OK;
    return 0xFFFF;
}

UINT MessageBoxIcon(HWND box) {
    const struct {
        LPCWSTR icon;
        UINT style;
    } icons[] = {{IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_WARNING, MB_ICONWARNING},
                 {IDI_INFORMATION, MB_ICONINFORMATION},
                 {IDI_ERROR, MB_ICONERROR}};
    for (int id : MessageIconIds) {
        HWND control = GetDlgItem(box, id);
        if (!control || !(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) continue;
        HICON shown = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
        for (const auto& icon : icons) {
            if (shown && shown == LoadIconW(nullptr, icon.icon)) return icon.style;
        }
    }
    return 0;
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickButton(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ChooseInListBox(HWND listBox, int entry) {
    ListBox_SetCurSel(listBox, entry);
    SendMessageW(GetParent(listBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(listBox), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(listBox));
}

std::vector<std::wstring> ListBoxTexts(HWND listBox) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ListBox_GetCount(listBox); ++i) {
        std::wstring text(ListBox_GetTextLen(listBox, i) + 1, L'\0');
        ListBox_GetText(listBox, i, &text[0]);
        text.resize(text.size() - 1);
        texts.push_back(text);
    }
    return texts;
}

bool PumpMessages() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return quit;
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    length = GetWindowTextW(window, &text[0], length + 1);
    text.resize(length);
    return text;
}

RECT ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<int> ChildBounds(HWND child) {
    RECT rect = ChildRect(child);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// ---- The list and the filters

int RowCount(HWND list) { return ListView_GetItemCount(list); }

std::wstring CellText(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::wstring> ColumnTexts(HWND list, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < RowCount(list); ++row) texts.push_back(CellText(list, row, column));
    return texts;
}

std::vector<std::wstring> ColumnHeaders(HWND list) {
    std::vector<std::wstring> headers;
    HWND header = ListView_GetHeader(list);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        headers.push_back(text);
    }
    return headers;
}

int ColumnWidth(HWND list, int column) { return ListView_GetColumnWidth(list, column); }

bool IsTicked(HWND list, int row) {
    return (ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

bool IsSelected(HWND list, int row) { return ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED; }

void SelectRow(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PumpMessages();
}

void SetTicked(HWND list, int row, bool ticked) {
    ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1), LVIS_STATEIMAGEMASK);
    PumpMessages();
}

void ClickCheckBox(HWND list, int row) {
    RECT bounds = {};
    ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt = {x, (bounds.top + bounds.bottom) / 2};
        if (ListView_HitTest(list, &hit) == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
            LPARAM point = MAKELPARAM(hit.pt.x, hit.pt.y);
            SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(list, WM_LBUTTONUP, 0, point);
            PumpMessages();
            return;
        }
    }
    ADD_FAILURE() << "row " << row << " shows no check box";
}

namespace {

// A point inside the row, or below the last row when there is none.
LPARAM RowPoint(HWND list, int row) {
    RECT bounds = {};
    if (row < RowCount(list)) {
        ListView_GetItemRect(list, row, &bounds, LVIR_LABEL);
        return MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    }
    RECT client;
    GetClientRect(list, &client);
    return MAKELPARAM(10, client.bottom - 5);
}

}  // namespace

void ClickAt(HWND list, LPARAM point) {
    // The list waits for its button to come up before it selects.
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PumpMessages();
}

void ClickRow(HWND list, int row) { ClickAt(list, RowPoint(list, row)); }

void DoubleClickRow(HWND list, int row) {
    LPARAM point = RowPoint(list, row);
    // The first click selects the row; the list waits for its button to come up.
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PumpMessages();
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
    PumpMessages();
}

void RightClickRow(HWND list, int row) {
    LPARAM point = RowPoint(list, row);
    // The list waits for the button to come up before it reports the click.
    PostMessageW(list, WM_RBUTTONUP, 0, point);
    SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PumpMessages();
}

std::vector<std::wstring> ComboTexts(HWND combo) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ComboBox_GetCount(combo); ++i) {
        std::wstring text(ComboBox_GetLBTextLen(combo, i) + 1, L'\0');
        ComboBox_GetLBText(combo, i, &text[0]);
        text.resize(text.size() - 1);
        texts.push_back(text);
    }
    return texts;
}

int ComboSelection(HWND combo) { return ComboBox_GetCurSel(combo); }

void ChooseInCombo(HWND combo, int choice) {
    ComboBox_SetCurSel(combo, choice);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    PumpMessages();
}

void TypeInto(HWND edit, const std::wstring& text) {
    SetWindowTextW(edit, L"");
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
    PumpMessages();
}

// ---- The main window

MainWindowTest::MainWindowTest() : here(folder.Root()) {}

MainWindowTest::~MainWindowTest() {
    if (window && IsWindow(window)) DestroyWindow(window);
    PumpMessages();
}

void MainWindowTest::StartCorvelle() {
    window = CreateMainWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(nullptr, window);
    PlaceMainWindow(window);
    PumpMessages();
}

void MainWindowTest::StartWith(const std::vector<ContactRecord>& contacts) {
    WriteBook("default.txl", BookWith(contacts));
    StartCorvelle();
}

void MainWindowTest::SendCommand(int id) {
    SendMessageW(window, WM_COMMAND, id, 0);
    PumpMessages();
}

bool MainWindowTest::CloseCorvelle() {
    SendMessageW(window, WM_CLOSE, 0, 0);
    return PumpMessages();
}

HWND MainWindowTest::List() const { return App.contactList; }

void MainWindowTest::WriteBook(const std::string& name, const Document& document) {
    ASSERT_EQ(1, WriteAddressBook(folder.Path(name), document.groups, document.contacts));
}

Document BookWith(const std::vector<ContactRecord>& contacts) {
    Document document = NewDocument();
    for (const ContactRecord& record : contacts) AppendRecord(document.contacts, record);
    return document;
}
