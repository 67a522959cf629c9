// Base of every window of the plugin: owns one window handle.
#pragma once

#include <windows.h>

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void attach(HINSTANCE instance, HWND parent);
    virtual void destroy() = 0;
    virtual void display(bool show = true);
    // The rectangle's third and fourth values are a width and a height.
    virtual void moveTo(const RECT& rc);
    // The rectangle is two corners.
    virtual void moveToBounds(const RECT& rc);
    virtual void redraw();
    virtual void clientRect(RECT& rc) const;
    virtual void windowRect(RECT& rc) const;
    virtual int width() const;
    // 0 while the window is hidden.
    virtual int height() const;
    virtual bool isShown() const;

    HWND handle() const { return hwnd_; }
    HWND parentHandle() const { return parent_; }
    HINSTANCE instance() const { return instance_; }

protected:
    HINSTANCE instance_ = nullptr;
    HWND parent_ = nullptr;
    HWND hwnd_ = nullptr;
};

namespace ui {
// The two boxes shown when a window class cannot be registered or a window of
// it cannot be created ("Quorrel error").
void reportClassRegistrationFailure(HWND parent, const wchar_t* className, DWORD error);
void reportWindowCreationFailure(HWND parent, const wchar_t* className, DWORD error);
// The text of the "commctrl_DragListMsg" registered message.
UINT dragListMessage();
}  // namespace ui
