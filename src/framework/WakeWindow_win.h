// A message-only window that runs a function on the thread that made it when
// any other thread pokes it: how work finished on a worker comes back to the
// editor's thread.
#pragma once

#include "framework/Window.h"

#include <atomic>
#include <functional>

namespace ui {

class WakeWindow : public ChildWindow {
public:
    ~WakeWindow() override;
    // Makes the window; `onWake` runs on this thread, once per poke.
    bool create(HINSTANCE instance, std::function<void()> onWake);
    // Any thread; nothing once the window is gone.
    void poke() const noexcept;
    void destroy() override;

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void windowGone() override;

    std::function<void()> onWake_;
    std::atomic<HWND> target_{nullptr};
};

}  // namespace ui
