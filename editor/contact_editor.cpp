#include "editor/contact_editor.h"

#include "app/app_state.h"
#include "listview/contact_list.h"

// Until the editor dialog exists, the editor closes at once, doing what
// it does at every close.
void RunContactEditor(HWND) {
    ContactRecord* record = App.editedRecord;
    if (record && record->Surname[0] == '\0') {
        RemoveRecord(App.document.contacts, record);
        App.editedRecord = nullptr;
    }
    RefreshList();
}
