// Pictures for the tests and the demo: a window's pixels (frame included) or
// the screen's over a rectangle, and pixels written as a PNG file through
// GDI+ (which the stand-in host starts).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // X8R8G8B8, rows from the top
    bool empty() const { return width <= 0 || height <= 0; }
};

// The window as it shows, frame included: redrawn, then copied from the
// screen while it is visible, or else printed by the window itself.
bool captureWindow(HWND window, Picture& out, std::wstring& error);
// The screen over a rectangle (menus are windows of their own).
bool captureScreen(const RECT& area, Picture& out, std::wstring& error);
// Writes the pixels, made opaque, as a PNG file.
bool savePng(const Picture& picture, const std::wstring& path, std::wstring& error);

}  // namespace host
