#include "preview/PreviewUpdater.h"

#include "skin/MediaPaths.h"

namespace preview {

namespace {

// Clears a flag however the scope is left; an editor or device call that
// throws must not leave the previewer believing it is still busy.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void PreviewUpdater::update(PreviewSource& source, PreviewCanvas& canvas) {
    if (!shown_ || busy_) {
        return;
    }
    BusyScope busy(busy_);
    const int line = source.caretLine();
    if (line == lastLine_) {
        return;
    }
    lastLine_ = line;

    std::wstring name;
    if (!source.tagValueOnLine(line, name) || name.empty()) {
        return;
    }
    lastImagePath_ = ImagePathFor(MediaFolderOf(source.currentDirectory()), name);
    canvas.clear();
    if (canvas.showFile(lastImagePath_)) {
        return;
    }
    if (!canvas.showBundleImage(lastImagePath_)) {
        canvas.showNothing();
    }
}

}  // namespace preview
