#include "framework/ProgressWindow_win.h"

#include "framework/framework_ids.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Posted by the work: its state changed (once until the window has looked),
// and it has ended.
constexpr UINT kStateChanged = WM_APP + 0x51;
constexpr UINT kWorkEnded = WM_APP + 0x52;
constexpr UINT_PTR kShowTimer = 1;
// The bar's range is 16-bit on older common controls; steps are scaled to it.
constexpr int kBarRange = 10000;

}  // namespace

ProgressWindow::~ProgressWindow() { stopWork(); }

void ProgressWindow::stopWork() noexcept {
    if (thread_.joinable()) {
        cancel_.cancel();
        hold_.open();
        try {
            thread_.join();
        } catch (...) {
        }
    }
    window_ = nullptr;
}

std::wstring ProgressWindow::countText(std::size_t done, std::size_t total, const std::wstring& unit) {
    return std::to_wstring(done) + L" of " + std::to_wstring(total) + L" " + unit;
}

bool ProgressWindow::start(HINSTANCE instance, HWND owner, Task task) {
    if (running() || hwnd_ != nullptr) return false;
    task_ = std::move(task);
    {
        const std::lock_guard<std::mutex> hold(lock_);
        total_ = task_.total;
        done_ = 0;
        current_.clear();
    }
    cancel_.reset();
    posted_ = false;
    attach(instance, owner);
    if (!createDialog(IDD_PROGRESS, false, shell_ != nullptr)) return false;
    window_ = hwnd_;
    ::SetWindowTextW(hwnd_, task_.title.c_str());
    ::SendDlgItemMessageW(hwnd_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
    showState();
    ::SetTimer(hwnd_, kShowTimer, kShowDelayMs, nullptr);
    try {
        thread_ = std::thread([this] {
            try {
                if (task_.work) task_.work(*this);
            } catch (...) {
                // The work's own failures are its to report; nothing leaves the thread.
            }
            const HWND window = window_.load();
            if (window != nullptr) ::PostMessageW(window, kWorkEnded, 0, 0);
        });
    } catch (...) {
        destroy();
        window_ = nullptr;
        return false;
    }
    return true;
}

void ProgressWindow::cancel() {
    cancel_.cancel();
    hold_.open();
    if (hwnd_ != nullptr) {
        ::EnableWindow(::GetDlgItem(hwnd_, IDCANCEL), FALSE);
    }
}

void ProgressWindow::setTotal(std::size_t total) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        total_ = total;
    }
    reported();
}

void ProgressWindow::setDone(std::size_t done) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        done_ = std::max(done_, done);
    }
    reported();
}

void ProgressWindow::setCurrent(const std::wstring& text) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        current_ = text;
    }
    reported();
}

void ProgressWindow::reported() {
    const HWND window = window_.load();
    if (window != nullptr && !posted_.exchange(true)) ::PostMessageW(window, kStateChanged, 0, 0);
    hold_.pass();
}

void ProgressWindow::showState() {
    std::size_t total = 0;
    std::size_t done = 0;
    std::wstring current;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        total = total_;
        done = done_;
        current = current_;
    }
    const int position =
        total == 0
            ? 0
            : static_cast<int>(static_cast<double>(std::min(done, total)) * kBarRange / static_cast<double>(total));
    ::SendDlgItemMessageW(hwnd_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    ::SetDlgItemTextW(hwnd_, IDC_PROGRESS_COUNT, countText(done, total, task_.unit).c_str());
    ::SetDlgItemTextW(hwnd_, IDC_PROGRESS_NAME, current.c_str());
}

void ProgressWindow::onFinished() {
    if (thread_.joinable()) thread_.join();
    window_ = nullptr;
    const bool cancelled = cancel_.cancelled();
    std::function<void(bool)> finished = std::move(task_.finished);
    task_ = Task{};
    destroy();
    if (finished) finished(cancelled);
}

INT_PTR ProgressWindow::dialogProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            ::KillTimer(hwnd_, kShowTimer);
            centreOnParent();
            ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        }
        return TRUE;
    case kStateChanged:
        posted_ = false;
        showState();
        return TRUE;
    case kWorkEnded:
        onFinished();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            cancel();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        cancel();
        return TRUE;
    default:
        return FALSE;
    }
}
