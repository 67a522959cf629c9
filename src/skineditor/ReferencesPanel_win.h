// The panel that lists the places Find references found: one line per place
// (the file within the skin, the line number and the line's text) under a
// status line that says what was looked for and what the skin model could
// not read. A double-click opens the place in the editor.
#pragma once

#include "skineditor/StatusListPanel_win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace editor {
class NppEditor;
}

namespace skineditor {

struct Place {
    std::wstring path;
    std::wstring shownName;  // the path within the skin folder
    std::uint32_t line = 0;  // 1-based
    std::wstring text;       // the line's text, blanks at its start dropped
};

// "720p\Home.xml (12): <include>Clock</include>"
std::wstring PlaceLine(const Place& place);

class ReferencesPanel : public StatusListPanel {
public:
    explicit ReferencesPanel(int commandIndex);

    void setEditor(const editor::NppEditor* editor) { editor_ = editor; }
    // Shows the panel with these places under the status line.
    void showPlaces(const std::wstring& status, std::vector<Place> places);
    const std::vector<Place>& places() const { return places_; }
    const std::wstring& status() const { return status_; }
    // Opens the place of a line of the list (0-based); false when there is none.
    bool openPlace(std::size_t index) const;

protected:
    void lineChosen(std::size_t index) override { openPlace(index); }

private:

    const editor::NppEditor* editor_ = nullptr;
    std::wstring status_;
    std::vector<Place> places_;
};

}  // namespace skineditor
