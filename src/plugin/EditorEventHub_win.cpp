// The hub's view of the Windows clipboard and the host's active editing view.
#include "plugin/EditorEventHubSystem_win.h"

#include "plugin/NppInterface.h"
#include "plugin/PluginContext.h"

namespace plugin {

void* Win32HubSystem::joinClipboardChain() {
    return ::SetClipboardViewer(context().npp.nppHandle);
}

bool Win32HubSystem::activeViewIsUnicode() {
    Context& c = context();
    int which = -1;
    ::SendMessageW(c.npp.nppHandle, npp::NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&which));
    HWND view = which == 0 ? c.npp.scintillaMainHandle : c.npp.scintillaSecondHandle;
    return sendToView(view, npp::SCI_GETCODEPAGE) != 0;
}

bool Win32HubSystem::clipboardHasUnicodeText() { return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

bool Win32HubSystem::formatOnClipboard(unsigned format) { return ::IsClipboardFormatAvailable(format) != FALSE; }

}  // namespace plugin
