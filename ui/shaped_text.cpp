#include "ui/shaped_text.h"

#include <usp10.h>

namespace {

const wchar_t Ellipsis[] = L"…";

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The text shaped in the DC's font, or nullptr when Uniscribe refuses it.
SCRIPT_STRING_ANALYSIS Shape(HDC dc, const std::wstring& text) {
    SCRIPT_STRING_ANALYSIS shaped = nullptr;
    int length = static_cast<int>(text.size());
    // Uniscribe's own estimate of the glyphs a text may need.
    int glyphs = length * 3 / 2 + 16;
    if (FAILED(ScriptStringAnalyse(dc, text.c_str(), length, glyphs, -1, SSA_GLYPHS | SSA_FALLBACK, 0, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, &shaped))) {
        return nullptr;
    }
    return shaped;
}

int ShapedWidth(SCRIPT_STRING_ANALYSIS shaped) {
    const SIZE* size = ScriptString_pSize(shaped);
    return size ? size->cx : 0;
}

// The text cut at a whole character, with "…" after it, where it fits in
// width; the last cut when nothing but "…" fits.
std::wstring FitWithEllipsis(HDC dc, const std::wstring& text, int width) {
    std::wstring cut = text;
    while (!cut.empty()) {
        size_t drop = cut.size() >= 2 && IsLowSurrogate(cut.back()) && IsHighSurrogate(cut[cut.size() - 2]) ? 2 : 1;
        cut.resize(cut.size() - drop);
        SCRIPT_STRING_ANALYSIS shaped = Shape(dc, cut + Ellipsis);
        if (!shaped) break;
        bool fits = ShapedWidth(shaped) <= width;
        ScriptStringFree(&shaped);
        if (fits) break;
    }
    return cut + Ellipsis;
}

}  // namespace

bool HoldsSurrogatePair(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) return true;
    }
    return false;
}

void DrawShapedLine(HDC dc, const std::wstring& text, const RECT& box) {
    if (text.empty()) return;
    SCRIPT_STRING_ANALYSIS shaped = Shape(dc, text);
    if (!shaped) return;
    int width = box.right - box.left;
    if (ShapedWidth(shaped) > width) {
        ScriptStringFree(&shaped);
        shaped = Shape(dc, FitWithEllipsis(dc, text, width));
        if (!shaped) return;
    }
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    int top = box.top + (box.bottom - box.top - metrics.tmHeight) / 2;
    int previousMode = SetBkMode(dc, TRANSPARENT);
    ScriptStringOut(shaped, box.left, top, ETO_CLIPPED, &box, 0, 0, FALSE);
    SetBkMode(dc, previousMode);
    ScriptStringFree(&shaped);
}
