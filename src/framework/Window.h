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
    // The window was destroyed (by its parent or the host): forget its handle.
    void windowDestroyed() { hwnd_ = nullptr; }
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

// Registers the window class (unless it exists: arrow cursor, window-colour
// background, redrawn on resizing) and creates a visible child of it over
// `parent`, with `self` in its user data. Failures are reported with the boxes
// above; the result is then null.
HWND createChildOfClass(HINSTANCE instance, HWND parent, const wchar_t* className, WNDPROC procedure, void* self);

// Unregisters the classes createChildOfClass registered. A library's classes
// outlive it otherwise, and a later load of it would find their procedures
// pointing into the unloaded copy.
void unregisterChildClasses(HINSTANCE instance) noexcept;

// The window procedure of a child made by createChildOfClass: routes every
// message to the object's onMessage and lets no exception out.
template <typename Child>
LRESULT CALLBACK routeToChild(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* self = reinterpret_cast<Child*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr || self->handle() != window) return ::DefWindowProcW(window, message, wParam, lParam);
        const LRESULT result = self->onMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) self->windowDestroyed();
        return result;
    } catch (...) {
        return 0;
    }
}
}  // namespace ui
