// The check every command that adds a contact makes first.
#pragma once

#include <windows.h>

// True when one more contact fits in the book. Otherwise tells the user
// that the book is full and returns false.
bool HasRoomForOneMoreContact(HWND owner);
