// The editor as the window framework sees it: modeless dialogs, docking
// panels, menu check marks and translations, all through the editor's messages.
#pragma once

#include "framework/EditorShell.h"

namespace plugin {

class NppShell : public EditorShell {
public:
    void registerModeless(HWND dialog, bool add) override;
    void registerPanel(npp::tTbData& data) override;
    void showPanel(HWND panel, bool show) override;
    void updatePanelInfo(HWND panel) override;
    void setCommandChecked(int commandIndex, bool checked) override;
    bool translateText(const std::wstring& key, std::wstring& out, int bufferSize) override;
};

}  // namespace plugin
