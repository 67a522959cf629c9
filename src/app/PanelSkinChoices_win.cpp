#include "app/PanelSkinChoices_win.h"

#include <windows.h>

#include "controls/ControlsPanel.h"
#include "editor/NppEditor_win.h"
#include "preview/ImagePreviewer.h"
#include "skin/SkinResources.h"

namespace controls {

PanelSkinChoices::PanelSkinChoices(ControlsPanel& panel, ImagePreviewer& previewer, const editor::NppEditor& editor,
                                   SkinResources& resources)
    : panel_(panel), editor_(editor), previewer_(previewer), choices_(*this, resources) {
    panel_.setRowChoiceSource(&choices_);
}

PanelSkinChoices::~PanelSkinChoices() { panel_.setRowChoiceSource(nullptr); }

bool PanelSkinChoices::offerImages() const { return panel_.offerImages(); }

bool PanelSkinChoices::offerIncludes() const { return panel_.offerIncludes(); }

std::wstring PanelSkinChoices::documentFolder() {
    if (!editor_.connected()) return {};
    return editor_.currentDirectory();
}

bool PanelSkinChoices::sameFolder(const std::wstring& a, const std::wstring& b) const {
    // The file system's own comparison: case folded over all of Unicode, not
    // by the user's locale.
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool PanelSkinChoices::previewImage(const std::wstring& imagePath) {
    // Without a window (the previewer was never opened) there is nothing to draw on.
    return previewer_.previewImageFile(imagePath);
}

void PanelSkinChoices::clearPreview() { previewer_.clearWindow(); }

FileStamp PanelSkinChoices::stamp(const std::wstring& path) {
    // A folder's path may end in a backslash, which the call does not take.
    std::wstring name = path;
    while (name.size() > 3 && name.back() == L'\\') name.pop_back();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (name.empty() || !::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return {};
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.time =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

}  // namespace controls
