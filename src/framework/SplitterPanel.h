// Two panes, side by side or stacked, around a bar the user can drag.
#pragma once

#include "framework/Theme_win.h"
#include "framework/Window.h"

class SplitterPanel : public ui::ChildWindow {
public:
    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override {}

    void setPanes(Window* first, Window* second);
    bool isSideBySide() const { return sideBySide_; }
    void setSideBySide(bool sideBySide);
    float ratio() const { return ratio_; }
    // The bar's thickness at 96 DPI, and in pixels at the window's DPI.
    int barThickness() const { return thickness_; }
    int barPixels() const;
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
    HCURSOR stackedCursor_ = nullptr;  // resource cursors are shared: not destroyed
    HCURSOR sideBySideCursor_ = nullptr;
    ui::BrushCache brushes_;
    ui::PenCache barPen_;
    UINT dragListMessage_ = 0;
};
