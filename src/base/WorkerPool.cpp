#include "base/WorkerPool.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace base {

void Gate::shut() {
    const std::lock_guard<std::mutex> hold(lock_);
    shut_ = true;
}

void Gate::open() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        shut_ = false;
    }
    opened_.notify_all();
}

void Gate::pass() const {
    std::unique_lock<std::mutex> hold(lock_);
    opened_.wait(hold, [this] { return !shut_; });
}

unsigned defaultWorkerCount() noexcept { return std::max(2u, std::thread::hardware_concurrency()); }

ParallelOutcome runParallel(std::size_t count, unsigned workers, const CancelFlag& cancel,
                            const std::function<void(std::size_t)>& task) {
    ParallelOutcome outcome;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};
    std::mutex threwLock;

    const auto work = [&]() noexcept {
        for (;;) {
            if (cancel.cancelled()) return;
            const std::size_t index = next.fetch_add(1);
            if (index >= count) return;
            try {
                task(index);
            } catch (...) {
                try {
                    const std::lock_guard<std::mutex> hold(threwLock);
                    outcome.threw.push_back(index);
                } catch (...) {
                    // Without memory for the note the task still counts as finished.
                }
            }
            finished.fetch_add(1);
        }
    };

    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(std::max(1u, workers), count));
    std::vector<std::thread> pool;
    pool.reserve(threads);
    try {
        for (unsigned i = 0; i < threads; ++i) pool.emplace_back(work);
    } catch (...) {
        // Fewer threads than asked for (none at all: the caller's thread does it).
        if (pool.empty()) work();
    }
    for (std::thread& thread : pool) thread.join();

    outcome.finished = finished.load();
    outcome.cancelled = outcome.finished < count && cancel.cancelled();
    std::sort(outcome.threw.begin(), outcome.threw.end());
    return outcome;
}

}  // namespace base
