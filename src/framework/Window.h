// Base of every window of the plugin: owns one window handle.
#pragma once

#include <windows.h>

#include "framework/Theme.h"

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
    // The window was destroyed (by its parent or the host): forget its handle.
    void windowDestroyed() { hwnd_ = nullptr; }
    HWND parentHandle() const { return parent_; }
    HINSTANCE instance() const { return instance_; }

    // The colours the window paints with (not owned; null: the light ones).
    void setTheme(const ui::Theme* theme) { theme_ = theme; }
    const ui::Theme& theme() const { return theme_ != nullptr ? *theme_ : ui::Theme::light(); }
    const ui::Theme* themeSource() const { return theme_; }

protected:
    const ui::Theme* theme_ = nullptr;
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

// The one registry of the module's window classes: registers the class unless
// it exists (arrow cursor, redrawn on resizing, `background` or none). A
// failure is reported with the box above; the result is then false.
bool ensureClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, HBRUSH background, HWND parent);

// Unregisters the framework's own child classes. A library's classes outlive
// it otherwise, and a later load of it would find their procedures pointing
// into the unloaded copy.
void unregisterChildClasses(HINSTANCE instance) noexcept;

// A child window of a class of the module, whose messages go to its object
// from the first one on (the object rides in the creation parameters and is
// stored at WM_NCCREATE); the object forgets the window when it is destroyed,
// and no exception leaves the window procedure.
class ChildWindow : public Window {
protected:
    // Registers the class if needed and creates the child over the parent
    // given to attach; a failure is reported and gives null.
    HWND createChild(const wchar_t* className, HBRUSH classBackground, DWORD style, int x, int y, int width, int height,
                     int controlId = 0);
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void windowGone() { hwnd_ = nullptr; }

private:
    static LRESULT CALLBACK routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
}  // namespace ui
