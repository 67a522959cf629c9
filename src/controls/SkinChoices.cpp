#include "controls/SkinChoices.h"

#include "controls/ControlCatalogue.h"
#include "skin/MediaPaths.h"

#include <set>

namespace controls {

std::vector<std::wstring> imageElementNames(const ControlCatalogue& catalogue) {
    std::set<std::wstring> names;
    for (const ControlTemplate& t : catalogue.templates()) {
        for (const auto& tag : t) {
            if (tag.first != L"usealttexture" &&
                rowKindFor(tag.first, nullptr, true, false) == RowKind::ImageDropDown) {
                names.insert(tag.first);
            }
        }
    }
    return std::vector<std::wstring>(names.begin(), names.end());
}

void SkinChoices::rowsStarting() {
    images_.reset();
    includes_.reset();
    fonts_.reset();
    colours_.reset();
    kinds_.clear();
}

RowChoice SkinChoices::rowFor(const std::wstring& tag, const skin::vocab::Element* element) {
    RowChoice choice;
    choice.kind = rowKindFor(tag, element, environment_.offerImages(), environment_.offerIncludes());
    kinds_[tag] = choice.kind;
    if (choice.kind == RowKind::ValueDropDown) return valueChoice(element);
    const std::wstring folder = choice.kind == RowKind::Text ? std::wstring() : environment_.documentFolder();
    // A document that was never saved belongs to no skin.
    if (folder.empty()) return choice;
    switch (choice.kind) {
    case RowKind::ImageDropDown:
        if (!images_) images_ = names_.imageNames(folder);
        choice.options = *images_;
        break;
    case RowKind::IncludeDropDown:
        lastFolder_ = folder;
        if (!includes_) includes_ = names_.includeNames(folder);
        choice.options = *includes_;
        break;
    case RowKind::FontDropDown:
        if (!fonts_) fonts_ = names_.fontNames(folder);
        choice.options = *fonts_;
        break;
    case RowKind::ColourDropDown:
        if (!colours_) colours_ = names_.colourNames(folder);
        choice.options = *colours_;
        break;
    case RowKind::Text:
    case RowKind::ValueDropDown:
        break;
    }
    return choice;
}

void SkinChoices::documentActivated() {
    if (!environment_.offerIncludes()) return;
    const std::wstring folder = environment_.documentFolder();
    if (folder.empty()) return;
    lastFolder_ = folder;
    names_.prepare(folder);
}

void SkinChoices::choiceMade(const std::wstring& tag, const std::wstring& value) {
    // Values, fonts and colours name no image: the previewer keeps what it shows.
    const auto kind = kinds_.find(tag);
    if (kind != kinds_.end() && kind->second != RowKind::ImageDropDown && kind->second != RowKind::IncludeDropDown) {
        return;
    }
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
