// The feedback command: offers to open the user's mail program on a new
// message to the author.
#pragma once

#include <windows.h>

// Hands a link to the shell to open, shown normally and owned by `owner`,
// and returns the shell's result: above 32 when it worked, otherwise the
// shell's error code. Tests put their own in its place, since the shell's
// mail handler cannot be driven.
using LinkOpener = INT_PTR (*)(HWND owner, const wchar_t* link);
extern LinkOpener OpenFeedbackLink;

// Asks whether to write to the author; on Yes opens a mailto: link to the
// feedback address and tells the user when the shell could not.
void SendFeedback(HWND owner);
