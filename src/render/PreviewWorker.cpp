#include "render/PreviewWorker.h"

namespace render {

PreviewWorker::PreviewWorker(std::function<void()> finished)
    : finished_(std::move(finished)), thread_([this] { run(); }) {}

PreviewWorker::~PreviewWorker() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
        waiting_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

void PreviewWorker::request(PreviewRequest request) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        waiting_ = std::move(request);
    }
    wake_.notify_all();
}

std::optional<PreviewResult> PreviewWorker::take() {
    std::lock_guard<std::mutex> hold(lock_);
    std::optional<PreviewResult> out = std::move(done_);
    done_.reset();
    return out;
}

void PreviewWorker::run() {
    for (;;) {
        PreviewRequest job;
        {
            std::unique_lock<std::mutex> hold(lock_);
            wake_.wait(hold, [this] { return stopping_ || waiting_.has_value(); });
            if (stopping_) return;
            job = std::move(*waiting_);
            waiting_.reset();
        }
        PreviewResult result;
        result.serial = job.serial;
        try {
            if (job.forgetCache && job.assets) job.assets->forget();
            if (job.assets) result.rendering = RenderWindow(job.source, *job.assets, job.options);
        } catch (...) {
            // No memory for this drawing: the preview keeps the one before.
            continue;
        }
        result.source = std::move(job.source);
        {
            std::lock_guard<std::mutex> hold(lock_);
            done_ = std::move(result);
        }
        if (finished_) finished_();
    }
}

}  // namespace render
