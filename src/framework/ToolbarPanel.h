// A framed pane that holds one child window, inset by one pixel.
#pragma once

#include "framework/Theme_win.h"
#include "framework/Window.h"

class ToolbarPanel : public ui::ChildWindow {
public:
    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override;
    void setChild(Window* child);
    Window* child() const { return child_; }
    // Lays the child out over the client area, one pixel in from every side.
    void layoutChild();

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void paint();

    Window* child_ = nullptr;
    ui::PenCache pen_;
    ui::BrushCache brushes_;
    UINT dragListMessage_ = 0;
};
