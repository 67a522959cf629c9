// The skin's own names as choices in the controls panel: image names in rows
// whose tag contains "texture", include names in the "include" row, and a
// preview of the image a drop-down row was set to.
//
// The editor, the panel's two flags and the previewer are reached through
// SkinChoiceEnvironment, so the rules here run without any window.
#pragma once

#include <string>
#include <vector>

#include "controls/ControlEditSink.h"

class ControlCatalogue;
class SkinResources;

namespace controls {

class SkinChoiceEnvironment {
public:
    virtual ~SkinChoiceEnvironment() = default;
    // The panel's mirrors of the settings "LoadImages" and "LoadIncludes".
    virtual bool offerImages() const = 0;
    virtual bool offerIncludes() const = 0;
    // The folder of the editor's current document; empty when it has none.
    virtual std::wstring documentFolder() = 0;
    // Folder names as the file system compares them (case does not count).
    virtual bool sameFolder(const std::wstring& a, const std::wstring& b) const;
    // Clears the previewer, then draws the image file scaled into it; false
    // (the previewer stays cleared) when it cannot be loaded or there is no
    // previewer window to draw into. Windows delivered meanwhile may run
    // another choice, which the busy guard below turns away.
    virtual bool previewImage(const std::wstring& imagePath) = 0;
    // Clears the previewer only.
    virtual void clearPreview() = 0;
};

// The catalogue's tags whose text names an image: those the image choices
// are offered for, less "usealttexture", whose text is a condition.
std::vector<std::wstring> imageElementNames(const ControlCatalogue& catalogue);

class SkinChoices : public RowChoiceSource {
public:
    SkinChoices(SkinChoiceEnvironment& environment, SkinResources& resources)
        : environment_(environment), resources_(resources) {}

    RowChoice rowFor(const std::wstring& tag) override;
    // Previews the value chosen in a drop-down row.
    void choiceMade(const std::wstring& tag, const std::wstring& value) override;
    // Loads the include names of the newly active document's skin, once.
    void documentActivated() override;

    // The folder the includes check last ran for (empty before the first).
    const std::wstring& lastFolder() const { return lastFolder_; }
    // The file the last preview tried to show (empty before the first).
    const std::wstring& lastPreviewPath() const { return lastPreviewPath_; }
    bool previewing() const { return busy_; }

private:
    SkinChoiceEnvironment& environment_;
    SkinResources& resources_;
    std::wstring lastFolder_;
    std::wstring lastPreviewPath_;
    bool busy_ = false;
};

}  // namespace controls
