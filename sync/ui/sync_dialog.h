// The synchronisation dialog "同步" (IDD_SYNC), from "同步..." in the
// "功能" menu: the account (server address, user name, password, "记住密码"),
// "连接" to list its address books, "同步" with its progress and "取消", and
// the conflicts a synchronisation left, each decided by the user. The
// network work runs on a thread of its own so that the windows keep
// painting; the settings are kept beside the book (sync_engine.h).
#pragma once

#include <windows.h>

// A book that has no file yet is not synchronised: the user is asked to
// save it first.
void RunSyncDialog(HWND owner);
