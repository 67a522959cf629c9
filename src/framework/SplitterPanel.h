// Two panes, side by side or stacked, around a bar the user can drag.
#pragma once

#include "base/Win32Handles.h"
#include "framework/Window.h"

class SplitterPanel : public ui::ChildWindow {
public:
    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override {}

    void setPanes(Window* first, Window* second);
    bool isSideBySide() const { return sideBySide_; }
    void setSideBySide(bool sideBySide);
    float ratio() const { return ratio_; }
    int barThickness() const { return thickness_; }
    void layoutPanes();

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    RECT barRect() const;
    bool overBar(int x, int y) const;
    void paint();

    Window* first_ = nullptr;
    Window* second_ = nullptr;
    bool sideBySide_ = false;
    float ratio_ = 0.5f;
    int thickness_ = 6;
    bool dragging_ = false;
    HCURSOR stackedCursor_ = nullptr;     // resource cursors are shared: not destroyed
    HCURSOR sideBySideCursor_ = nullptr;
    win::Brush barBrush_;
    win::Pen barPen_;
    UINT dragListMessage_ = 0;
};
