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

// The classes registered by this library (class names are string literals).
const wchar_t* registeredClasses[8] = {};

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

HWND createChildOfClass(HINSTANCE instance, HWND parent, const wchar_t* className, WNDPROC procedure, void* self) {
    WNDCLASSW wc{};
    if (::GetClassInfoW(instance, className, &wc) == FALSE) {
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = className;
        if (::RegisterClassW(&wc) == 0) {
            if (::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
                reportClassRegistrationFailure(parent, className, ::GetLastError());
                return nullptr;
            }
        } else {
            for (const wchar_t*& slot : registeredClasses) {
                if (slot == nullptr) {
                    slot = className;
                    break;
                }
            }
        }
    }
    HWND window = ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, parent,
                                    nullptr, instance, nullptr);
    if (window == nullptr) {
        reportWindowCreationFailure(parent, className, ::GetLastError());
        return nullptr;
    }
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return window;
}

void unregisterChildClasses(HINSTANCE instance) noexcept {
    for (const wchar_t*& slot : registeredClasses) {
        if (slot != nullptr) ::UnregisterClassW(slot, instance);
        slot = nullptr;
    }
}

UINT dragListMessage() {
    static const UINT message = ::RegisterWindowMessageW(DRAGLISTMSGSTRING);
    return message;
}

}  // namespace ui
