#include "editor/PluginContext.h"


namespace plugin {

Context& context() {
    static Context instance;
    return instance;
}

int commandId(int commandIndex) {
    const Context& c = context();
    if (c.commands == nullptr || commandIndex < 0 || commandIndex >= c.commandCount) return 0;
    return c.commands[commandIndex].cmdID;
}

bool isCommandChecked(int commandIndex) {
    HMENU menu = ::GetMenu(context().npp.nppHandle);
    const int id = commandId(commandIndex);
    if (menu == nullptr || id == 0) return false;
    const UINT state = ::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

HWND activeView() {
    const Context& c = context();
    int which = -1;
    ::SendMessageW(c.npp.nppHandle, npp::NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&which));
    return which == 0 ? c.npp.scintillaMainHandle : c.npp.scintillaSecondHandle;
}

void refreshCurrentView() { context().currentView = activeView(); }

std::intptr_t sendToView(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    if (view == nullptr) return 0;
    for (const EditorViewHook& hook : context().views) {
        if (hook.view == view && hook.fn != nullptr) {
            return hook.fn(hook.ptr, message, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
        }
    }
    return static_cast<std::intptr_t>(::SendMessageW(view, message, wParam, lParam));
}

}  // namespace plugin
