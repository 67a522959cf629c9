#include "framework/Window.h"

#include <commctrl.h>

#include <cwchar>

void Window::attach(HINSTANCE instance, HWND parent) {
    instance_ = instance;
    parent_ = parent;
}

void Window::display(bool show) {
    if (hwnd_ != nullptr) ::ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
}

void Window::moveTo(const RECT& rc) {
    ::MoveWindow(hwnd_, rc.left, rc.top, rc.right, rc.bottom, TRUE);
    redraw();
}

void Window::moveToBounds(const RECT& rc) {
    ::MoveWindow(hwnd_, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    redraw();
}

void Window::redraw() {
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    ::UpdateWindow(hwnd_);
}

void Window::clientRect(RECT& rc) const { ::GetClientRect(hwnd_, &rc); }

void Window::windowRect(RECT& rc) const { ::GetWindowRect(hwnd_, &rc); }

int Window::width() const {
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    return rc.right - rc.left;
}

int Window::height() const {
    if (!isShown()) return 0;
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    return rc.bottom - rc.top;
}

bool Window::isShown() const { return hwnd_ != nullptr && ::IsWindowVisible(hwnd_) != FALSE; }

namespace ui {
namespace {

// The framework's own child classes.
constexpr const wchar_t* kFrameworkClasses[] = {L"ToolbarPanel", L"SplitterPanel", L"QuorrelWake"};

void reportClassFailure(HWND parent, const wchar_t* format, const wchar_t* className, DWORD error) {
    wchar_t text[512];
    std::swprintf(text, 512, format, className, static_cast<int>(error));
    ::MessageBoxW(parent, text, L"Quorrel error", MB_OK | MB_ICONERROR);
}

}  // namespace

void reportClassRegistrationFailure(HWND parent, const wchar_t* className, DWORD error) {
    reportClassFailure(parent,
                       L"Cannot register window class %ls, error code (%d)\r\nPlease remove this plugin and "
                       L"contact the plugin developer with this message",
                       className, error);
}

void reportWindowCreationFailure(HWND parent, const wchar_t* className, DWORD error) {
    reportClassFailure(parent,
                       L"Cannot create window class %ls, error code (%d)\r\nPlease remove this plugin and "
                       L"contact the plugin developer with this message",
                       className, error);
}

bool ensureClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, HBRUSH background, HWND parent) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, className, &existing) != FALSE) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (::RegisterClassExW(&wc) != 0) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_CLASS_ALREADY_EXISTS) return true;
    reportClassRegistrationFailure(parent, className, error);
    return false;
}

void unregisterChildClasses(HINSTANCE instance) noexcept {
    for (const wchar_t* name : kFrameworkClasses) ::UnregisterClassW(name, instance);
}

HWND ChildWindow::createChild(const wchar_t* className, HBRUSH classBackground, DWORD style, int x, int y, int width,
                              int height, int controlId) {
    if (!ensureClass(instance_, className, &ChildWindow::routeMessage, classBackground, parent_)) return nullptr;
    HWND window = ::CreateWindowExW(0, className, L"", style, x, y, width, height, parent_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance_,
                                    static_cast<ChildWindow*>(this));
    if (window == nullptr) reportWindowCreationFailure(parent_, className, ::GetLastError());
    return window;
}

LRESULT CALLBACK ChildWindow::routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            const auto* created = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
        }
        auto* self = reinterpret_cast<ChildWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (self->hwnd_ == window) self->windowGone();
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        if (self->hwnd_ == nullptr) self->hwnd_ = window;  // messages sent during creation
        return self->onMessage(message, wParam, lParam);
    } catch (...) {
        // A fault in a child window must never reach the editor's message loop.
        return 0;
    }
}

UINT dragListMessage() {
    static const UINT message = ::RegisterWindowMessageW(DRAGLISTMSGSTRING);
    return message;
}

}  // namespace ui
