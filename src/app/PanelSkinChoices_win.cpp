#include "app/PanelSkinChoices_win.h"

#include <windows.h>

#include "base/TextCodec.h"
#include "controls/ControlsPanel.h"
#include "editor/NppEditor_win.h"
#include "preview/ImagePreviewer.h"
#include "skin/SkinModelHolder.h"

namespace controls {

PanelSkinChoices::PanelSkinChoices(ControlsPanel& panel, ImagePreviewer& previewer, const editor::NppEditor& editor,
                                   skin::SkinModelHolder& models)
    : panel_(panel), editor_(editor), previewer_(previewer), models_(models), choices_(*this, *this) {
    panel_.setRowChoiceSource(&choices_);
}

PanelSkinChoices::~PanelSkinChoices() { panel_.setRowChoiceSource(nullptr); }

bool PanelSkinChoices::offerImages() const { return panel_.offerImages(); }

bool PanelSkinChoices::offerIncludes() const { return panel_.offerIncludes(); }

std::wstring PanelSkinChoices::documentFolder() {
    if (!editor_.connected()) return {};
    return editor_.currentDirectory();
}

bool PanelSkinChoices::previewImage(const std::wstring& imagePath) {
    // Without a window (the previewer was never opened) there is nothing to draw on.
    return previewer_.previewImageFile(imagePath);
}

void PanelSkinChoices::clearPreview() { previewer_.clearWindow(); }

void PanelSkinChoices::prepare(const std::wstring& folder) { models_.request(folder); }

std::vector<std::wstring> PanelSkinChoices::includeNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    // The model looks at its files' sizes and times and reads again what changed.
    if (const skin::SkinModel* model = models_.refreshed(folder)) {
        for (const std::string& name : model->includeNames()) names.push_back(text::fromUtf8(name));
    }
    return names;
}

std::vector<std::wstring> PanelSkinChoices::imageNames(const std::wstring& folder) {
    const skin::SkinModel* model = models_.refreshed(folder);
    return model != nullptr ? model->imageNames() : std::vector<std::wstring>();
}

std::vector<std::wstring> PanelSkinChoices::fontNames(const std::wstring& folder) {
    return definedNames(folder, skin::CompletionContext::Font);
}

std::vector<std::wstring> PanelSkinChoices::colourNames(const std::wstring& folder) {
    return definedNames(folder, skin::CompletionContext::Colour);
}

std::vector<std::wstring> PanelSkinChoices::definedNames(const std::wstring& folder,
                                                         skin::CompletionContext context) {
    // Asked for on every build of the rows: the model is not brought up to
    // date here (the editor's navigation keeps it so), and never waited for.
    const skin::SkinModel* model = models_.model(folder);
    if (model == nullptr) {
        // Not read yet (or being brought up to date): the rows built after it is get the names.
        if (!models_.busy()) models_.request(folder);
        return {};
    }
    skin::CompletionSite site;
    site.context = context;
    std::vector<std::wstring> names;
    for (const skin::CompletionEntry& entry : skin::CompletionEntries(*model, site)) {
        names.push_back(text::fromUtf8(entry.name));
    }
    return names;
}

}  // namespace controls
