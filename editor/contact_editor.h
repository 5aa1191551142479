// The contact editor (IDD_CONTACT_EDITOR), shown modally over the main
// window on the record in App.editedRecord, which Add and Edit set
// just before. It works on the store's record itself: every step, "新项目"
// and "确定" write the form into the record being left, and there is no
// cancel. It can step through the whole store and create further
// contacts. "确定" removes every contact the editor made in this visit
// ("添加", which appends the record before it opens the editor, and
// "新项目") that still holds no text, and no other, and rebuilds the list,
// keeping the selected row number and the scroll position. The birthday
// is written only as the user ticks and picks it in the date picker.
#pragma once

#include <windows.h>

// `newContact`: the caller has just appended App.editedRecord for the editor.
void RunContactEditor(HWND owner, bool newContact);

// Destroys the editor kept hidden between openings, so that the next one
// makes it anew (at a new DPI).
void ForgetContactEditor();
