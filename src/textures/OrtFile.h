// Opening and positioning bundle files: the one place that knows how a UTF-16
// path reaches the C library (_wfopen on Windows, UTF-8 for fopen elsewhere)
// and how 64-bit positions are sought on a 32-bit build.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace textures {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file for reading in untranslated byte mode; null when it cannot.
FilePtr openForReading(const std::wstring& path) noexcept;

bool seekTo(std::FILE* file, std::uint64_t offset) noexcept;

// The file's length in bytes; the position is left at the start.
std::optional<std::uint64_t> fileLength(std::FILE* file) noexcept;

}  // namespace textures
