#include "framework/Dpi_win.h"

#include "framework/Dpi.h"

namespace ui {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn dpiForWindowFunction() {
    HMODULE user = ::GetModuleHandleW(L"user32.dll");
    if (user == nullptr) return nullptr;
    return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(::GetProcAddress(user, "GetDpiForWindow")));
}

}  // namespace

int systemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int windowDpi(HWND window) {
    static const GetDpiForWindowFn dpiForWindow = dpiForWindowFunction();
    if (dpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = dpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return systemDpi();
}

HFONT createFixedPitchFont(int height96, int dpi) {
    return ::CreateFontW(scaled(height96, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                         L"Courier New");
}

}  // namespace ui
