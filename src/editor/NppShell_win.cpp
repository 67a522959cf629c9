#include "editor/NppShell_win.h"

#include "editor/Localisation_win.h"
#include "editor/PluginContext.h"

namespace plugin {
namespace {
LRESULT toHost(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND host = context().npp.nppHandle;
    return host == nullptr ? 0 : ::SendMessageW(host, message, wParam, lParam);
}
}  // namespace

void NppShell::registerModeless(HWND dialog, bool add) {
    toHost(npp::NPPM_MODELESSDIALOG, add ? npp::MODELESSDIALOGADD : npp::MODELESSDIALOGREMOVE,
           reinterpret_cast<LPARAM>(dialog));
}

void NppShell::registerPanel(npp::tTbData& data) {
    toHost(npp::NPPM_DMMREGASDCKDLG, 0, reinterpret_cast<LPARAM>(&data));
}

void NppShell::showPanel(HWND panel, bool show) {
    toHost(show ? npp::NPPM_DMMSHOW : npp::NPPM_DMMHIDE, 0, reinterpret_cast<LPARAM>(panel));
}

void NppShell::updatePanelInfo(HWND panel) { toHost(npp::NPPM_DMMUPDATEDISPINFO, 0, reinterpret_cast<LPARAM>(panel)); }

void NppShell::setCommandChecked(int commandIndex, bool checked) {
    const int id = commandId(commandIndex);
    if (id != 0) toHost(npp::NPPM_SETMENUITEMCHECK, static_cast<WPARAM>(id), checked ? TRUE : FALSE);
}

bool NppShell::translateText(const std::wstring& key, std::wstring& out, int bufferSize) {
    return plugin::translateText(key, out, bufferSize);
}

}  // namespace plugin
