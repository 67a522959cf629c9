// Running many independent pieces of work on a few threads, with a flag that
// asks them to stop. Portable (std::thread).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace base {

// What long work over a list of items (bundle entries, image files) tells
// whoever shows its progress. Called from the work's own threads.
class StepProgress {
public:
    virtual ~StepProgress() = default;
    // Once, before any item, with the number of items.
    virtual void begin(std::size_t total) = 0;
    // An item is being worked on now.
    virtual void itemStarted(const std::wstring& name) = 0;
    // Another item is done, whatever came of it; `done` counts them all so far.
    virtual void itemDone(std::size_t done) = 0;
};

// Set once by whoever wants the work to stop (any thread); read by the work.
class CancelFlag {
public:
    void cancel() noexcept { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const noexcept { return cancelled_.load(std::memory_order_relaxed); }
    // For the next piece of work, once the last one has ended.
    void reset() noexcept { cancelled_.store(false, std::memory_order_relaxed); }

private:
    std::atomic<bool> cancelled_{false};
};

// A point that work passes freely while the gate is open and waits at while
// it is shut, until it is opened again. Tests shut it to act on work that
// cannot end underneath them; whoever cancels the work opens it.
class Gate {
public:
    void shut();
    void open();
    // Returns at once while open; otherwise waits until opened.
    void pass() const;

private:
    mutable std::mutex lock_;
    mutable std::condition_variable opened_;
    bool shut_ = false;
};

// One thread per core, and at least two.
unsigned defaultWorkerCount() noexcept;

struct ParallelOutcome {
    std::size_t finished = 0;        // tasks that ran to their end (threw or not)
    std::vector<std::size_t> threw;  // indices whose task let an exception out, ascending
    bool cancelled = false;          // the flag stopped the run before every task started
};

// Calls task(i) once for each i in [0, count), on `workers` threads while
// the calling thread waits, taking indices in ascending order.
// Once `cancel` is set no further task starts; running ones finish (they may
// watch the flag themselves). Exceptions are caught per task and reported.
ParallelOutcome runParallel(std::size_t count, unsigned workers, const CancelFlag& cancel,
                            const std::function<void(std::size_t)>& task);

}  // namespace base
