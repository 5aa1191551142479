// The About box, "关于Corvelle": the program, its file version, its
// platform, its release date and its author.
#pragma once

#include <windows.h>

#include <string>

// "文件版本：2.0210(正式版)": the book's format version and the release.
std::wstring AboutVersionLine();

// Runs the About box (IDD_ABOUT) owned by `owner`.
void RunAboutDialog(HWND owner);
