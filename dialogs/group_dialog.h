// The group dialog "分组管理" (IDD_GROUPS): adds, renames and deletes the
// groups of the open book. Every change is made at once, a deletion also
// renumbering the contacts' groups; there is no cancel. "确定" refills the
// group filter and the list.
#pragma once

#include <windows.h>

void RunGroupDialog(HWND owner);
