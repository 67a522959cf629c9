// Painting with the theme on Win32: solid brushes and pens made once per
// colour, and the answer to a child control's colour request while dark.
#pragma once

#include "base/Win32Handles.h"
#include "framework/Theme.h"

#include <utility>
#include <vector>

namespace ui {

// Solid brushes by colour, made on first use and kept while the owner lives
// (a theme switch asks for a few new colours, never for many).
class BrushCache {
public:
    HBRUSH get(Colour colour);

private:
    std::vector<std::pair<Colour, win::Brush>> brushes_;
};

// One solid pen of a fixed width, made again when its colour changes.
class PenCache {
public:
    explicit PenCache(int width = 1) : width_(width) {}
    HPEN get(Colour colour);
    void reset() { pen_.reset(); }

private:
    int width_;
    Colour colour_ = 0;
    win::Pen pen_;
};

// Answers WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLOREDIT
// and WM_CTLCOLORLISTBOX while the theme is dark: sets the text and background
// colours on the control's DC and returns the brush to paint with (edit boxes
// and lists on the softer background). While light, or for another message,
// null: the message then goes to its default handling, as it always did.
HBRUSH darkControlColours(const Theme& theme, UINT message, HDC dc, BrushCache& brushes);

// While dark, fills the window's client area with the editor's background and
// returns true; while light, false (the window erases as it always did).
bool eraseDark(HWND window, HDC dc, const Theme& theme, BrushCache& brushes);

// Repaints a window and all its children at once, frames and backgrounds included.
void repaintAll(HWND window);

}  // namespace ui
