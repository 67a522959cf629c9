#include "framework/Layout.h"

namespace layout {

SplitterLayout splitterLayout(int clientWidth, int clientHeight, bool sideBySide, float ratio, int thickness) {
    SplitterLayout out;
    if (sideBySide) {
        const int barLeft = static_cast<int>(static_cast<float>(clientWidth) * ratio);
        out.bar = {barLeft, 0, barLeft + thickness, clientHeight};
        out.first = {0, 0, barLeft, clientHeight};
        out.second = {barLeft + thickness, 0, clientWidth, clientHeight};
    } else {
        const int barTop = static_cast<int>(static_cast<float>(clientHeight) * ratio);
        out.bar = {0, barTop, clientWidth, barTop + thickness};
        out.first = {0, 0, clientWidth, barTop};
        out.second = {0, barTop + thickness, clientWidth, clientHeight};
    }
    return out;
}

std::optional<float> splitterDragRatio(int position, int extent, int thickness) {
    if (extent <= 0) return std::nullopt;
    if (position > 0 && position + thickness < extent) {
        return static_cast<float>(position) / static_cast<float>(extent);
    }
    return std::nullopt;
}

std::optional<Point> keepOnScreen(const Rect& dialog, const ScreenMetrics& screen) {
    int x = dialog.left;
    int y = dialog.top;
    const int width = dialog.width();
    const int height = dialog.height();
    if (x > screen.virtualWidth - screen.caption) x -= dialog.right - screen.workArea.right;
    if (x + width < screen.virtualLeft + screen.caption) x = screen.workArea.left;
    if (y > screen.virtualHeight - screen.caption) y -= dialog.bottom - screen.workArea.bottom;
    if (y + height < screen.virtualTop + screen.caption) y = screen.workArea.top;
    if (x == dialog.left && y == dialog.top) return std::nullopt;
    return Point{x, y};
}

Point centredAt(Point centre, int width, int height) { return {centre.x - width / 2, centre.y - height / 2}; }

Rect paneChildArea(int clientWidth, int clientHeight) { return {1, 1, clientWidth - 2, clientHeight - 2}; }

}  // namespace layout
