// The skin choices bound to the controls panel, the image previewer and the
// editor: the one place where the two panels meet. Constructed after both
// panels (and destroyed before them), it makes the panel offer the names of
// the skin's shared material, which the application object owns.
#pragma once

#include <memory>
#include <string>

#include "controls/SkinChoices.h"

class ControlsPanel;
class ImagePreviewer;
class SkinResources;
namespace editor {
class NppEditor;
}

namespace controls {

class PanelSkinChoices : private SkinChoiceEnvironment {
public:
    PanelSkinChoices(ControlsPanel& panel, ImagePreviewer& previewer, const editor::NppEditor& editor,
                     SkinResources& resources);
    ~PanelSkinChoices() override;
    PanelSkinChoices(const PanelSkinChoices&) = delete;
    PanelSkinChoices& operator=(const PanelSkinChoices&) = delete;

    SkinChoices& choices() { return choices_; }

private:
    bool offerImages() const override;
    bool offerIncludes() const override;
    std::wstring documentFolder() override;
    bool sameFolder(const std::wstring& a, const std::wstring& b) const override;
    bool previewImage(const std::wstring& imagePath) override;
    void clearPreview() override;
    FileStamp stamp(const std::wstring& path) override;

    ControlsPanel& panel_;
    const editor::NppEditor& editor_;
    ImagePreviewer& previewer_;
    SkinChoices choices_;
};

}  // namespace controls
