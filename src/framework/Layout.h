// Layout arithmetic of the window framework, free of windows.h so that it is
// unit-tested natively. Rectangles are corners (left, top, right, bottom).
#pragma once

#include <optional>

namespace layout {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

// Two panes around a bar of `thickness` pixels at `ratio` of the client extent.
struct SplitterLayout {
    Rect first;
    Rect bar;
    Rect second;
};
SplitterLayout splitterLayout(int clientWidth, int clientHeight, bool sideBySide, float ratio, int thickness);

// While dragging, a mouse position p along the split axis sets a new ratio only
// when 0 < p and p + thickness < extent; otherwise the ratio stays.
std::optional<float> splitterDragRatio(int position, int extent, int thickness);

// Keeps a dialog reachable: the dialog's window rectangle against the work area
// and the virtual screen (origin and size), with `caption` the small-caption height.
// Returns the new top-left corner, or nothing when the dialog may stay.
struct ScreenMetrics {
    Rect workArea;
    int virtualLeft = 0;
    int virtualTop = 0;
    int virtualWidth = 0;
    int virtualHeight = 0;
    int caption = 0;
};
std::optional<Point> keepOnScreen(const Rect& dialog, const ScreenMetrics& screen);

// Top-left corner that centres a window of the given size on `centre` (integer halves).
Point centredAt(Point centre, int width, int height);

// A pane's child area: the client area inset by one pixel on every side, as
// position and size (x, y, width, height).
Rect paneChildArea(int clientWidth, int clientHeight);

}  // namespace layout
