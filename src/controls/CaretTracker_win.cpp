#include "controls/CaretTracker_win.h"

#include "controls/COrmuControlsDialog.h"
#include "editor/NppEditor_win.h"

namespace controls {

PanelCaretFollower::PanelCaretFollower(COrmuControlsDialog& panel, const editor::NppEditor& editor)
    : panel_(panel), editor_(editor), document_(editor), tracker_(*this, document_) {
    panel_.setCaretHandler(this);
    panel_.setEditSink(this);
}

PanelCaretFollower::~PanelCaretFollower() {
    panel_.setCaretHandler(nullptr);
    panel_.setEditSink(nullptr);
}

void PanelCaretFollower::refreshScratchFolder() { tracker_.setScratchFolder(editor_.configFolder()); }

void PanelCaretFollower::caretMoved() {
    refreshScratchFolder();
    tracker_.caretMoved();
}

void PanelCaretFollower::bufferActivated() { tracker_.bufferActivated(); }

void PanelCaretFollower::tagEdited(const std::wstring& tag, const std::wstring& value) {
    refreshScratchFolder();
    tracker_.writeBack(tag, value);
}

bool PanelCaretFollower::panelShown() const { return panel_.markedShown(); }

ControlCatalogue& PanelCaretFollower::catalogue() { return panel_.catalogue(); }

void PanelCaretFollower::showControlType(const std::wstring& type) {
    // The template was just refilled: rebuild the rows even for the type shown.
    panel_.forgetCurrentType();
    panel_.selectTypeByName(type);
}

}  // namespace controls
