// The DPI a window is shown at, and the fixed-pitch font of the framework's
// list and edit boxes at that DPI.
#pragma once

#include <windows.h>

namespace ui {

// WM_DPICHANGED_AFTERPARENT: sent to child windows after their top-level
// window moved to a screen of another scale (older SDK headers lack it).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The window's DPI where the system tells it per window (GetDpiForWindow,
// looked up at run time: older systems lack it); else the screen's logical
// DPI. Never below 1.
int windowDpi(HWND window);
// The screen's logical DPI, at which the system's stock fonts are made.
int systemDpi();

// "Courier New" of `height96` pixels at 96 DPI, normal weight, at `dpi`.
HFONT createFixedPitchFont(int height96, int dpi);

}  // namespace ui
