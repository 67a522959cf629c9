#include "settings/SettingsFile.h"

#include "base/FileAccess.h"

namespace settings_file {

FilePtr openForReading(const std::wstring& path) {
    if (path.empty()) return nullptr;
    return files::open(path, "rb");
}

std::wstring pendingName(const std::wstring& path) { return path + L".new"; }

bool replaceFile(const std::wstring& path, const std::function<bool(std::FILE*)>& write) {
    if (path.empty()) return false;
    const std::wstring pending = pendingName(path);
    FilePtr file = files::open(pending, "wb");
    if (!file) return false;
    bool complete = write(file.get());
    // stdio keeps the tail of the text in its buffer: a full disk shows only
    // when it is flushed or the file is closed, so both results count.
    complete =
        complete && std::ferror(file.get()) == 0 && std::fflush(file.get()) == 0 && files::flushToDisk(file.get());
    complete = (std::fclose(file.release()) == 0) && complete;
    if (!complete || !files::moveReplacing(pending, path)) {
        files::removeFile(pending);
        return false;
    }
    return true;
}

}  // namespace settings_file
