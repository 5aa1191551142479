// The edge between GBK, in which the program keeps every text, and the
// UTF-16 of the W API; UTF-8 for what goes to a server; and the one helper
// every message box goes through.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

std::wstring WideFromGbk(const std::string& gbk);
std::string GbkFromWide(const std::wstring& wide);

// A dialog's control by its id.
inline HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// The text of a control as GBK.
std::string ControlTextGbk(HWND control);
void SetControlTextGbk(HWND control, const std::string& gbk);

// Addresses, user names and passwords go to a server as UTF-8, whatever
// GBK can spell.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::string ControlTextUtf8(HWND control);
void SetControlTextUtf8(HWND control, const std::string& utf8);

// Captions that several features' message boxes share.
const wchar_t ErrorCaption[] = L"错误";
const wchar_t AttentionCaption[] = L"注意";
const wchar_t TipCaption[] = L"Tip";

// A modal message box: text, caption, buttons and icon in one call.
int ShowMessage(HWND owner, const std::wstring& text, const wchar_t* caption, UINT buttonsAndIcon);

// A message text with each "%s" replaced by the next value, so that the
// program's texts stay written exactly as they are shown.
std::wstring FillIn(const wchar_t* pattern, std::initializer_list<std::wstring> values);

// The program's UTF-16 literals (u"...") as the W API takes them.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W API is UTF-16");
inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
