// The edge between GBK, in which the program keeps every text, and the
// UTF-16 of the W API; and the one helper every message box goes through.
#pragma once

#include <windows.h>

#include <string>

std::wstring WideFromGbk(const std::string& gbk);
std::string GbkFromWide(const std::wstring& wide);

// The text of a control as GBK.
std::string ControlTextGbk(HWND control);
void SetControlTextGbk(HWND control, const std::string& gbk);

// A modal message box: text, caption, buttons and icon in one call.
int ShowMessage(HWND owner, const std::wstring& text, const wchar_t* caption, UINT buttonsAndIcon);
