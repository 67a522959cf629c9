// Files named by UTF-16 paths: the one place that knows how such a path reaches
// the C library (_wfopen on Windows, UTF-8 for fopen elsewhere), how 64-bit
// positions are sought on a 32-bit build, and how a complete new file replaces
// an old one. The platform halves are FileAccess_win.cpp and FileAccess_posix.cpp.
//
// Every function here and in Files.h takes the plugin's paths, whose folders
// a backslash separates as on Windows: elsewhere (natively) a backslash is
// read as '/', so a file name there never holds one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace files {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The folder separator of the platform's paths.
wchar_t separator() noexcept;

// The path as the system's file functions take it.
std::filesystem::path systemPath(const std::wstring& path);

// Opens a file in a C library mode ("rb", "wb", "r+b", "w+b" ...); null when it cannot.
FilePtr open(const std::wstring& path, const char* mode) noexcept;

bool seekTo(std::FILE* file, std::uint64_t offset) noexcept;
// The file's length in bytes; the position is left at the start.
std::optional<std::uint64_t> fileLength(std::FILE* file) noexcept;
// Cuts or extends the file to `size` bytes.
bool truncate(std::FILE* file, std::uint64_t size) noexcept;
// Writes what the system holds of the file to the disk.
bool flushToDisk(std::FILE* file) noexcept;

bool removeFile(const std::wstring& path) noexcept;
// Moves `from` onto `to`, replacing it (a complete new file taking an old one's place).
bool moveReplacing(const std::wstring& from, const std::wstring& to) noexcept;

}  // namespace files
