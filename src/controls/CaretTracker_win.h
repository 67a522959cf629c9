// The caret logic bound to the controls panel and to the editing view the
// panels address. Constructed after the panel (and destroyed before it), it
// makes itself the panel's caret handler and edit sink.
#pragma once

#include "controls/CaretTracker.h"
#include "editor/ScintillaDocument_win.h"

class ControlsPanel;

namespace controls {

class PanelCaretFollower : public CaretHandler, public ControlEditSink, private CaretPanel {
public:
    PanelCaretFollower(ControlsPanel& panel, const editor::NppEditor& editor);
    ~PanelCaretFollower() override;
    PanelCaretFollower(const PanelCaretFollower&) = delete;
    PanelCaretFollower& operator=(const PanelCaretFollower&) = delete;

    void caretMoved() override;
    void bufferActivated() override;
    void typeChosen() override;
    void documentChanged(std::ptrdiff_t position) override;
    void tagEdited(const std::wstring& tag, const std::wstring& value) override;

    CaretTracker& tracker() { return tracker_; }

private:
    bool panelShown() const override;
    ControlCatalogue& catalogue() override;
    void showControlType(const std::wstring& type) override;
    void showStatus(const std::wstring& text) override;
    // Before each look at the document: the configuration folder (known only
    // once the editor has informed the plugin) and the view that holds the
    // caret now.
    void prepare();

    ControlsPanel& panel_;
    const editor::NppEditor& editor_;
    editor::ScintillaDocument document_;
    CaretTracker tracker_;
};

}  // namespace controls
