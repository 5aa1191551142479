// Sizes on the screen. Every size in pixels the program gives is its size
// at 96 DPI (100%) and goes through DpiScale, so that the main window is as
// whole at 125% or 150% as at 100%. Dialog templates scale with their font
// and need none of this.
#pragma once

#include <windows.h>

// The DPI at which every size the program names is meant.
const int BaseDpi = 96;

// A size in pixels at 96 DPI, for a display of `dpi` (rounded to the
// nearest pixel).
int DpiScale(int pixels, int dpi);

// The same for the DPI the main window is laid out for (App.dpi).
int DpiScale(int pixels);

// The DPI of the display a window is on: its own monitor's where Windows
// tells it per monitor (10, version 1607 and later), else the system's.
int WindowDpi(HWND window);

// The system's DPI: that of the screen the program started on.
int SystemDpi();

// A system metric (SM_CYMENU, ...) as it is at `dpi`.
int SystemMetricForDpi(int index, int dpi);

// The system's icon-title font (the list's own) as it is at `dpi`; false
// when the system does not say.
bool IconTitleFontForDpi(int dpi, LOGFONTW* font);
