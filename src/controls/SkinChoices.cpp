#include "controls/SkinChoices.h"

#include "controls/ControlCatalogue.h"
#include "skin/MediaPaths.h"
#include "skin/SkinResources.h"
#include "base/TextCodec.h"

#include <algorithm>
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

skin::CompletionCatalogue completionCatalogue(const ControlCatalogue& catalogue) {
    skin::CompletionCatalogue out;
    auto lower = [](const std::wstring& name) { return skin::NameKey(text::toUtf8(name)); };
    for (const std::wstring& element : imageElementNames(catalogue)) out.imageElements.push_back(lower(element));
    std::set<std::string> types;
    for (const ControlTemplate& t : catalogue.templates()) {
        const auto type = t.find(L"type");
        if (type == t.end() || type->second.empty()) continue;
        const std::string name = lower(type->second);
        if (types.insert(name).second) out.controlTypes.push_back(name);
        std::vector<std::string>& elements = out.elementsByType[name];
        for (const auto& tag : t) {
            // As the skin spells it ("alignY"): a document's elements are matched case-folded.
            const std::string element = text::toUtf8(tag.first);
            if (tag.first != L"type" && std::find(elements.begin(), elements.end(), element) == elements.end()) {
                elements.push_back(element);
            }
        }
    }
    return out;
}

RowChoice SkinChoices::rowFor(const std::wstring& tag) {
    RowChoice choice;
    choice.kind = rowKindFor(tag, environment_.offerImages(), environment_.offerIncludes());
    switch (choice.kind) {
    case RowKind::ImageDropDown:
        refreshImages(environment_.documentFolder());
        choice.options = resources_.imageNames();
        break;
    case RowKind::IncludeDropDown:
        refreshIncludes(environment_.documentFolder());
        choice.options = resources_.includeNames();
        break;
    case RowKind::Text:
        break;
    }
    return choice;
}

void SkinChoices::documentActivated() {
    if (!environment_.offerIncludes()) return;
    refreshIncludes(environment_.documentFolder());
}

std::vector<FileStamp> SkinChoices::stamps(const std::vector<std::wstring>& paths) {
    std::vector<FileStamp> result;
    result.reserve(paths.size());
    for (const std::wstring& path : paths) result.push_back(environment_.stamp(path));
    return result;
}

std::vector<std::wstring> SkinChoices::includePaths(const std::wstring& folder) const {
    // includes.xml, then the files it names, where the loading looked for them.
    const std::wstring includes = folder + L"\\includes.xml";
    std::vector<std::wstring> paths{includes};
    for (const std::wstring& file : resources_.includeFiles()) {
        std::wstring path = includes;
        path.replace(path.size() - 12, 12, file);
        paths.push_back(path);
    }
    return paths;
}

void SkinChoices::refreshIncludes(const std::wstring& folder) {
    if (folder.empty()) return;
    if (environment_.sameFolder(folder, lastFolder_) && stamps(includePaths(lastFolder_)) == includeStamps_) return;
    lastFolder_ = folder;
    // A skin without a readable includes.xml leaves the list empty.
    resources_.LoadIncludes(folder + L"\\includes.xml");
    includeStamps_ = stamps(includePaths(folder));
}

void SkinChoices::refreshImages(const std::wstring& folder) {
    // Listing walks the whole media folder and opens its bundles: only when
    // a row needs the names and what they come from is not as it was.
    const std::wstring skin = preview::SkinFolderOf(folder);
    const std::wstring media = preview::MediaFolderOf(folder);
    const std::vector<std::wstring> sources{media, media + L"textures.ort"};
    if (imagesListed_ && environment_.sameFolder(skin, imagesSkin_) && stamps(sources) == imageStamps_) return;
    resources_.ListMedia(folder);
    imagesListed_ = true;
    imagesSkin_ = skin;
    imageStamps_ = stamps(sources);
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
