#include "framework/WakeWindow_win.h"

namespace ui {

namespace {

constexpr UINT kWake = WM_APP + 0x57;

}  // namespace

WakeWindow::~WakeWindow() { destroy(); }

bool WakeWindow::create(HINSTANCE instance, std::function<void()> onWake) {
    if (hwnd_ != nullptr) return true;
    onWake_ = std::move(onWake);
    attach(instance, HWND_MESSAGE);
    hwnd_ = createChild(L"QuorrelWake", nullptr, 0, 0, 0, 0, 0);
    target_.store(hwnd_);
    return hwnd_ != nullptr;
}

void WakeWindow::poke() const noexcept {
    const HWND target = target_.load();
    if (target != nullptr) ::PostMessageW(target, kWake, 0, 0);
}

void WakeWindow::destroy() {
    target_.store(nullptr);
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void WakeWindow::windowGone() {
    target_.store(nullptr);
    hwnd_ = nullptr;
}

LRESULT WakeWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWake) {
        if (onWake_) onWake_();
        return 0;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace ui
