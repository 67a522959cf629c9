// The "Window Outline" panel: the controls of the window file being edited as
// the media center builds it (includes expanded), one line each, indented
// under their parents; the controls an include brings say which include and
// where they are written. It follows the caret (the control under it is
// selected) and a double-click opens a control's place, even in an include file.
#pragma once

#include "framework/DockingDlgInterface.h"
#include "skin/WindowOutline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace editor {
class NppEditor;
}
namespace skin {
class SkinModelHolder;
}

namespace skineditor {

class WindowOutlinePanel : public DockingDlgInterface {
public:
    WindowOutlinePanel(int commandIndex, const editor::NppEditor& editor, skin::SkinModelHolder& models);

    // Shows the panel with the outline of the current document.
    void open();
    // The document was switched, or its model brought up to date: read again.
    void refresh();
    // SCN_UPDATEUI of a view: the control under the caret is selected.
    void caretMoved(HWND view);

    // The lines shown and the one selected (-1: none), for tests.
    const std::vector<std::wstring>& lines() const { return lines_; }
    int selected() const { return selected_; }
    // Opens the place of a line (0-based); false when there is none.
    bool openLine(std::size_t index) const;

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Line {
        std::uint32_t control = 0;
        skin::Location at;
    };
    void rebuild();
    void fill();
    void layout();
    void select(int line);

    const editor::NppEditor& editor_;
    skin::SkinModelHolder& models_;
    std::wstring path_;
    std::wstring status_;
    std::vector<std::wstring> lines_;
    std::vector<Line> places_;
    int selected_ = -1;
};

}  // namespace skineditor
