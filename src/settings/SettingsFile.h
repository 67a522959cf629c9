// The few file-system calls the settings store needs, kept apart so that the
// store itself stays portable. Paths are UTF-16 on Windows and are never
// narrowed to the ANSI code page there.
#pragma once

#include "base/FileAccess.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace settings_file {

using FilePtr = files::FilePtr;

// Opens an existing file for reading in binary mode; null when it cannot be opened.
FilePtr openForReading(const std::wstring& path);

// Writes a complete new file beside `path` through `write`, and only when
// every byte reached the disk puts it in place of `path`. On any failure the
// old file is left as it was and the partial new file is removed.
bool replaceFile(const std::wstring& path, const std::function<bool(std::FILE*)>& write);

// The name of the file that is written before it replaces `path`.
std::wstring pendingName(const std::wstring& path);

}  // namespace settings_file
