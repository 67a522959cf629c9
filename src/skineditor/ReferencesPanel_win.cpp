#include "skineditor/ReferencesPanel_win.h"

#include "editor/NppEditor_win.h"
#include "skineditor/skineditor_ids.h"

namespace skineditor {

std::wstring PlaceLine(const Place& place) {
    return place.shownName + L" (" + std::to_wstring(place.line) + L"): " + place.text;
}

ReferencesPanel::ReferencesPanel(int commandIndex)
    : StatusListPanel(IDD_SKIN_REFERENCES, IDC_REFERENCES_STATUS, IDC_REFERENCES_LIST, commandIndex,
                      L"Skin References") {}

void ReferencesPanel::showPlaces(const std::wstring& status, std::vector<Place> places) {
    status_ = status;
    places_ = std::move(places);
    showPanel();
    std::vector<std::wstring> lines;
    for (const Place& place : places_) lines.push_back(PlaceLine(place));
    fill(status_, lines);
}

bool ReferencesPanel::openPlace(std::size_t index) const {
    if (editor_ == nullptr || index >= places_.size()) return false;
    const Place& place = places_[index];
    return editor_->openAtLine(place.path, static_cast<std::intptr_t>(place.line) - 1);
}

}  // namespace skineditor
