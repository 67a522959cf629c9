// The skin choices bound to the controls panel, the image previewer and the
// editor: the one place where the two panels meet. Constructed after both
// panels and the skin models (and destroyed before them), it makes the panel
// offer the names the skin's model holds.
#pragma once

#include <string>
#include <vector>

#include "controls/SkinChoices.h"
#include "skin/Completion.h"

class ControlsPanel;
class ImagePreviewer;
namespace editor {
class NppEditor;
}
namespace skin {
class SkinModelHolder;
}

namespace controls {

class PanelSkinChoices : private SkinChoiceEnvironment, private SkinNameSource {
public:
    PanelSkinChoices(ControlsPanel& panel, ImagePreviewer& previewer, const editor::NppEditor& editor,
                     skin::SkinModelHolder& models);
    ~PanelSkinChoices() override;
    PanelSkinChoices(const PanelSkinChoices&) = delete;
    PanelSkinChoices& operator=(const PanelSkinChoices&) = delete;

    SkinChoices& choices() { return choices_; }

private:
    bool offerImages() const override;
    bool offerIncludes() const override;
    std::wstring documentFolder() override;
    bool previewImage(const std::wstring& imagePath) override;
    void clearPreview() override;

    void prepare(const std::wstring& folder) override;
    std::vector<std::wstring> includeNames(const std::wstring& folder) override;
    std::vector<std::wstring> imageNames(const std::wstring& folder) override;
    std::vector<std::wstring> fontNames(const std::wstring& folder) override;
    std::vector<std::wstring> colourNames(const std::wstring& folder) override;
    // The primary definitions the model as last built offers where such a
    // name is completed; none until the model has been read once.
    std::vector<std::wstring> definedNames(const std::wstring& folder, skin::CompletionContext context);

    ControlsPanel& panel_;
    const editor::NppEditor& editor_;
    ImagePreviewer& previewer_;
    skin::SkinModelHolder& models_;
    SkinChoices choices_;
};

}  // namespace controls
