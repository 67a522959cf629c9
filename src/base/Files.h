// Folder trees and whole files by UTF-16 path (beside FileAccess.h's single
// streams), the same on Windows and natively (where paths are
// UTF-8 bytes and a backslash separates folders as on Windows): existence, folder trees, whole-file reads, and writing a new
// file so that it never exists half-written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace files {

// Something (file or folder) exists at the path.
bool exists(const std::wstring& path) noexcept;

// Creates the folder and every missing folder above it; true when it exists
// as a folder afterwards.
bool createFolders(const std::wstring& folder) noexcept;

// Every file below the folder (in its sub-folders too), as paths relative to
// it with '/' between folder names, in no particular order; false when the
// folder cannot be read to its end.
bool listFilesBelow(const std::wstring& folder, std::vector<std::wstring>& relative) noexcept;

// The whole file; false when it cannot be read.
bool readAll(const std::wstring& path, std::vector<std::uint8_t>& bytes) noexcept;

// The name a file is written under before it is complete.
std::wstring pendingName(const std::wstring& path);

// Writes the bytes to pendingName(path) and renames that to `path` once they
// are all on disk; on any failure the pending file is removed and `path` is
// as it was. With `keepExisting` an existing file at `path` is never
// replaced (the call then fails).
bool writeWhole(const std::wstring& path, const std::uint8_t* data, std::size_t size, bool keepExisting) noexcept;

}  // namespace files
