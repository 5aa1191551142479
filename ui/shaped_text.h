// Text that GDI's TextOutW and DrawTextW cannot draw everywhere: under
// Wine they draw each half of a surrogate pair (𬎆, 𠀀) as a box of its
// own. Uniscribe shapes the pair as one character and falls back to a
// font that has it, on Windows and under Wine alike.
#pragma once

#include <windows.h>

#include <string>

// Whether UTF-16 text holds a character beyond the basic plane.
bool HoldsSurrogatePair(const std::wstring& text);

// Draws one line of text in the DC's font and text colour, on a
// transparent background, from the left of box and centred in its
// height, clipped to it; text too wide ends in "…".
void DrawShapedLine(HDC dc, const std::wstring& text, const RECT& box);
