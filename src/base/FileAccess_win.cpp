#include "base/FileAccess.h"

#include <io.h>
#include <windows.h>

#include <limits>
#include <string>

namespace files {

wchar_t separator() noexcept { return L'\\'; }

std::filesystem::path systemPath(const std::wstring& path) { return std::filesystem::path(path); }

FilePtr open(const std::wstring& path, const char* mode) noexcept {
    if (path.empty() || mode == nullptr) return nullptr;
    wchar_t wideMode[8] = {};
    for (std::size_t i = 0; i + 1 < sizeof wideMode / sizeof wideMode[0] && mode[i] != '\0'; ++i) {
        wideMode[i] = static_cast<wchar_t>(static_cast<unsigned char>(mode[i]));
    }
    return FilePtr(::_wfopen(path.c_str(), wideMode));
}

bool seekTo(std::FILE* file, std::uint64_t offset) noexcept {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<__int64>::max())) return false;
    return ::_fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> fileLength(std::FILE* file) noexcept {
    if (::_fseeki64(file, 0, SEEK_END) != 0) return std::nullopt;
    const __int64 end = ::_ftelli64(file);
    if (end < 0 || !seekTo(file, 0)) return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

bool truncate(std::FILE* file, std::uint64_t size) noexcept {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<long long>::max())) return false;
    return ::_chsize_s(::_fileno(file), static_cast<long long>(size)) == 0;
}

bool flushToDisk(std::FILE* file) noexcept { return ::_commit(::_fileno(file)) == 0; }

bool removeFile(const std::wstring& path) noexcept { return ::DeleteFileW(path.c_str()) != FALSE; }

bool moveReplacing(const std::wstring& from, const std::wstring& to) noexcept {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace files
