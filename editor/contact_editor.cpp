#include "editor/contact_editor.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cwchar>
#include <string>
#include <vector>

#include "editor/field_controls.h"
#include "editor/items_dialog.h"
#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "store/birthday.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/capacity_check.h"
#include "ui/ui_text.h"

namespace {

const wchar_t CaptionPattern[] = L"浏览项目 - #%d";
const int FemaleChoice = 1;

// What FillEditor left in the date picker. The picker's own check box
// says whether there is a birthday at all: unticked for a contact without
// one, so that no date is ever written that the user did not pick. A
// stored birthday that the picker cannot show as it is (a date outside
// its range, a day without a year, text that is no date) is kept unless
// the user changes the picker.
struct BirthdayShown {
    SYSTEMTIME date;
    bool none;  // the check box was left unticked
    bool keepStored;
};
BirthdayShown birthdayShown;

// The contacts this opening of the editor made ("添加", "新项目"), removed
// at the end if they still hold nothing. A contact that was in the book
// before is never removed for being blank.
std::vector<const ContactRecord*> createdContacts;

// Wine takes about a millisecond for each of the editor's 64 windows, too
// long for a click on a row: the editor is made at its first opening and
// hidden, not destroyed, when it closes. It goes with the main window.
HWND editorWindow = nullptr;
bool editorClosed = false;  // "确定" ends the modal loop

bool IsBirthdayField(const ContactFieldInfo& info) { return EditorControlOf(info.field) == IDC_EDIT_BIRTHDAY; }

// The fields that have an edit box of their own.
bool HasEditBox(const ContactFieldInfo& info) { return info.isText && !IsBirthdayField(info); }

std::string ReadBox(HWND dialog, int id) {
    std::string text = ControlTextGbk(Control(dialog, id));
    text.resize(FitGbkLength(text.data(), text.size(), TextBoxReadLimit));
    return text;
}

SYSTEMTIME SystemTimeOf(const BirthdayDate& date) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return time;
}

// False when the picker's check box is unticked: no date.
bool PickerDate(HWND dialog, SYSTEMTIME& time) {
    time = {};
    return DateTime_GetSystemtime(Control(dialog, IDC_EDIT_BIRTHDAY), &time) == GDT_VALID;
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// A valid date is shown ticked, brought into the picker's range first;
// anything else leaves the check box unticked.
void FillBirthday(HWND dialog, const ContactRecord& record) {
    HWND picker = Control(dialog, IDC_EDIT_BIRTHDAY);
    BirthdayDate stored = StoredBirthday(record);
    bool valid = IsValidDate(stored);
    if (valid) {
        SYSTEMTIME date = SystemTimeOf(ClampToPickerRange(stored));
        DateTime_SetSystemtime(picker, GDT_VALID, &date);
    } else {
        SYSTEMTIME ignored = SystemTimeOf(EarliestBirthday);  // Wine refuses GDT_NONE without a date
        DateTime_SetSystemtime(picker, GDT_NONE, &ignored);
    }
    bool shownAsStored = valid && SameDate(stored, ClampToPickerRange(stored));
    birthdayShown.none = !PickerDate(dialog, birthdayShown.date);
    birthdayShown.keepStored = HasBirthday(record) && !shownAsStored;
}

void ReadBirthday(HWND dialog, ContactRecord& record) {
    SYSTEMTIME date;
    bool ticked = PickerDate(dialog, date);
    bool unchanged = ticked ? !birthdayShown.none && SameDay(date, birthdayShown.date) : birthdayShown.none;
    if (birthdayShown.keepStored && unchanged) return;
    if (ticked) {
        SetBirthday(record, {date.wYear, date.wMonth, date.wDay});
    } else {
        for (ContactField field : {BirthYear, BirthMonth, BirthDay}) SetField(record, field, "");
    }
}

void FillEditor(HWND dialog) {
    const ContactRecord& record = *App.editedRecord;
    wchar_t caption[64];
    std::swprintf(caption, 64, CaptionPattern, IndexOfRecord(Contacts(), &record));
    SetWindowTextW(dialog, caption);

    bool knownGroup = record.GroupIndex >= 0 && record.GroupIndex < GroupCount(App.document.groups);
    ComboBox_SetCurSel(Control(dialog, IDC_EDIT_GROUP), knownGroup ? record.GroupIndex : -1);
    ComboBox_SetCurSel(Control(dialog, IDC_EDIT_GENDER), IsShownFemale(record.Gender) ? FemaleChoice : 0);
    FillBirthday(dialog, record);
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (HasEditBox(info)) {
            // A field held cut shows its whole form.
            SetControlTextGbk(Control(dialog, EditorControlOf(info.field)),
                              WholeFieldValue(record, DetailsOf(Contacts(), &record), info.field));
        }
    }
}

// Each text is cut to what its field holds, at a whole character. An
// emptied surname box leaves the stored surname as it was.
void ReadEditor(HWND dialog) {
    ContactRecord& record = *App.editedRecord;
    record.GroupIndex = ComboBox_GetCurSel(Control(dialog, IDC_EDIT_GROUP));
    record.Gender = StoredGender(ComboBox_GetCurSel(Control(dialog, IDC_EDIT_GENDER)) == FemaleChoice);
    ReadBirthday(dialog, record);
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (!HasEditBox(info)) continue;
        std::string text = ReadBox(dialog, EditorControlOf(info.field));
        if (info.field == Surname && text.empty()) continue;
        // The field gets the cut form; the whole form is kept beside it.
        SetWholeField(record, DetailsOf(Contacts(), &record), info.field, text);
    }
}

// A contact with a given name alone is named: phones save many so.
bool IsUnnamed(const ContactRecord& record) { return record.Surname[0] == '\0' && record.GivenName[0] == '\0'; }

// No text at all: a gender or a group chosen alone is nothing to keep.
bool HoldsNothing(const ContactRecord& record) {
    if (!DetailsOf(Contacts(), &record).items.empty()) return false;
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText && FieldText(record, info.field)[0] != '\0') return false;
    }
    return true;
}

// A contact the editor made goes when nothing was typed into it,
// wherever the user left it; whatever was typed stays, a name or not.
void RemoveBlankCreatedContacts() {
    for (const ContactRecord* created : createdContacts) {
        if (!HoldsNothing(*created)) continue;
        if (created == App.editedRecord) App.editedRecord = nullptr;
        RemoveRecord(Contacts(), created);
    }
    createdContacts.clear();
}

// ---- Handlers

// What stays from one opening to the next: made once with the window.
BOOL ContactEditor_OnInitDialog(HWND dialog) {
    HWND gender = Control(dialog, IDC_EDIT_GENDER);
    for (bool female : {false, true}) ComboBox_AddString(gender, AsWide(GenderWord(female)));
    SYSTEMTIME range[2] = {SystemTimeOf(EarliestBirthday), SystemTimeOf(LatestBirthday)};
    DateTime_SetRange(Control(dialog, IDC_EDIT_BIRTHDAY), GDTR_MIN | GDTR_MAX, range);
    return FALSE;  // each opening sets the focus
}

// Each opening: the book's groups as they are now, the record, and the
// focus in the first box.
void PrepareEditor(HWND dialog, bool newContact) {
    HWND groups = Control(dialog, IDC_EDIT_GROUP);
    ComboBox_ResetContent(groups);
    for (int i = 0; i < GroupCount(App.document.groups); ++i) {
        ComboBox_AddString(groups, WideFromGbk(GroupName(App.document.groups, i)).c_str());
    }
    createdContacts.clear();
    if (newContact) createdContacts.push_back(App.editedRecord);  // "添加" made it
    FillEditor(dialog);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetNextDlgTabItem(dialog, nullptr, FALSE)), TRUE);
}

// The list keeps the selected row number and its scroll position, though
// the row may now show another contact.
void ContactEditor_OnOk(HWND dialog) {
    ReadEditor(dialog);
    RemoveBlankCreatedContacts();
    HWND list = App.contactList;
    int row = FirstSelectedRow();
    int topRow = ListView_GetTopIndex(list);
    int left = GetScrollPos(list, SB_HORZ);

    RefreshList();
    if (row != -1) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    RECT rowRect = {};
    if (ListView_GetItemRect(list, 0, &rowRect, LVIR_BOUNDS)) {
        int rowHeight = rowRect.bottom - rowRect.top;
        ListView_Scroll(list, left - GetScrollPos(list, SB_HORZ), (topRow - ListView_GetTopIndex(list)) * rowHeight);
    }
    editorClosed = true;
}

void ContactEditor_OnStep(HWND dialog, int step) {
    int target = IndexOfRecord(Contacts(), App.editedRecord) + step;
    if (target < 0 || target >= RecordCount(Contacts())) return;
    ReadEditor(dialog);
    App.editedRecord = RecordAt(Contacts(), target);
    FillEditor(dialog);
}

// A trailing unnamed record is reused rather than a second one made.
void ContactEditor_OnNew(HWND dialog) {
    ReadEditor(dialog);
    if (!IsUnnamed(*App.editedRecord)) {
        ContactRecord* last = RecordAt(Contacts(), RecordCount(Contacts()) - 1);
        if (!IsUnnamed(*last)) {
            if (!HasRoomForOneMoreContact(dialog)) {
                FillEditor(dialog);
                return;
            }
            last = AppendRecord(Contacts(), EmptyRecord());
            createdContacts.push_back(last);
        }
        App.editedRecord = last;
    }
    FillEditor(dialog);
}

// Only button clicks count; Esc (IDCANCEL) and every other command are
// ignored, so the dialog closes through "确定" alone.
void ContactEditor_OnCommand(HWND dialog, int id, UINT code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDOK: ContactEditor_OnOk(dialog); break;
        case IDC_EDITOR_NEW: ContactEditor_OnNew(dialog); break;
        case IDC_EDITOR_PREVIOUS: ContactEditor_OnStep(dialog, -1); break;
        case IDC_EDITOR_NEXT: ContactEditor_OnStep(dialog, +1); break;
        case IDC_EDITOR_ITEMS: RunItemsDialog(dialog, DetailsOf(Contacts(), App.editedRecord)); break;
    }
}

INT_PTR CALLBACK ContactEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return ContactEditor_OnInitDialog(dialog);
        case WM_COMMAND: ContactEditor_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_NCDESTROY: editorWindow = nullptr; return FALSE;  // with its owner
    }
    return FALSE;
}

// Where DS_CENTER put the editor when it was made: the middle of the
// work area of the owner's monitor.
void CenterOnOwnersMonitor(HWND dialog, HWND owner) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    RECT box;
    GetWindowRect(dialog, &box);
    int width = box.right - box.left, height = box.bottom - box.top;
    SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The modal loop DialogBox would run, over a window that outlives it.
void RunModal(HWND dialog, HWND owner) {
    EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    editorClosed = false;
    MSG message;
    while (!editorClosed) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The owner is enabled first, so that it becomes the active window.
    EnableWindow(owner, TRUE);
    ShowWindow(dialog, SW_HIDE);
}

}  // namespace

void RunContactEditor(HWND owner, bool newContact) {
    if (!App.editedRecord) return;
    if (editorWindow && GetWindow(editorWindow, GW_OWNER) != owner) ForgetContactEditor();
    if (!editorWindow) {
        // The date picker's window class, which InitCommonControls leaves out.
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_DATE_CLASSES};
        InitCommonControlsEx(&classes);
        editorWindow = CreateDialogParamW(App.instance, MAKEINTRESOURCEW(IDD_CONTACT_EDITOR), owner, ContactEditorProc, 0);
        if (!editorWindow) return;
    } else {
        CenterOnOwnersMonitor(editorWindow, owner);
    }
    PrepareEditor(editorWindow, newContact);
    RunModal(editorWindow, owner);
    SetFocus(App.contactList);
}

void ForgetContactEditor() {
    if (editorWindow) DestroyWindow(editorWindow);
}
