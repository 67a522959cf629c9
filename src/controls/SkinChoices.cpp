#include "controls/SkinChoices.h"

#include "controls/ControlCatalogue.h"
#include "skin/MediaPaths.h"
#include "skin/SkinResources.h"

#include <set>

namespace controls {

bool SkinChoiceEnvironment::sameFolder(const std::wstring& a, const std::wstring& b) const {
    return equalsIgnoringAsciiCase(a, b);
}

std::vector<std::wstring> imageElementNames(const ControlCatalogue& catalogue) {
    std::set<std::wstring> names;
    for (const ControlTemplate& t : catalogue.templates()) {
        for (const auto& tag : t) {
            if (tag.first != L"usealttexture" && rowKindFor(tag.first, true, false) == RowKind::ImageDropDown) {
                names.insert(tag.first);
            }
        }
    }
    return std::vector<std::wstring>(names.begin(), names.end());
}

RowChoice SkinChoices::rowFor(const std::wstring& tag) {
    RowChoice choice;
    choice.kind = rowKindFor(tag, environment_.offerImages(), environment_.offerIncludes());
    switch (choice.kind) {
    case RowKind::ImageDropDown:
        // Listing walks the whole media folder and opens the bundles: only
        // when a row first needs the names, and kept from then on.
        if (resources_.imageNames().empty()) resources_.ListMedia(environment_.documentFolder());
        choice.options = resources_.imageNames();
        break;
    case RowKind::IncludeDropDown:
        choice.options = resources_.includeNames();
        break;
    case RowKind::Text:
        break;
    }
    return choice;
}

void SkinChoices::documentActivated() {
    if (!environment_.offerIncludes()) return;
    const std::wstring folder = environment_.documentFolder();
    if (folder.empty() || environment_.sameFolder(folder, lastFolder_)) return;
    lastFolder_ = folder;
    // The first skin whose includes load keeps its names for the session; a
    // skin without a readable includes.xml leaves the list empty, so the next
    // folder gets its turn.
    if (!resources_.includeNames().empty()) return;
    resources_.LoadIncludes(folder + L"\\includes.xml");
}

void SkinChoices::choiceMade(const std::wstring& /*tag*/, const std::wstring& value) {
    // Drawing dispatches window messages, which may deliver another choice;
    // that one is dropped rather than drawn over this one half-way.
    if (busy_) return;
    busy_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};

    const std::wstring folder = environment_.documentFolder();
    // A document that was never saved has no skin around it; a bare
    // "media\..." would be looked up in whatever the process's current
    // folder happens to be.
    if (preview::SkinFolderOf(folder).empty()) {
        lastPreviewPath_.clear();
        environment_.clearPreview();
        return;
    }
    lastPreviewPath_ = preview::ImagePathFor(preview::MediaFolderOf(folder), value);
    environment_.previewImage(lastPreviewPath_);
}

}  // namespace controls
