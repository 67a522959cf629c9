// Elsewhere paths are handed to the C library as UTF-8.
#include "base/FileAccess.h"

#include "base/TextCodec.h"

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <new>

namespace files {
namespace {
std::string narrow(const std::wstring& path) {
    std::string bytes = text::toUtf8(path);
    std::replace(bytes.begin(), bytes.end(), '\\', '/');
    return bytes;
}
}  // namespace

wchar_t separator() noexcept { return L'/'; }

std::filesystem::path systemPath(const std::wstring& path) { return std::filesystem::u8path(narrow(path)); }

FilePtr open(const std::wstring& path, const char* mode) noexcept {
    if (path.empty() || mode == nullptr) return nullptr;
    try {
        return FilePtr(std::fopen(narrow(path).c_str(), mode));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool seekTo(std::FILE* file, std::uint64_t offset) noexcept {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> fileLength(std::FILE* file) noexcept {
    if (::fseeko(file, 0, SEEK_END) != 0) return std::nullopt;
    const off_t end = ::ftello(file);
    if (end < 0 || !seekTo(file, 0)) return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

bool truncate(std::FILE* file, std::uint64_t size) noexcept {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
    return ::ftruncate(::fileno(file), static_cast<off_t>(size)) == 0;
}

bool flushToDisk(std::FILE* file) noexcept { return ::fsync(::fileno(file)) == 0; }

bool removeFile(const std::wstring& path) noexcept {
    try {
        return std::remove(narrow(path).c_str()) == 0;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool moveReplacing(const std::wstring& from, const std::wstring& to) noexcept {
    try {
        return std::rename(narrow(from).c_str(), narrow(to).c_str()) == 0;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace files
