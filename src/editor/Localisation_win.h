// Translation requests to the host's localisation plugin ("NativeLang.dll").
// Without that plugin nothing answers and the built-in English texts stay.
#pragma once

#include <windows.h>

#include <string>

namespace plugin {

// Request 5: the translation of `key`, at most bufferSize - 1 characters.
// False when there is none (the caller keeps its own text).
bool translateText(const std::wstring& key, std::wstring& out, int bufferSize);
// Request 0: translate a dialog's texts.
void translateDialog(HWND dialog, const wchar_t* name);
// Request 1: translate the plugin's menu.
void translateMenu();

}  // namespace plugin
