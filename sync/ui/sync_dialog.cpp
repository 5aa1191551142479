#include "sync/ui/sync_dialog.h"

#include <windowsx.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "sync/sync_engine.h"
#include "ui/app_state.h"
#include "ui/protected_text.h"
#include "ui/ui_text.h"

namespace {

const wchar_t SyncCaption[] = L"同步";
const wchar_t SaveFirstText[] = L"这个通讯录还没有保存为文件。请先点击“文件”菜单的“保存”，然后再同步。";
const wchar_t SettingsDamagedText[] =
    L"同步设置文件已损坏，没有读取：\n%s\n\n请重新填写服务器和账户；保存新的设置时将替换这个文件。";
const wchar_t SettingsNotSavedText[] = L"同步设置没有保存成功！请检查磁盘空间和写入权限：\n%s";
const wchar_t NoServerText[] = L"请填写服务器地址。";
const wchar_t ChooseBookText[] = L"请先点击“连接”，再选择一个通讯录。";
const wchar_t NoBooksText[] = L"这个账户没有通讯录。";
const wchar_t PasswordRefusedText[] = L"服务器拒绝了用户名或密码，请重新输入密码。";
const wchar_t ConnectFailedText[] = L"连接失败：%s\n\n%s";
const wchar_t SyncFailedText[] = L"同步失败：\n%s\n\n失败前完成的部分已保存，再次同步时从这里继续。";
const wchar_t MassDeleteBoth[] = L"这次同步将删除本地的 %s 个联系人和服务器上的 %s 个联系人。";
const wchar_t MassDeleteLocal[] = L"这次同步将删除本地的 %s 个联系人。";
const wchar_t MassDeleteServer[] = L"这次同步将删除服务器上的 %s 个联系人。";
const wchar_t MassDeleteQuestion[] = L"\n确定要删除吗？点击“否”则什么也不改动。";
const wchar_t SelectOneText[] = L"请选择一项！";
const wchar_t ConflictGoneText[] = L"这个联系人或冲突已经不在了。";

const wchar_t ConnectingStatus[] = L"正在连接...";
const wchar_t BooksFoundStatus[] = L"找到 %s 个通讯录，请选择一个，然后点击“同步”。";
const wchar_t StartingStatus[] = L"正在同步...";
const wchar_t ProgressStatus[] = L"正在同步：%s / %s";
const wchar_t DoneStatus[] = L"同步完成：上传 %s 个，下载 %s 个，删除 %s 个，冲突 %s 个。";
const wchar_t CancelledStatus[] =
    L"同步已取消。取消前完成的部分已保存（上传 %s 个，下载 %s 个，删除 %s 个），其余的下次同步时继续。";
const wchar_t FailedStatus[] = L"同步失败。";
const wchar_t NotSyncedStatus[] = L"没有同步，通讯录和服务器都没有改动。";
const wchar_t StoppingStatus[] = L"正在停止...";
const wchar_t ResolvedStatus[] = L"已按你的选择修改联系人，下次同步时上传到服务器。";

// The conflict list's columns: title and width in dialog units.
struct ConflictColumn {
    const wchar_t* title;
    int width;
};
const ConflictColumn ConflictColumns[] = {{L"联系人", 60}, {L"项目", 36}, {L"本地的值", 92}, {L"服务器的值", 92}};

// The names users know for the properties a conflict can be in.
struct PropertyName {
    const char* property;
    const wchar_t* shown;
};
const PropertyName PropertyNames[] = {
    {"FN", L"姓名"},     {"N", L"姓名"},      {"NICKNAME", L"昵称"}, {"TEL", L"电话"},   {"EMAIL", L"邮箱"},
    {"ADR", L"地址"},    {"ORG", L"公司"},    {"TITLE", L"职务"},    {"BDAY", L"生日"},  {"NOTE", L"备注"},
    {"URL", L"网址"},    {"GENDER", L"性别"}, {"CATEGORIES", L"分组"}, {"IMPP", L"即时通讯"},
};

// Sent by the work thread when it has finished.
const UINT WM_SYNC_WORK_DONE = WM_APP + 1;
const UINT_PTR ProgressTimer = 1;
const UINT ProgressEveryMilliseconds = 100;

enum class Work { None, Connecting, Synchronising };

// Everything one opening of the dialog keeps. The work thread reads the
// account and writes its results here; the dialog reads them only after
// joining the thread.
struct SyncDialogState {
    PathString bookPath;
    SyncSettings saved;         // as the file holds them
    std::string savedPassword;  // the remembered password, decrypted
    bool toldNotSaved = false;  // a file that cannot be written is said once, not at every step

    Work work = Work::None;
    std::thread thread;
    bool closeWhenDone = false;

    std::string serverUrl;
    std::string user;
    std::string password;
    std::string bookUrl;
    SyncOptions options;

    DavResult found;
    std::vector<AddressBook> foundBooks;
    std::vector<std::string> bookUrls;  // the combo box's entries, in order

    SyncProgress progress;
    SyncOutcome outcome = SyncOutcome::Done;
    SyncReport report;
    std::vector<SyncConflict> conflicts;  // the conflict list's rows, in order
};

SyncDialogState& State(HWND dialog) {
    return *reinterpret_cast<SyncDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::wstring Number(int n) { return std::to_wstring(n); }

bool FileIsThere(const PathString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameSettings(const SyncSettings& a, const SyncSettings& b) {
    return a.serverUrl == b.serverUrl && a.user == b.user && a.bookUrl == b.bookUrl &&
           a.protectedPassword == b.protectedPassword;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void SetStatus(HWND dialog, const std::wstring& text) { SetDlgItemTextW(dialog, IDC_SYNC_STATUS, text.c_str()); }

bool IsTicked(HWND dialog, int id) { return Button_GetCheck(Control(dialog, id)) == BST_CHECKED; }

void FocusControl(HWND dialog, int id) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(dialog, id)), TRUE);
}

std::wstring ShownProperty(const std::string& property) {
    for (const PropertyName& name : PropertyNames) {
        if (property == name.property) return name.shown;
    }
    return WideFromUtf8(property);
}

// ---- The work threads: each opens its own connection, and tells the
// dialog when it is done.

void ConnectWork(SyncDialogState* state, HWND dialog) {
    CardDavClient client;
    client.http = OpenHttpSession();
    client.user = state->user;
    client.password = state->password;
    state->foundBooks.clear();
    state->found = DiscoverAddressBooks(client, state->serverUrl, state->foundBooks);
    CloseHttpSession(client.http);
    PostMessageW(dialog, WM_SYNC_WORK_DONE, 0, 0);
}

void SynchroniseWork(SyncDialogState* state, HWND dialog) {
    CardDavClient client;
    client.http = OpenHttpSession();
    client.user = state->user;
    client.password = state->password;
    state->report = SyncReport{};
    state->outcome =
        SynchroniseBook(App.document, client, state->bookUrl, state->options, &state->progress, state->report);
    CloseHttpSession(client.http);
    PostMessageW(dialog, WM_SYNC_WORK_DONE, 0, 0);
}

// ---- Settings

// The settings as the dialog shows them now. The password is encrypted
// anew only when it changed, so that an unchanged one leaves the file as it was.
SyncSettings ShownSettings(HWND dialog) {
    SyncDialogState& state = State(dialog);
    SyncSettings settings;
    settings.serverUrl = Trimmed(ControlTextUtf8(Control(dialog, IDC_SYNC_SERVER)));
    settings.user = ControlTextUtf8(Control(dialog, IDC_SYNC_USER));
    int chosen = ComboBox_GetCurSel(Control(dialog, IDC_SYNC_BOOKS));
    if (chosen >= 0 && chosen < static_cast<int>(state.bookUrls.size())) settings.bookUrl = state.bookUrls[chosen];
    std::string password = ControlTextUtf8(Control(dialog, IDC_SYNC_PASSWORD));
    if (IsTicked(dialog, IDC_SYNC_REMEMBER) && !password.empty()) {
        if (password == state.savedPassword && !state.saved.protectedPassword.empty()) {
            settings.protectedPassword = state.saved.protectedPassword;
        } else if (!ProtectText(password, settings.protectedPassword)) {
            settings.protectedPassword.clear();  // kept nowhere rather than in plain text
        }
    }
    return settings;
}

// Writes the settings beside the book when they changed.
void KeepSettings(HWND dialog) {
    SyncDialogState& state = State(dialog);
    SyncSettings settings = ShownSettings(dialog);
    if (SameSettings(settings, state.saved)) return;
    if (!WriteSyncSettings(state.bookPath, settings)) {
        if (!state.toldNotSaved) {
            ShowMessage(dialog, FillIn(SettingsNotSavedText, {SyncSettingsPath(state.bookPath)}), SyncCaption,
                        MB_OK | MB_ICONWARNING);
        }
        state.toldNotSaved = true;
        return;
    }
    state.saved = settings;
    state.savedPassword =
        settings.protectedPassword.empty() ? std::string() : ControlTextUtf8(Control(dialog, IDC_SYNC_PASSWORD));
}

void ShowSavedSettings(HWND dialog) {
    SyncDialogState& state = State(dialog);
    SetControlTextUtf8(Control(dialog, IDC_SYNC_SERVER), state.saved.serverUrl);
    SetControlTextUtf8(Control(dialog, IDC_SYNC_USER), state.saved.user);
    if (!state.saved.protectedPassword.empty()) {
        // A password another user or computer encrypted stays unread: it is asked for again.
        if (UnprotectText(state.saved.protectedPassword, state.savedPassword)) {
            SetControlTextUtf8(Control(dialog, IDC_SYNC_PASSWORD), state.savedPassword);
        }
        Button_SetCheck(Control(dialog, IDC_SYNC_REMEMBER), BST_CHECKED);
    }
    if (!state.saved.bookUrl.empty()) {
        // Its name is known again after "连接"; until then its address stands for it.
        state.bookUrls = {state.saved.bookUrl};
        ComboBox_AddString(Control(dialog, IDC_SYNC_BOOKS), WideFromUtf8(state.saved.bookUrl).c_str());
        ComboBox_SetCurSel(Control(dialog, IDC_SYNC_BOOKS), 0);
    }
}

// ---- What the dialog shows

void EnableControls(HWND dialog) {
    SyncDialogState& state = State(dialog);
    bool idle = state.work == Work::None && !state.closeWhenDone;
    for (int id : {IDC_SYNC_SERVER, IDC_SYNC_USER, IDC_SYNC_PASSWORD, IDC_SYNC_REMEMBER, IDC_SYNC_CONNECT,
                   IDC_SYNC_BOOKS, IDC_SYNC_START}) {
        EnableWindow(Control(dialog, id), idle);
    }
    bool decidable = idle && !state.conflicts.empty();
    EnableWindow(Control(dialog, IDC_SYNC_KEEP_LOCAL), decidable);
    EnableWindow(Control(dialog, IDC_SYNC_KEEP_SERVER), decidable);
    EnableWindow(Control(dialog, IDC_SYNC_STOP), state.work == Work::Synchronising && !state.progress.cancel);
    EnableWindow(Control(dialog, IDCANCEL), !state.closeWhenDone);
    // A control just disabled drops the keyboard focus: it goes on to the
    // button the user may want next, so that Esc and Enter keep working.
    HWND focus = GetFocus();
    if (!state.closeWhenDone && (!focus || !IsWindowEnabled(focus))) {
        int next = idle ? IDC_SYNC_START : IsWindowEnabled(Control(dialog, IDC_SYNC_STOP)) ? IDC_SYNC_STOP : IDCANCEL;
        FocusControl(dialog, next);
    }
}

void SetUpConflictList(HWND dialog) {
    HWND list = Control(dialog, IDC_SYNC_CONFLICTS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    int column = 0;
    for (const ConflictColumn& shown : ConflictColumns) {
        RECT width = {0, 0, shown.width, 0};
        MapDialogRect(dialog, &width);
        LVCOLUMNW entry = {};
        entry.mask = LVCF_TEXT | LVCF_WIDTH;
        entry.pszText = const_cast<wchar_t*>(shown.title);
        entry.cx = width.right;
        ListView_InsertColumn(list, column++, &entry);
    }
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
    ListView_SetItemText(list, row, column, const_cast<wchar_t*>(text.c_str()));
}

void SelectConflict(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ShowConflicts(HWND dialog) {
    SyncDialogState& state = State(dialog);
    HWND list = Control(dialog, IDC_SYNC_CONFLICTS);
    ListView_DeleteAllItems(list);
    for (size_t i = 0; i < state.conflicts.size(); ++i) {
        const SyncConflict& conflict = state.conflicts[i];
        std::wstring name = WideFromGbk(conflict.contactName);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(name.c_str());
        int row = ListView_InsertItem(list, &item);
        SetCell(list, row, 1, ShownProperty(conflict.property));
        SetCell(list, row, 2, WideFromGbk(conflict.localValue));
        SetCell(list, row, 3, WideFromGbk(conflict.serverValue));
    }
    if (!state.conflicts.empty()) SelectConflict(list, 0);
}

void ShowProgress(HWND dialog) {
    SyncDialogState& state = State(dialog);
    int total = state.progress.total;
    int done = state.progress.done;
    HWND bar = Control(dialog, IDC_SYNC_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    SendMessageW(bar, PBM_SETPOS, total > 0 ? done : 0, 0);
    if (total > 0 && !state.progress.cancel) SetStatus(dialog, FillIn(ProgressStatus, {Number(done), Number(total)}));
}

void AskForPasswordAgain(HWND dialog) {
    ShowMessage(dialog, PasswordRefusedText, SyncCaption, MB_OK | MB_ICONWARNING);
    FocusControl(dialog, IDC_SYNC_PASSWORD);
}

// The reason a connection failed, in the user's words; the client's own
// message (method, address, cause) follows it.
const wchar_t* ConnectFailure(DavStatus status) {
    switch (status) {
        case DavTransportFailed: return L"无法连接服务器，请检查服务器地址和网络。";
        case DavNotFound: return L"这个地址没有找到通讯录，请检查服务器地址。";
        case DavForbidden: return L"服务器不允许这个账户访问。";
        case DavBadAnswer: return L"服务器的回答无法读取，这个地址可能不是CardDAV服务器。";
        case DavBusy: return L"服务器正忙，请稍后再试。";
        default: return L"服务器返回了错误。";
    }
}

// ---- Handlers

void StartWork(HWND dialog, Work work) {
    SyncDialogState& state = State(dialog);
    state.work = work;
    EnableControls(dialog);
    if (work == Work::Connecting) {
        state.thread = std::thread(ConnectWork, &state, dialog);
    } else {
        state.thread = std::thread(SynchroniseWork, &state, dialog);
    }
}

void TakeAccount(HWND dialog) {
    SyncDialogState& state = State(dialog);
    state.serverUrl = Trimmed(ControlTextUtf8(Control(dialog, IDC_SYNC_SERVER)));
    state.user = ControlTextUtf8(Control(dialog, IDC_SYNC_USER));
    state.password = ControlTextUtf8(Control(dialog, IDC_SYNC_PASSWORD));
}

void SyncDialog_OnConnect(HWND dialog) {
    SyncDialogState& state = State(dialog);
    TakeAccount(dialog);
    if (state.serverUrl.empty()) {
        ShowMessage(dialog, NoServerText, SyncCaption, MB_OK | MB_ICONINFORMATION);
        FocusControl(dialog, IDC_SYNC_SERVER);
        return;
    }
    SetStatus(dialog, ConnectingStatus);
    StartWork(dialog, Work::Connecting);
}

void ShowFoundBooks(HWND dialog) {
    SyncDialogState& state = State(dialog);
    if (!Succeeded(state.found)) {
        SetStatus(dialog, L"");
        if (state.found.status == DavUnauthorized) {
            AskForPasswordAgain(dialog);
        } else {
            std::wstring reason = ConnectFailure(state.found.status);
            ShowMessage(dialog, FillIn(ConnectFailedText, {reason, WideFromUtf8(state.found.message)}), SyncCaption,
                        MB_OK | MB_ICONWARNING);
        }
        return;
    }
    if (state.foundBooks.empty()) {
        SetStatus(dialog, L"");
        ShowMessage(dialog, NoBooksText, SyncCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    HWND combo = Control(dialog, IDC_SYNC_BOOKS);
    ComboBox_ResetContent(combo);
    state.bookUrls.clear();
    int chosen = 0;
    for (const AddressBook& book : state.foundBooks) {
        if (book.url == state.saved.bookUrl) chosen = static_cast<int>(state.bookUrls.size());
        state.bookUrls.push_back(book.url);
        ComboBox_AddString(combo, WideFromUtf8(book.displayName.empty() ? book.url : book.displayName).c_str());
    }
    ComboBox_SetCurSel(combo, chosen);
    SetStatus(dialog, FillIn(BooksFoundStatus, {Number(static_cast<int>(state.foundBooks.size()))}));
    KeepSettings(dialog);
}

// While the engine changes the contacts on its thread the main window's
// list shows no rows, so that painting it never reads them; it is
// refilled when the synchronisation ends.
void HoldContactList() { ListView_SetItemCountEx(App.contactList, 0, 0); }

void StartSynchronising(HWND dialog, bool allowMassDelete) {
    SyncDialogState& state = State(dialog);
    TakeAccount(dialog);
    state.conflicts.clear();
    ShowConflicts(dialog);
    state.options = SyncOptions{};
    state.options.allowMassDelete = allowMassDelete;
    state.progress.done = 0;
    state.progress.total = 0;
    state.progress.cancel = false;
    ShowProgress(dialog);
    SetStatus(dialog, StartingStatus);
    HoldContactList();
    SetTimer(dialog, ProgressTimer, ProgressEveryMilliseconds, nullptr);
    StartWork(dialog, Work::Synchronising);
}

void SyncDialog_OnStart(HWND dialog) {
    SyncDialogState& state = State(dialog);
    int chosen = ComboBox_GetCurSel(Control(dialog, IDC_SYNC_BOOKS));
    if (chosen < 0 || chosen >= static_cast<int>(state.bookUrls.size())) {
        ShowMessage(dialog, ChooseBookText, SyncCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    state.bookUrl = state.bookUrls[chosen];
    KeepSettings(dialog);
    StartSynchronising(dialog, false);
}

// How many contacts the synchronisation would delete, and where.
std::wstring MassDeleteText(const SyncReport& report) {
    std::wstring local = Number(report.wouldDeleteLocal);
    std::wstring server = Number(report.wouldDeleteServer);
    if (report.wouldDeleteLocal > 0 && report.wouldDeleteServer > 0) return FillIn(MassDeleteBoth, {local, server});
    return report.wouldDeleteLocal > 0 ? FillIn(MassDeleteLocal, {local}) : FillIn(MassDeleteServer, {server});
}

void ShowSyncOutcome(HWND dialog) {
    SyncDialogState& state = State(dialog);
    const SyncReport& report = state.report;
    switch (state.outcome) {
        case SyncOutcome::Done:
            state.conflicts = report.conflicts;
            ShowConflicts(dialog);
            SendMessageW(Control(dialog, IDC_SYNC_PROGRESS), PBM_SETRANGE32, 0, 1);
            SendMessageW(Control(dialog, IDC_SYNC_PROGRESS), PBM_SETPOS, 1, 0);
            SetStatus(dialog, FillIn(DoneStatus, {Number(report.uploaded), Number(report.downloaded),
                                                  Number(report.deleted), Number(static_cast<int>(report.conflicts.size()))}));
            break;
        case SyncOutcome::Cancelled:
            SetStatus(dialog, FillIn(CancelledStatus,
                                     {Number(report.uploaded), Number(report.downloaded), Number(report.deleted)}));
            break;
        case SyncOutcome::NeedsPassword:
            SetStatus(dialog, L"");
            AskForPasswordAgain(dialog);
            break;
        case SyncOutcome::MassDelete: {
            SetStatus(dialog, L"");
            std::wstring question = MassDeleteText(report) + MassDeleteQuestion;
            if (ShowMessage(dialog, question, SyncCaption, MB_YESNO | MB_ICONWARNING) == IDYES) {
                StartSynchronising(dialog, true);
            } else {
                SetStatus(dialog, NotSyncedStatus);
            }
            break;
        }
        case SyncOutcome::Failed:
            SetStatus(dialog, FailedStatus);
            ShowMessage(dialog, FillIn(SyncFailedText, {WideFromGbk(report.message)}), SyncCaption,
                        MB_OK | MB_ICONWARNING);
            break;
    }
}

void SyncDialog_OnWorkDone(HWND dialog) {
    SyncDialogState& state = State(dialog);
    if (state.thread.joinable()) state.thread.join();
    Work finished = state.work;
    state.work = Work::None;
    state.password.clear();
    if (finished == Work::Synchronising) {
        KillTimer(dialog, ProgressTimer);
        ShowProgress(dialog);
        // Contacts came, went or changed: the list shows the book anew.
        FillGroupFilterKeepingChoice();
        RefreshList();
    }
    if (state.closeWhenDone) {
        KeepSettings(dialog);
        EndDialog(dialog, IDCANCEL);
        return;
    }
    EnableControls(dialog);  // before any message, so that the password box can take the focus
    if (finished == Work::Connecting) ShowFoundBooks(dialog);
    if (finished == Work::Synchronising) ShowSyncOutcome(dialog);
    EnableControls(dialog);
}

void SyncDialog_OnStop(HWND dialog) {
    State(dialog).progress.cancel = true;
    SetStatus(dialog, StoppingStatus);
    EnableControls(dialog);
}

// The user's pick for the chosen conflict; the row goes either way.
void SyncDialog_OnKeep(HWND dialog, bool useServerValue) {
    SyncDialogState& state = State(dialog);
    HWND list = Control(dialog, IDC_SYNC_CONFLICTS);
    int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (row < 0 || row >= static_cast<int>(state.conflicts.size())) {
        ShowMessage(dialog, SelectOneText, AttentionCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (ResolveConflict(App.document, state.conflicts[row], useServerValue)) {
        SetStatus(dialog, ResolvedStatus);
        RefreshList();
    } else {
        ShowMessage(dialog, ConflictGoneText, SyncCaption, MB_OK | MB_ICONINFORMATION);
    }
    state.conflicts.erase(state.conflicts.begin() + row);
    ListView_DeleteItem(list, row);
    int next = row < ListView_GetItemCount(list) ? row : row - 1;
    if (next >= 0) SelectConflict(list, next);
    EnableControls(dialog);
}

// "关闭" or Esc. Work still running is stopped first (a synchronisation at
// its next safe point); the dialog closes when it has.
void SyncDialog_OnClose(HWND dialog) {
    SyncDialogState& state = State(dialog);
    if (state.work != Work::None) {
        state.closeWhenDone = true;
        state.progress.cancel = true;
        SetStatus(dialog, StoppingStatus);
        EnableControls(dialog);
        return;
    }
    KeepSettings(dialog);
    EndDialog(dialog, IDCANCEL);
}

BOOL SyncDialog_OnInitDialog(HWND dialog, SyncDialogState* state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SetUpConflictList(dialog);
    ShowSavedSettings(dialog);
    EnableControls(dialog);
    // The first box still empty takes the focus.
    int focus = IDC_SYNC_CONNECT;
    for (int id : {IDC_SYNC_SERVER, IDC_SYNC_USER, IDC_SYNC_PASSWORD}) {
        if (GetWindowTextLengthW(Control(dialog, id)) == 0) {
            focus = id;
            break;
        }
    }
    SetFocus(Control(dialog, focus));
    return FALSE;  // the focus is set
}

void SyncDialog_OnCommand(HWND dialog, int id, UINT code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDC_SYNC_CONNECT: SyncDialog_OnConnect(dialog); break;
        case IDC_SYNC_START: SyncDialog_OnStart(dialog); break;
        case IDC_SYNC_STOP: SyncDialog_OnStop(dialog); break;
        case IDC_SYNC_KEEP_LOCAL: SyncDialog_OnKeep(dialog, false); break;
        case IDC_SYNC_KEEP_SERVER: SyncDialog_OnKeep(dialog, true); break;
        case IDCANCEL: SyncDialog_OnClose(dialog); break;
    }
}

INT_PTR CALLBACK SyncDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return SyncDialog_OnInitDialog(dialog, reinterpret_cast<SyncDialogState*>(lParam));
        case WM_COMMAND: SyncDialog_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_TIMER:
            if (wParam == ProgressTimer) ShowProgress(dialog);
            return TRUE;
        case WM_SYNC_WORK_DONE: SyncDialog_OnWorkDone(dialog); return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunSyncDialog(HWND owner) {
    if (App.document.currentPath.empty()) {
        ShowMessage(owner, SaveFirstText, SyncCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    auto state = std::make_unique<SyncDialogState>();
    state->bookPath = App.document.currentPath;
    if (!ReadSyncSettings(state->bookPath, state->saved) && FileIsThere(SyncSettingsPath(state->bookPath))) {
        // Left as it is until new settings replace it.
        ShowMessage(owner, FillIn(SettingsDamagedText, {SyncSettingsPath(state->bookPath)}), SyncCaption,
                    MB_OK | MB_ICONWARNING);
    }
    DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_SYNC), owner, SyncDialogProc,
                    reinterpret_cast<LPARAM>(state.get()));
}
