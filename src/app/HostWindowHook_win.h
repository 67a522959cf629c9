// What the plugin does with the messages of the host's main window before the
// host's own procedure sees them: clipboard changes into the event hub, the
// host's encoding conversions announced to it, and the clipboard-viewer chain.
#pragma once

#include <windows.h>

class EditorEventHub;

namespace plugin {

// Handles the message for the hub (it always goes on to the host afterwards).
void hostMessage(EditorEventHub& hub, HWND host, UINT message, WPARAM wParam, LPARAM lParam);

// Replaces the host window's procedure with `hook`, remembering the previous one.
class HostWindowHook {
public:
    bool install(HWND host, WNDPROC hook);
    // Restores the previous procedure if ours is still the installed one.
    void remove();
    WNDPROC previous() const { return previous_; }
    bool installed() const { return host_ != nullptr; }

private:
    HWND host_ = nullptr;
    WNDPROC hook_ = nullptr;
    WNDPROC previous_ = nullptr;
};

}  // namespace plugin
