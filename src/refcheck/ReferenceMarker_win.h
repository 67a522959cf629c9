// Missing textures, includes and include files of the document being edited,
// marked with a squiggle as the author types. A document is checked whole
// when it becomes active and when the skin's media or include files changed
// (seen by sizes and times, looked at now and then as the caret moves); an
// edit re-checks only the lines it touched. With the caret on a marked name a
// call tip tells what is missing and where it was looked for.
//
// The setting "MarkMissingReferences" (on unless switched off in Options)
// turns it all off; the marks go with it.
#pragma once

#include "settings/ModelController.h"
#include "skin/DirectoryReader.h"
#include "skin/ReferenceCheck.h"
#include "skin/SkinIndex.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace editor {
class NppEditor;
}
namespace npp {
struct SCNotification;
}

namespace refcheck {

class ReferenceMarker : public SettingsObserver {
public:
    // `imageElements`: the element names whose text names an image.
    ReferenceMarker(const editor::NppEditor& editor, const std::vector<std::wstring>& imageElements);
    ~ReferenceMarker() override;
    ReferenceMarker(const ReferenceMarker&) = delete;
    ReferenceMarker& operator=(const ReferenceMarker&) = delete;

    void attachedToSettings(SettingsStore* store) override;
    void settingsChanged(const std::wstring& group, const std::wstring& key) override;

    // NPPN_BUFFERACTIVATED.
    void documentActivated();
    // SCN_MODIFIED: the lines touched are noted; they are read at the next caret update.
    void textModified(const npp::SCNotification& notification);
    // SCN_UPDATEUI of a view.
    void viewUpdated(HWND view);

    bool enabled() const { return enabled_; }
    // The editor's indicator number, -1 when none was given.
    int indicator() const { return indicator_; }
    const skin::DocumentCheck& check() const { return check_; }

private:
    class ViewLines;
    void checkWholeDocument();
    void repaint(std::size_t first, std::size_t last);
    void forget();
    void lookAtSkin();
    void updateCallTip();

    const editor::NppEditor& editor_;
    SettingsStore* store_ = nullptr;
    std::unique_ptr<DirectoryLister> lister_;
    skin::ReferenceRules rules_;
    skin::SkinIndex index_;
    skin::DocumentCheck check_;
    bool enabled_ = true;
    bool indicatorAsked_ = false;
    int indicator_ = -1;

    // The document being marked: its view, identity and folder.
    HWND view_ = nullptr;
    std::uintptr_t document_ = 0;
    std::wstring folder_;
    ULONGLONG lastSkinLook_ = 0;
    // The call tip shown for the reference at this position, or -1.
    std::intptr_t tipAt_ = -1;
};

}  // namespace refcheck
