#include "settings/SettingsFile.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>

#include "base/TextCodec.h"
#endif

namespace settings_file {
namespace {

#if defined(_WIN32)

std::FILE* openPath(const std::wstring& path, const wchar_t* mode) { return ::_wfopen(path.c_str(), mode); }
bool flushToDisk(std::FILE* file) { return ::_commit(::_fileno(file)) == 0; }
void removePath(const std::wstring& path) { ::DeleteFileW(path.c_str()); }
bool movePath(const std::wstring& from, const std::wstring& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

#else

std::FILE* openPath(const std::wstring& path, const wchar_t* mode) {
    const std::string narrowMode = text::narrowBytes(mode);
    return std::fopen(text::toUtf8(path).c_str(), narrowMode.c_str());
}
bool flushToDisk(std::FILE* file) { return ::fsync(::fileno(file)) == 0; }
void removePath(const std::wstring& path) { std::remove(text::toUtf8(path).c_str()); }
bool movePath(const std::wstring& from, const std::wstring& to) {
    return std::rename(text::toUtf8(from).c_str(), text::toUtf8(to).c_str()) == 0;
}

#endif

}  // namespace

FilePtr openForReading(const std::wstring& path) {
    if (path.empty()) return nullptr;
    return FilePtr(openPath(path, L"rb"));
}

std::wstring pendingName(const std::wstring& path) { return path + L".new"; }

bool replaceFile(const std::wstring& path, const std::function<bool(std::FILE*)>& write) {
    if (path.empty()) return false;
    const std::wstring pending = pendingName(path);
    std::FILE* raw = openPath(pending, L"wb");
    if (raw == nullptr) return false;
    FilePtr file(raw);
    bool complete = write(file.get());
    // stdio keeps the tail of the text in its buffer: a full disk shows only
    // when it is flushed or the file is closed, so both results count.
    complete = complete && std::ferror(file.get()) == 0 && std::fflush(file.get()) == 0 &&
               flushToDisk(file.get());
    complete = (std::fclose(file.release()) == 0) && complete;
    if (!complete || !movePath(pending, path)) {
        removePath(pending);
        return false;
    }
    return true;
}

}  // namespace settings_file
