// Draws windows on a thread of its own, for a preview that follows the
// author's typing: a new request replaces the one still waiting (the last
// edit wins), and the drawing in progress runs to its end. Portable.
#pragma once

#include "render/WindowRenderer.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace render {

struct PreviewRequest {
    WindowSource source;
    std::shared_ptr<SkinAssets> assets;  // made from the model when asked (a copy of its definitions)
    RenderOptions options;
    bool forgetCache = false;  // the skin's files changed on disk: decode again
    std::uint64_t serial = 0;
};

struct PreviewResult {
    Rendering rendering;
    WindowSource source;  // what was drawn, for its places
    std::uint64_t serial = 0;
};

class PreviewWorker {
public:
    // `finished` runs on the worker after each drawing is ready to take.
    explicit PreviewWorker(std::function<void()> finished);
    ~PreviewWorker();
    PreviewWorker(const PreviewWorker&) = delete;
    PreviewWorker& operator=(const PreviewWorker&) = delete;

    void request(PreviewRequest request);
    // The newest drawing finished since the last take, if any.
    std::optional<PreviewResult> take();

private:
    void run();

    std::function<void()> finished_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::optional<PreviewRequest> waiting_;
    std::optional<PreviewResult> done_;
    bool stopping_ = false;
    std::thread thread_;  // last: started when the rest is ready
};

}  // namespace render
