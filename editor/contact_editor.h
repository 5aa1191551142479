// The contact editor, shown modally over the main window on the record in
// App.editedRecord (EditedRecord), which Add and Edit set just before.
// When it closes it refreshes the list, and it removes its record again
// when that record's surname is empty, so an abandoned Add leaves nothing.
#pragma once

#include <windows.h>

void RunContactEditor(HWND owner);
