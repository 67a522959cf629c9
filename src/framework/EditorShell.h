// What the window framework asks of the editor that hosts its dialogs and
// panels. The editor seam implements it and the application hands it to each
// dialog; a dialog without one (a test's own window as parent) asks nothing.
#pragma once

#include "npp/NppInterface.h"

#include <string>

class EditorShell {
public:
    virtual ~EditorShell() = default;
    // Tab and the clipboard keys reach a modeless dialog only while it is registered.
    virtual void registerModeless(HWND dialog, bool add) = 0;
    // The editor copies the record but keeps pointing at its strings.
    virtual void registerPanel(npp::tTbData& data) = 0;
    virtual void showPanel(HWND panel, bool show) = 0;
    virtual void updatePanelInfo(HWND panel) = 0;
    // The check mark of a command-table entry's menu item.
    virtual void setCommandChecked(int commandIndex, bool checked) = 0;
    // The localised text of `key`, at most bufferSize - 1 characters; false when there is none.
    virtual bool translateText(const std::wstring& key, std::wstring& out, int bufferSize) = 0;
    // Asks for a dialog's texts to be translated in place.
    virtual void translateDialog(HWND dialog, const wchar_t* name) = 0;
    // Asks the editor to give a dialog's standard controls its own look (dark
    // or light): once its controls exist, and again when the editor's mode
    // changed. Docking panels need not ask: the editor themes them itself.
    virtual void themeDialog(HWND dialog, bool modeChanged) = 0;
};
