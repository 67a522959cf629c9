// The skin's own names as choices in the controls panel: image names in rows
// whose tag contains "texture", include names in the "include" row, the fonts
// and colours of the skin in font and colour rows, the values of enumerations
// and booleans, and a preview of the image an image or include row was set to.
//
// The editor, the panel's two flags and the previewer are reached through
// SkinChoiceEnvironment, and the names through SkinNameSource (the skin's
// model), so the rules here run without any window.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controls/ControlEditSink.h"

class ControlCatalogue;

namespace controls {

class SkinChoiceEnvironment {
public:
    virtual ~SkinChoiceEnvironment() = default;
    // The panel's mirrors of the settings "LoadImages" and "LoadIncludes".
    virtual bool offerImages() const = 0;
    virtual bool offerIncludes() const = 0;
    // The folder of the editor's current document; empty when it has none.
    virtual std::wstring documentFolder() = 0;
    // Clears the previewer, then draws the image file scaled into it; false
    // (the previewer stays cleared) when it cannot be loaded or there is no
    // previewer window to draw into. Windows delivered meanwhile may run
    // another choice, which the busy guard below turns away.
    virtual bool previewImage(const std::wstring& imagePath) = 0;
    // Clears the previewer only.
    virtual void clearPreview() = 0;
};

// The names of the skin a document belongs to, as its files are now.
class SkinNameSource {
public:
    virtual ~SkinNameSource() = default;
    // The skin of a document in `folder` is about to be asked for: it may be
    // read ahead.
    virtual void prepare(const std::wstring& folder) = 0;
    // Empty when the folder belongs to no readable skin.
    virtual std::vector<std::wstring> includeNames(const std::wstring& folder) = 0;
    virtual std::vector<std::wstring> imageNames(const std::wstring& folder) = 0;
    // The fonts of the default fontset and the colours of the defaults, sorted.
    virtual std::vector<std::wstring> fontNames(const std::wstring& folder) = 0;
    virtual std::vector<std::wstring> colourNames(const std::wstring& folder) = 0;
};

// The catalogue's tags whose text names an image: those the image choices
// are offered for, less "usealttexture", whose text is a condition.
std::vector<std::wstring> imageElementNames(const ControlCatalogue& catalogue);

class SkinChoices : public RowChoiceSource {
public:
    SkinChoices(SkinChoiceEnvironment& environment, SkinNameSource& names)
        : environment_(environment), names_(names) {}

    // The names of the current document's skin, as its files are now: asked
    // for once for all the rows of one build.
    void rowsStarting() override;
    RowChoice rowFor(const std::wstring& tag, const skin::vocab::Element* element) override;
    // Previews the value chosen in an image or include row.
    void choiceMade(const std::wstring& tag, const std::wstring& value) override;
    // With include names on: the newly active document's skin is read ahead.
    void documentActivated() override;

    // The folder the includes were last asked for (empty before the first).
    const std::wstring& lastFolder() const { return lastFolder_; }
    // The file the last preview tried to show (empty before the first).
    const std::wstring& lastPreviewPath() const { return lastPreviewPath_; }
    bool previewing() const { return busy_; }

private:
    SkinChoiceEnvironment& environment_;
    SkinNameSource& names_;
    // The names of this build of the rows, once asked for.
    std::optional<std::vector<std::wstring>> images_;
    std::optional<std::vector<std::wstring>> includes_;
    std::optional<std::vector<std::wstring>> fonts_;
    std::optional<std::vector<std::wstring>> colours_;
    std::map<std::wstring, RowKind> kinds_;  // of this build's rows
    std::wstring lastFolder_;
    std::wstring lastPreviewPath_;
    bool busy_ = false;
};

}  // namespace controls
