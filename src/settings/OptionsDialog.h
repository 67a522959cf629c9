// The Options dialog: the plugin's settings as edit boxes and check boxes,
// written back to the store (and its file) when the user presses OK.
#pragma once

#include "settings/OptionTable.h"
#include "framework/StaticDialog.h"

#include <string>
#include <vector>

class SettingsStore;

class OptionsDialog : public StaticDialog {
public:
    // Notification code an option control sends (with its id) when the mouse is over it.
    static constexpr WORD kHoverNotification = 1000;

    // Edits the plugin's store, and OK saves it to the plugin's settings file.
    // Edits `store`; OK saves it to `settingsPath` (empty: saves nothing).
    void init(HINSTANCE instance, HWND parent, SettingsStore* store, const std::wstring& settingsPath);

    // The Options command: creates the dialog on first use, then shows the
    // stored values, centred over the parent.
    void showOptions();

    // The steps showOptions takes, for callers that need them one by one.
    void buildOptionTable();
    void hookOptionControls();
    void loadValues();
    void storeValues();

    const std::vector<options::OptionDescriptor>& optionTable() const { return options_; }
    int hoveredControl() const { return hovered_; }

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void onCommand(WORD controlId, WORD code);
    void confirm();
    // The folder picker for the edit box `editId`.
    void browseForFolder(int editId);
    void setHovered(int controlId);
    std::wstring controlText(int controlId) const;

    int hovered_ = 0;
    std::vector<options::OptionDescriptor> options_;
    SettingsStore* store_ = nullptr;
    std::wstring settingsPath_;
};
