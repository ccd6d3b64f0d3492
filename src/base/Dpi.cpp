#include "base/Dpi.h"

namespace {
template <typename Fn>
Fn User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}
} // namespace

unsigned WindowDpi(HWND hwnd)
{
    // Bound at run time: the program also runs on systems that predate per-monitor DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (hwnd && getDpiForWindow) {
        UINT dpi = getDpiForWindow(hwnd);
        if (dpi) return dpi;
    }
    HDC dc = ::GetDC(nullptr);
    int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ::ReleaseDC(nullptr, dc);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96u;
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi)
{
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi && adjustForDpi(rect, style, FALSE, exStyle, dpi)) return;
    ::AdjustWindowRectEx(rect, style, FALSE, exStyle);
}

HFONT CreateMessageFont(unsigned dpi, int pointSizeOverride)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        metrics.lfMessageFont.lfHeight = -11;
        lstrcpynW(metrics.lfMessageFont.lfFaceName, L"Tahoma", LF_FACESIZE);
    }
    LOGFONTW font = metrics.lfMessageFont;
    if (pointSizeOverride > 0) {
        font.lfHeight = -::MulDiv(pointSizeOverride, static_cast<int>(dpi), 72);
    } else {
        unsigned systemDpi = WindowDpi(nullptr);
        font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi));
    }
    return ::CreateFontIndirectW(&font);
}
