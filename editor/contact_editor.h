// The contact editor (IDD_CONTACT_EDITOR), shown modally over the main
// window on the record in App.editedRecord, which Add and Edit set
// just before. It works on the store's record itself: every step, "新项目"
// and "确定" write the form into the record being left, and there is no
// cancel. It can step through the whole store and create further
// contacts. "确定" removes the current record when its surname is empty
// and rebuilds the list, keeping the selected row number and the scroll
// position.
#pragma once

#include <windows.h>

void RunContactEditor(HWND owner);
