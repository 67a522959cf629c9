#include "skin/SkinModelHolder.h"

#include "skin/DirectoryReader.h"
#include "skin/SkinReferences.h"

namespace skin {

namespace {

// Folders and files as the file system compares them.
std::wstring folderKey(const std::wstring& path) { return ReferenceKey(NormaliseFolder(path)); }

}  // namespace

SkinModelHolder::SkinModelHolder(ModelMaker make, std::function<void()> wake)
    : make_(std::move(make)), wake_(std::move(wake)) {}

SkinModelHolder::~SkinModelHolder() {
    if (worker_.joinable()) worker_.join();
}

void SkinModelHolder::bringUpToDate(SkinModel& model) const {
    model.setCoreStringsPath(coreStrings_);
    model.setCoreColoursPath(coreColours_);
    for (const auto& [key, path] : cleared_) model.clearOverlay(path);
    for (const auto& [key, text] : overlays_) model.setOverlay(overlayPaths_.at(key), text);
}

void SkinModelHolder::request(const std::wstring& documentFolder) {
    if (documentFolder.empty()) return;
    if (worker_.joinable()) {
        // The latest request is the one the editor still wants; the folder in
        // the works needs no second turn.
        hasWaiting_ = folderKey(documentFolder) != job_.key;
        if (hasWaiting_) waiting_ = documentFolder;
        return;
    }
    start(documentFolder);
}

void SkinModelHolder::start(const std::wstring& folder) {
    job_ = Job{};
    job_.folder = folder;
    job_.key = folderKey(folder);
    const auto home = models_.find(job_.key);
    if (home != models_.end()) {
        job_.model = std::move(home->second);
        models_.erase(home);
    } else {
        job_.model = make_ ? make_() : nullptr;
        if (!job_.model) return;
        // Overlays first: the first read of the skin then takes the unsaved texts.
        bringUpToDate(*job_.model);
    }
    finished_.store(false);
    worker_ = std::thread([this] {
        try {
            job_.changed = job_.model->refresh(job_.folder);
        } catch (...) {
            // A model that failed half way is not kept: the next request builds it afresh.
            job_.model.reset();
        }
        finished_.store(true);
        try {
            if (wake_) wake_();
        } catch (...) {
        }
    });
}

void SkinModelHolder::join() {
    if (worker_.joinable()) worker_.join();
    if (job_.model) {
        if (job_.changed || changedWhileAway_) ++generation_;
        // What the editor said while the model was away.
        bringUpToDate(*job_.model);
        models_[job_.key] = std::move(job_.model);
    }
    job_.key.clear();
    changedWhileAway_ = false;
}

bool SkinModelHolder::collect() {
    if (!worker_.joinable() || !finished_.load()) return false;
    const std::uint64_t before = generation_;
    join();
    if (hasWaiting_) {
        hasWaiting_ = false;
        start(waiting_);
    }
    return generation_ != before;
}

void SkinModelHolder::finish() {
    hasWaiting_ = false;
    if (worker_.joinable()) join();
}

const SkinModel* SkinModelHolder::await(const std::wstring& documentFolder) {
    if (documentFolder.empty()) return nullptr;
    if (worker_.joinable()) join();
    hasWaiting_ = false;
    if (models_.count(folderKey(documentFolder)) == 0) {
        start(documentFolder);
        join();
    }
    return model(documentFolder);
}

const SkinModel* SkinModelHolder::refreshed(const std::wstring& documentFolder) {
    if (documentFolder.empty()) return nullptr;
    if (worker_.joinable()) join();
    // A request for this folder is served now; one for another waits its turn.
    if (hasWaiting_ && folderKey(waiting_) == folderKey(documentFolder)) hasWaiting_ = false;
    start(documentFolder);
    join();
    if (hasWaiting_) {
        hasWaiting_ = false;
        start(waiting_);
    }
    return model(documentFolder);
}

const SkinModel* SkinModelHolder::model(const std::wstring& documentFolder) const {
    const auto it = models_.find(folderKey(documentFolder));
    return it == models_.end() ? nullptr : it->second.get();
}

void SkinModelHolder::setOverlay(const std::wstring& path, std::string text) {
    const std::wstring key = folderKey(path);
    auto& held = overlays_[key];
    if (held == text && overlayPaths_.count(key) != 0) return;
    held = std::move(text);
    overlayPaths_[key] = path;
    cleared_.erase(key);
    if (worker_.joinable()) changedWhileAway_ = true;
    for (auto& [folder, model] : models_) {
        const std::uint64_t before = generation_;
        model->setOverlay(path, held);
        if (model->file(path) != nullptr) generation_ = before + 1;
    }
}

void SkinModelHolder::clearOverlay(const std::wstring& path) {
    const std::wstring key = folderKey(path);
    if (overlays_.erase(key) == 0) return;
    overlayPaths_.erase(key);
    cleared_[key] = path;
    if (worker_.joinable()) changedWhileAway_ = true;
    for (auto& [folder, model] : models_) {
        model->clearOverlay(path);
        if (model->file(path) != nullptr) ++generation_;
    }
}

void SkinModelHolder::setCorePaths(const std::wstring& strings, const std::wstring& colours) {
    if (strings == coreStrings_ && colours == coreColours_) return;
    coreStrings_ = strings;
    coreColours_ = colours;
    for (auto& [folder, model] : models_) {
        model->setCoreStringsPath(strings);
        model->setCoreColoursPath(colours);
    }
    ++generation_;
}

}  // namespace skin
