#include "app/commands.h"

#include <string>
#include <vector>

#include "app/feedback.h"
#include "app/main_window.h"
#include "app/owner_drawn.h"
#include "csv/ui/csv_commands.h"
#include "dialogs/about_dialog.h"
#include "dialogs/group_dialog.h"
#include "dialogs/help_dialog.h"
#include "dialogs/settings_dialog.h"
#include "editor/contact_editor.h"
#include "listview/ui/contact_list.h"
#include "platform/file_names.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "store/name_order.h"
#include "sync/ui/sync_dialog.h"
#include "ui/app_state.h"
#include "ui/capacity_check.h"
#include "ui/file_dialogs.h"
#include "ui/ui_text.h"
#include "vcard/ui/vcard_commands.h"

namespace {

const wchar_t BookFilterName[] = L"通讯录文件(*.txl)";
const wchar_t BookFilterPattern[] = L"*.txl";
const wchar_t BookExtension[] = L".txl";

const wchar_t NewQuestion[] = L"新建文件将会清除为保存的数据，继续请点击“是”";
const wchar_t NewCaption[] = L"新建";

const wchar_t OpenTitle[] = L"打开文件";

const wchar_t SaveNewTitle[] = L"新建文件";
const wchar_t SaveAsTitle[] = L"另存为...";
const wchar_t SaveCaption[] = L"保存";
const wchar_t SavedText[] = L"文件保存！";
const wchar_t SaveFailedText[] = L"文件路径：%s\n\n文件没有保存成功！请检查磁盘空间和写入权限。\n原来的文件没有被改动。";
const wchar_t DetailsRefusedText[] =
    L"文件路径：%s\n\n联系人的其他信息（其他号码、邮箱、地址、备注等）已损坏，没有读取。\n联系人已照常读取；保存时将不再包含这些信息。";
const wchar_t SaveAsDefaultQuestion[] = L"是否保存为默认文件？";

const wchar_t SelectOneText[] = L"请选择一项！";

const wchar_t DeleteCaption[] = L"删除";
const wchar_t DeleteQuestion[] = L"你选择删除项目：\n姓名：%s%s\n点击“是”确认删除。";
const wchar_t DeleteTickedQuestion[] = L"删除所有选中条目，点击“是”确认删除操作。";
const wchar_t TickedDeletedText[] = L"选中项已经删除完毕！";

// The item menu of IDR_MAIN_MENU, shown as the contact list's context menu.
const int ItemMenuPosition = 1;

// What Open and start-up say when the reader refuses a book, formatted
// with its path.
const wchar_t* LoadFailureText(LoadResult result) {
    switch (result) {
        case OpenFailed:
            return L"文件路径：%s\n\n读取文件过程中产生不可预知的错误，是系统或者文件的问题！(0)\n读取过程因异常结束。";
        case BadMagic:
            return L"文件路径：%s\n\n文件不是正确的格式，程序终止读取。(2)\n读取失败。";
        case TooManyRecords:
            return L"文件路径：%s\n\n文件可能已经损坏！(3)\n请下载最新的程序然后重试。";
        case VersionTooNew:
            return L"文件路径：%s\n\n文件的版本较高，继续读取可能出现问题。(4)\n您需要下载新版本的软件来读取该文件，读取过程终止。";
        case FileTruncated:
            return L"文件路径：%s\n\n文件可能已经损坏！(5)\n文件数据与文件头不一致，文件不完整。";
        case GroupNameTooLong:
            return L"文件路径：%s\n\n文件可能已经损坏！(11)\n文件数据大小与约定格式不一致，文件不完整。";
        case LoadOk:
            break;
    }
    return L"";
}

// ---- File commands

void NewCommand(HWND window) {
    if (ShowMessage(window, NewQuestion, NewCaption, MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
    ResetDocument(App.document);
    ShowDocument();
}

// The book is read into a document of its own: a book the reader refuses
// leaves the open one, its groups, its path and the title as they were.
// The open book is replaced without asking, as it always has been.
void OpenCommand(HWND window) {
    PathString path;
    if (!ChooseFile(window, BookFilterName, BookFilterPattern, OpenTitle, path, FileDialogKind::Open)) return;
    Document opened;
    DetailsSectionResult section;
    LoadResult result = ReadAddressBook(path, opened.groups, opened.contacts, &section);
    if (result != LoadOk) {
        ShowLoadFailure(window, result, path);
        return;
    }
    opened.currentPath = path;
    App.document = std::move(opened);
    ShowDocument();
    if (section == DetailsSectionResult::Refused) ShowDetailsRefused(window, path);
}

bool ChooseBookToSave(HWND window, const wchar_t* title, PathString& path) {
    return ChooseFile(window, BookFilterName, BookFilterPattern, title, path, FileDialogKind::Save, BookExtension);
}

void SaveAndConfirm(HWND window, const PathString& path) {
    if (SaveBook(window, path)) ShowMessage(window, SavedText, SaveCaption, MB_OK | MB_ICONINFORMATION);
}

void SaveCommand(HWND window) {
    if (!App.document.currentPath.empty()) {
        SaveAndConfirm(window, App.document.currentPath);
    } else {
        PathString path;
        if (ChooseBookToSave(window, SaveNewTitle, path)) SaveAndConfirm(window, path);
    }
    UpdateTitle();
}

void SaveAsCommand(HWND window) {
    PathString path;
    if (!ChooseBookToSave(window, SaveAsTitle, path)) return;
    SaveAndConfirm(window, path);
    UpdateTitle();
}

// Saves under the default name in the start folder, where the next
// start-up will look for it. Success is silent.
void SaveAsDefaultCommand(HWND window) {
    if (ShowMessage(window, SaveAsDefaultQuestion, SaveCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    PathString path = StartFolderFile(PathFromGbk(App.settings.DefaultFileName));
    if (!PathFits(path)) {
        ShowPathTooLong(window);
        return;
    }
    SaveBook(window, path);
    UpdateTitle();
}

// ---- Item commands

void RunEditorOn(HWND window, ContactRecord* record, bool newContact) {
    App.editedRecord = record;
    RunContactEditor(window, newContact);
}

void AddCommand(HWND window) {
    if (!HasRoomForOneMoreContact(window)) return;
    RunEditorOn(window, AppendRecord(Contacts(), EmptyRecord()), true);
}

void EditCommand(HWND window) {
    int row = FirstSelectedRow();
    if (row < 0) return;
    if (ContactRecord* record = ShownRecordAt(Contacts(), row)) RunEditorOn(window, record, false);
}

void DeleteCommand(HWND window) {
    int row = FirstSelectedRow();
    if (row < 0) {
        ShowMessage(window, SelectOneText, AttentionCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ContactRecord* record = ShownRecordAt(Contacts(), row);
    if (!record) return;
    std::wstring question =
        FillIn(DeleteQuestion, {WideFromGbk(FieldValue(*record, Surname)), WideFromGbk(FieldValue(*record, GivenName))});
    if (ShowMessage(window, question, DeleteCaption, MB_YESNO | MB_ICONWARNING) != IDYES) return;
    // The refresh gives the list its new row count; a deleted row of its
    // own would cost Wine's list a repaint of the rows below it.
    RemoveRecord(Contacts(), record);
    RefreshList();
}

// Ticked contacts go whether or not the filters show them.
void DeleteTickedCommand(HWND window) {
    if (ShowMessage(window, DeleteTickedQuestion, DeleteCaption, MB_YESNO | MB_ICONWARNING) != IDYES) return;
    RemoveTickedRecords(Contacts());
    RefreshList();
    ShowMessage(window, TickedDeletedText, DeleteCaption, MB_OK | MB_ICONINFORMATION);
}

// Ticks every row, which clears the selection as a tick does, then every
// contact the filters hide.
void SelectAllCommand() {
    ListView_SetItemState(App.contactList, -1, TickedState, LVIS_STATEIMAGEMASK);
    for (auto& record : Contacts().records) record->CheckFlag = 1;
}

// Puts the book in order of name. Only the order in memory changes: the
// list, the editor's steps and the next save follow it.
void SortByNameCommand() {
    SortByName(Contacts());
    RefreshList();
}

// ---- Contact list notifications

void ShowContextMenu(HWND window, POINT clientPoint) {
    HMENU menu = LoadMenuW(App.instance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    HMENU itemMenu = GetSubMenu(menu, ItemMenuPosition);
    MakePopupOwnerDrawn(itemMenu);  // drawn like the drop-downs
    POINT screenPoint = clientPoint;
    ClientToScreen(App.contactList, &screenPoint);
    TrackPopupMenu(itemMenu, TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, window, nullptr);
    DestroyMenu(menu);
}

}  // namespace

void ShowLoadFailure(HWND owner, LoadResult result, const PathString& path) {
    ShowMessage(owner, FillIn(LoadFailureText(result), {path}), ErrorCaption, MB_OK | MB_ICONWARNING);
}

void ShowDetailsRefused(HWND owner, const PathString& path) {
    ShowMessage(owner, FillIn(DetailsRefusedText, {path}), ErrorCaption, MB_OK | MB_ICONWARNING);
}

bool SaveBook(HWND owner, const PathString& path) {
    if (WriteAddressBook(path, App.document.groups, Contacts()) != 1) {
        ShowMessage(owner, FillIn(SaveFailedText, {path}), SaveCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    App.document.currentPath = path;
    return true;
}

void MainWindow_OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND sender = reinterpret_cast<HWND>(lParam);
    UINT code = HIWORD(wParam);
    if (sender && ((sender == App.quickSearchBox && code == EN_CHANGE) ||
                   ((sender == App.fieldFilter || sender == App.groupFilter) && code == CBN_SELCHANGE))) {
        RefreshList();
        return;
    }
    // The whole wParam: only a menu item or a button click (code 0) is a command.
    switch (wParam) {
        case IDM_FILE_NEW: NewCommand(window); break;
        case IDM_FILE_OPEN: OpenCommand(window); break;
        case IDM_FILE_SAVE: SaveCommand(window); break;
        case IDM_FILE_SAVE_AS: SaveAsCommand(window); break;
        case IDM_FILE_SAVE_DEFAULT: SaveAsDefaultCommand(window); break;
        case IDM_FILE_EXIT: SendMessageW(window, WM_CLOSE, 0, 0); break;
        case IDM_ITEM_ADD:
        case IDC_ADD_BUTTON: AddCommand(window); break;
        case IDM_ITEM_EDIT:
        case IDC_EDIT_BUTTON: EditCommand(window); break;
        case IDM_ITEM_DELETE:
        case IDC_DELETE_BUTTON: DeleteCommand(window); break;
        case IDM_ITEM_DELETE_TICKED: DeleteTickedCommand(window); break;
        case IDM_ITEM_SELECT_ALL: SelectAllCommand(); break;
        case IDM_ITEM_SORT_BY_NAME: SortByNameCommand(); break;
        case IDM_IMPORT_VCF: ImportVcardFileCommand(window); break;
        case IDM_IMPORT_VCF_DIRECTORY: ImportVcardDirectoryCommand(window); break;
        case IDM_IMPORT_CSV: ImportCsvCommand(window); break;
        case IDM_EXPORT_VCF: ExportVcardCommand(window); break;
        case IDM_EXPORT_CSV: ExportCsvCommand(window); break;
        case IDM_FEEDBACK: SendFeedback(window); break;
        case IDM_HELP_TOPICS: RunHelpDialog(window); break;
        case IDM_ABOUT: RunAboutDialog(window); break;
        case IDM_SETTINGS: RunSettingsDialog(window); break;
        case IDM_GROUPS: RunGroupDialog(window); break;
        case IDM_SYNC: RunSyncDialog(window); break;
    }
}

LRESULT MainWindow_OnContactListNotify(HWND window, const NMHDR* notification) {
    switch (notification->code) {
        case NM_DBLCLK:
            if (reinterpret_cast<const NMITEMACTIVATE*>(notification)->iItem >= 0) {
                SendMessageW(window, WM_COMMAND, IDC_EDIT_BUTTON, 0);
            }
            break;
        case NM_RCLICK: {
            const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(notification);
            if (click->iItem >= 0) ShowContextMenu(window, click->ptAction);
            break;
        }
        case LVN_GETDISPINFOW:
            ContactList_OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(notification)));
            break;
        case NM_CUSTOMDRAW:
            return ContactList_OnCustomDraw(reinterpret_cast<const NMLVCUSTOMDRAW*>(notification));
        case LVN_ODFINDITEMW:
            return ContactList_OnFindItem(reinterpret_cast<const NMLVFINDITEMW*>(notification));
        case LVN_DELETEALLITEMS:
            return TRUE;  // no LVN_DELETEITEM for each row: a refresh stays quick
    }
    return 0;
}
