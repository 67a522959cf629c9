// The shell's folder browser, as the tester's bundle commands ask for folders.
#pragma once

#include <windows.h>

#include <string>

namespace tester {
// The folder the user chose (starting at `start` when given), or empty when cancelled.
std::wstring browseForFolder(HWND owner, const wchar_t* title, const std::wstring& start = std::wstring());
}  // namespace tester
