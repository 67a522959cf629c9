// Finding and describing windows: the windows of the host's thread, the one
// a selector names, list contents, and the window dump.
#pragma once

#include "Script.h"

#include <string>
#include <vector>

namespace host {

std::wstring windowText(HWND hwnd);
std::wstring className(HWND hwnd);
bool sameClass(HWND hwnd, const wchar_t* name);
// Top-level windows of the host's thread.
std::vector<HWND> threadWindows();
// Direct children in Z order, then recursively: a pre-order walk.
void descendants(HWND root, std::vector<HWND>& out);

// The items of a list box, combo box, list view or tab control.
struct ListInfo {
    bool isList = false;
    std::vector<std::wstring> items;
    int selection = -1;
};
ListInfo listInfo(HWND hwnd);

// CLASS #ID "TEXT" visible= enabled= rect=X,Y,WIDTH,HEIGHT
std::wstring describe(HWND hwnd);

// The one window a selector names; null (and why in `error`) for none or many.
HWND findWindow(const Host::Impl& host, const std::vector<Step>& steps, std::wstring& error);

// The window dump: every window the plugins made, as host/README.md shows it.
std::wstring dumpPluginWindows(Host::Impl& host);

}  // namespace host
