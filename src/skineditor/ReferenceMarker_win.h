// The findings of the skin check that lie in the document being edited,
// marked as the author types: errors with one squiggle, warnings with
// another. The document's text reaches the skin model through the navigator
// (which hands it over at each caret update); the document is checked again
// whenever its model changed, that is after an edit or when the skin's files
// changed on disk. With the caret on a marked name a call tip says the finding.
//
// The setting "MarkMissingReferences" (on unless switched off in Options)
// turns it all off; the marks go with it.
#pragma once

#include "settings/ModelController.h"
#include "skin/SkinCheck.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace editor {
class NppEditor;
}
namespace skin {
class SkinModelHolder;
}

namespace skineditor {

class ReferenceMarker : public SettingsObserver {
public:
    ReferenceMarker(const editor::NppEditor& editor, skin::SkinModelHolder& models);
    ~ReferenceMarker() override;
    ReferenceMarker(const ReferenceMarker&) = delete;
    ReferenceMarker& operator=(const ReferenceMarker&) = delete;

    void attachedToSettings(SettingsStore* store) override;
    void settingsChanged(const std::wstring& group, const std::wstring& key) override;

    // NPPN_BUFFERACTIVATED (after the navigator heard of it).
    void documentActivated();
    // SCN_UPDATEUI of a view (after the navigator handed the text over).
    void viewUpdated(HWND view);
    // The holder brought a model up to date.
    void modelChanged();

    bool enabled() const { return enabled_; }
    // The editor's indicator numbers, -1 when none was given.
    int errorIndicator() const { return errorIndicator_; }
    int warningIndicator() const { return warningIndicator_; }
    const std::vector<skin::CheckFinding>& findings() const { return findings_; }

private:
    void mark();
    void clearMarks(HWND view);
    void forget();
    void updateCallTip();

    const editor::NppEditor& editor_;
    skin::SkinModelHolder& models_;
    skin::SkinChecker checker_;
    SettingsStore* store_ = nullptr;
    bool enabled_ = true;
    bool indicatorsAsked_ = false;
    int errorIndicator_ = -1;
    int warningIndicator_ = -1;

    // The document being marked: its view, identity, folder and path.
    HWND view_ = nullptr;
    std::uintptr_t document_ = 0;
    std::wstring folder_;
    std::wstring path_;
    std::vector<skin::CheckFinding> findings_;
    // The holder's generation the marks were made at (none yet: all ones).
    std::uint64_t markedAt_ = ~std::uint64_t{0};
    // The call tip shown for the finding at this position, or -1.
    std::intptr_t tipAt_ = -1;
};

}  // namespace skineditor
