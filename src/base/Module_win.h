// The loaded module's own file.
#pragma once

#include <windows.h>

#include <string>

namespace win {
// The file name of a module (no folder), e.g. "Quorrel.dll" for the plugin's own.
std::wstring moduleFileName(HINSTANCE module);
}  // namespace win
