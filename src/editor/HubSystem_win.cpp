// The hub's view of the Windows clipboard and the host's active editing view.
#include "editor/HubSystem_win.h"

#include "npp/NppInterface.h"
#include "editor/PluginContext.h"

namespace plugin {

void* Win32HubSystem::joinClipboardChain() {
    return ::SetClipboardViewer(context().npp.nppHandle);
}

bool Win32HubSystem::activeViewIsUnicode() { return sendToView(activeView(), npp::SCI_GETCODEPAGE) != 0; }

bool Win32HubSystem::clipboardHasUnicodeText() { return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

bool Win32HubSystem::formatOnClipboard(unsigned format) { return ::IsClipboardFormatAvailable(format) != FALSE; }

}  // namespace plugin
