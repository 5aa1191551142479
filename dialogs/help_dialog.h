// The help dialog, "使用说明": six fixed topics, a list of their titles
// and the chosen topic's text.
#pragma once

#include <windows.h>

#include <string>

const int HelpTopicCount = 6;

// A topic's title and its text, lines separated by CR LF.
std::wstring HelpTopicTitle(int topic);
std::wstring HelpTopicText(int topic);

// Runs the help dialog (IDD_HELP) owned by `owner`; it changes nothing.
void RunHelpDialog(HWND owner);
