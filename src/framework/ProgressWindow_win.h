// Long work off the editor's thread, with a small window that shows how it
// goes: a bar, "n of N <unit>", the name of the item at hand, and Cancel.
// The window is owned by the editor's main window and appears only when the
// work takes longer than about half a second. The work runs on a thread of
// its own and reports through setDone/setCurrent (from any thread); the
// window hears of it through posted messages, so the editor's thread never
// waits for the work. Reused by every long command (extraction, packing,
// whole-skin checks).
#pragma once

#include "base/WorkerPool.h"
#include "framework/StaticDialog.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class ProgressWindow : public StaticDialog, public base::StepProgress {
public:
    struct Task {
        std::wstring title;     // the window's caption
        std::size_t total = 0;  // steps of the whole work, if known at the start
        std::wstring unit = L"entries";
        // Runs on the work's thread; watches cancelFlag() and reports steps.
        std::function<void(ProgressWindow& progress)> work;
        // Runs on the editor's thread once the work has ended and the window
        // is gone; `cancelled` tells whether Cancel was asked for.
        std::function<void(bool cancelled)> finished;
    };

    // Time before the window shows itself.
    static constexpr unsigned kShowDelayMs = 500;

    ProgressWindow() = default;
    // Cancels running work and waits for it (its `finished` is not called).
    ~ProgressWindow() override;

    // Starts the work. False (nothing started) when work is running already
    // or the window cannot be made.
    bool start(HINSTANCE instance, HWND owner, Task task);
    bool running() const { return thread_.joinable(); }
    // As the Cancel button: asks the work to stop (and lets held work go on).
    void cancel();
    // While held, the work waits at its next report (which the window still
    // shows) until released, cancelled or the window's owner goes: tests
    // hold it to act on work that certainly still runs.
    void holdWork() { hold_.shut(); }
    void releaseWork() { hold_.open(); }

    // From the work, on any thread.
    const base::CancelFlag& cancelFlag() const { return cancel_; }
    void setTotal(std::size_t total);
    void setDone(std::size_t done);
    void setCurrent(const std::wstring& text);
    // The work's steps, as the item-by-item cores report them.
    void begin(std::size_t total) override { setTotal(total); }
    void itemStarted(const std::wstring& name) override { setCurrent(name); }
    void itemDone(std::size_t done) override { setDone(done); }

    // The count line as shown, e.g. "3 of 700 entries".
    static std::wstring countText(std::size_t done, std::size_t total, const std::wstring& unit);

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // After each report of the work: tells the window (once until it has
    // looked), then waits while the work is held.
    void reported();
    void showState();
    void onFinished();
    void stopWork() noexcept;

    Task task_;
    std::thread thread_;
    base::CancelFlag cancel_;
    base::Gate hold_;
    std::atomic<HWND> window_{nullptr};  // for the work's thread
    std::atomic<bool> posted_{false};
    std::mutex lock_;  // guards total_, done_ and current_
    std::size_t total_ = 0;
    std::size_t done_ = 0;
    std::wstring current_;
};
