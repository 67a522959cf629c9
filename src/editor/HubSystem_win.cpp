#include "editor/HubSystem_win.h"

#include "editor/NppEditor_win.h"

namespace editor {

void* Win32HubSystem::joinClipboardChain() { return ::SetClipboardViewer(editor_.hostWindow()); }

bool Win32HubSystem::activeViewIsUnicode() { return editor_.codePage(editor_.activeView()) != 0; }

bool Win32HubSystem::clipboardHasUnicodeText() { return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

bool Win32HubSystem::formatOnClipboard(unsigned format) { return ::IsClipboardFormatAvailable(format) != FALSE; }

}  // namespace editor
