// Plugin-wide values: the host's handles, the editing view the panels address,
// the views' direct-call functions, the module and the configuration folder.
#pragma once

#include "npp/NppInterface.h"

#include <cstdint>
#include <string>


namespace plugin {

struct EditorViewHook {
    HWND view = nullptr;
    npp::SciFnDirect fn = nullptr;
    std::intptr_t ptr = 0;
};

struct Context {
    npp::NppData npp{};
    HWND currentView = nullptr;
    EditorViewHook views[2]{};
    HINSTANCE module = nullptr;
    std::wstring configFolder;
    std::wstring settingsPath;
    npp::FuncItem* commands = nullptr;
    int commandCount = 0;
};

Context& context();

// The host's command id of a command-table entry (0 before the host assigned ids).
int commandId(int commandIndex);

// Whether the menu item of a command-table entry carries a check mark.
bool isCommandChecked(int commandIndex);

// The editing view the host has active now (NPPM_GETCURRENTSCINTILLA).
HWND activeView();

// Refreshes currentView from the host's active view.
void refreshCurrentView();

// Sends a Scintilla message to a view, through its direct-call function when known.
std::intptr_t sendToView(HWND view, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);



}  // namespace plugin
