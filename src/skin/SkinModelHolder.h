// The models of the skins the editor works in, one per window folder, built
// and brought up to date on a worker thread while the editor's thread goes on.
//
// A model is either at home (the owner's thread reads it) or away at the
// worker (nobody reads it); it is handed over whole, so the model itself
// needs no lock. The worker tells the owner through `wake` (any thread) that
// a model is ready; the owner then calls collect() on its own thread. A
// command that needs the answer now (go to definition) calls await().
//
// The unsaved text of open documents is kept here and given to every model,
// also to models built later.
#pragma once

#include "skin/SkinModel.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace skin {

class SkinModelHolder {
public:
    // A new, empty model with whatever it reads through (it is refreshed on the worker).
    using ModelMaker = std::function<std::unique_ptr<SkinModel>()>;

    SkinModelHolder(ModelMaker make, std::function<void()> wake);
    // Waits for the worker's current job.
    ~SkinModelHolder();
    SkinModelHolder(const SkinModelHolder&) = delete;
    SkinModelHolder& operator=(const SkinModelHolder&) = delete;

    // The model of a document in `documentFolder` is wanted up to date: a new
    // one is built, a known one looks at sizes and times and re-reads what
    // changed, on the worker. While the worker is busy the latest request waits.
    void request(const std::wstring& documentFolder);
    // On the owner's thread, after `wake`: takes the worker's model back and
    // starts a waiting request. True when a model changed.
    bool collect();
    // Waits for the worker (building the folder's model if it is not known)
    // and returns the model, or null when it could not be built.
    const SkinModel* await(const std::wstring& documentFolder);

    // Waits for the worker, then has it bring the folder's model up to date
    // (building it when not known) and waits again: for a command that must
    // see the files as they are now. Null when it could not be built.
    const SkinModel* refreshed(const std::wstring& documentFolder);
    // The folder's model as last built, or null (not built yet, or away).
    const SkinModel* model(const std::wstring& documentFolder) const;
    bool busy() const { return worker_.joinable(); }
    // Waits for the worker and keeps what it did; nothing waits after it (the
    // editor shuts down: no thread may outlive the library).
    void finish();
    // Counts the changes of every model: what was read from it may be stale when it moved.
    std::uint64_t generation() const { return generation_; }

    // The unsaved text of an open document stands for its file.
    void setOverlay(const std::wstring& path, std::string text);
    void clearOverlay(const std::wstring& path);
    // The media center's own files (Options).
    void setCorePaths(const std::wstring& strings, const std::wstring& colours);

private:
    struct Job {
        std::wstring folder;
        std::wstring key;
        std::unique_ptr<SkinModel> model;
        bool changed = false;
    };
    void start(const std::wstring& folder);
    void join();
    void bringUpToDate(SkinModel& model) const;

    ModelMaker make_;
    std::function<void()> wake_;
    std::map<std::wstring, std::unique_ptr<SkinModel>> models_;  // by the folder's key
    std::map<std::wstring, std::string> overlays_;               // by the path's key
    std::map<std::wstring, std::wstring> overlayPaths_;
    // Overlays given up: a model that was away when it happened drops them on its return.
    std::map<std::wstring, std::wstring> cleared_;
    // Overlays set or cleared while a model was away.
    bool changedWhileAway_ = false;
    std::wstring coreStrings_;
    std::wstring coreColours_;
    std::wstring waiting_;  // a request made while the worker was busy
    bool hasWaiting_ = false;
    std::uint64_t generation_ = 0;

    // The worker's job: touched by the worker alone until it sets `finished_`,
    // and by the owner only after joining it.
    Job job_;
    std::atomic<bool> finished_{false};
    std::thread worker_;
};

}  // namespace skin
