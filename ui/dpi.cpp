#include "ui/dpi.h"

#include "ui/app_state.h"

namespace {

// Functions of Windows 10, version 1607 and later, looked up when first
// needed so that the program still starts where user32 lacks them.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

GetDpiForWindowFunction DpiForWindow() {
    static const GetDpiForWindowFunction function = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    return function;
}

GetSystemMetricsForDpiFunction SystemMetricsForDpi() {
    static const GetSystemMetricsForDpiFunction function =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return function;
}

SystemParametersInfoForDpiFunction SystemParametersForDpi() {
    static const SystemParametersInfoForDpiFunction function =
        User32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    return function;
}

}  // namespace

int DpiScale(int pixels, int dpi) { return MulDiv(pixels, dpi, BaseDpi); }

int DpiScale(int pixels) { return DpiScale(pixels, App.dpi); }

int WindowDpi(HWND window) {
    if (GetDpiForWindowFunction function = DpiForWindow()) {
        if (UINT dpi = function(window)) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BaseDpi;
}

int SystemMetricForDpi(int index, int dpi) {
    if (GetSystemMetricsForDpiFunction function = SystemMetricsForDpi()) {
        return function(index, static_cast<UINT>(dpi));
    }
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

bool IconTitleFontForDpi(int dpi, LOGFONTW* font) {
    if (SystemParametersInfoForDpiFunction function = SystemParametersForDpi()) {
        return function(SPI_GETICONTITLELOGFONT, sizeof *font, font, 0, static_cast<UINT>(dpi));
    }
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof *font, font, 0)) return false;
    font->lfHeight = MulDiv(font->lfHeight, dpi, SystemDpi());
    return true;
}
