#include "controls/CaretTracker_win.h"

#include "controls/ControlsPanel.h"
#include "editor/NppEditor_win.h"

namespace controls {

PanelCaretFollower::PanelCaretFollower(ControlsPanel& panel, const editor::NppEditor& editor)
    : panel_(panel), editor_(editor), document_(editor), tracker_(*this, document_) {
    panel_.setCaretHandler(this);
    panel_.setEditSink(this);
}

PanelCaretFollower::~PanelCaretFollower() {
    panel_.setCaretHandler(nullptr);
    panel_.setEditSink(nullptr);
}

void PanelCaretFollower::prepare() {
    tracker_.setScratchFolder(editor_.configFolder());
    // With both views in use, the caret line the editor reports is the
    // active view's: every read and write goes to that view.
    document_.useView(editor_.activeView());
}

void PanelCaretFollower::caretMoved() {
    prepare();
    tracker_.caretMoved();
}

void PanelCaretFollower::bufferActivated() { tracker_.bufferActivated(); }

void PanelCaretFollower::typeChosen() { tracker_.typeChosen(); }

void PanelCaretFollower::documentChanged(std::ptrdiff_t position) { tracker_.documentChanged(position); }

void PanelCaretFollower::tagEdited(const std::wstring& tag, const std::wstring& value) {
    prepare();
    tracker_.writeBack(tag, value);
}

bool PanelCaretFollower::panelShown() const { return panel_.markedShown(); }

ControlCatalogue& PanelCaretFollower::catalogue() { return panel_.catalogue(); }

void PanelCaretFollower::showControlType(const std::wstring& type) {
    if (panel_.reportingEdit()) {
        panel_.rebuildRowsLater(type);
        return;
    }
    // The template was just refilled: rebuild the rows even for the type shown.
    panel_.forgetCurrentType();
    panel_.selectTypeByName(type);
}

void PanelCaretFollower::showStatus(const std::wstring& text) { panel_.setStatus(text); }

}  // namespace controls
