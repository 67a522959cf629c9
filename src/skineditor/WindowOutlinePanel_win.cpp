#include "skineditor/WindowOutlinePanel_win.h"

#include "base/TextCodec.h"
#include "editor/NppEditor_win.h"
#include "skin/ExpandedWindow.h"
#include "skin/SkinModelHolder.h"
#include "skineditor/WindowPanels_win.h"
#include "skineditor/skineditor_ids.h"

namespace skineditor {

WindowOutlinePanel::WindowOutlinePanel(int commandIndex, const editor::NppEditor& editor,
                                       skin::SkinModelHolder& models)
    : StatusListPanel(IDD_WINDOW_OUTLINE, IDC_OUTLINE_STATUS, IDC_OUTLINE_LIST, commandIndex, L"Window Outline"),
      editor_(editor),
      models_(models) {}

void WindowOutlinePanel::open() {
    showPanel();
    refresh();
}

void WindowOutlinePanel::refresh() {
    if (!markedShown() || !editor_.connected()) return;
    const std::wstring folder = editor_.currentDirectory();
    path_ = editor_.currentPath();
    const skin::SkinModel* model = folder.empty() ? nullptr : models_.model(folder);
    if (model == nullptr && !folder.empty()) models_.request(folder);
    lines_.clear();
    places_.clear();
    selected_ = -1;
    const skin::ExpandedWindow* window = model == nullptr ? nullptr : model->expandedWindow(path_);
    if (model == nullptr) {
        status_ = folder.empty() ? L"No window file" : L"Reading the skin...";
    } else if (window == nullptr) {
        status_ = L"Not a window file of the skin";
    } else {
        rebuild();
        status_ = std::to_wstring(window->controls().size()) + L" controls" +
                  (window->complete() ? L"" : L" (some are made at run time or could not be followed)");
        for (const std::string& note : window->notes()) status_ += L"; " + text::fromUtf8(note);
    }
    fill(status_, lines_);
    caretMoved(editor_.activeView());
}

void WindowOutlinePanel::rebuild() {
    const skin::SkinModel* model = models_.model(editor_.currentDirectory());
    const skin::ExpandedWindow* window = model == nullptr ? nullptr : model->expandedWindow(path_);
    if (window == nullptr) return;
    auto add = [&](auto&& self, const skin::OutlineEntry& entry, int depth) -> void {
        std::wstring line(static_cast<std::size_t>(depth) * 4, L' ');
        line += text::fromUtf8(entry.name);
        if (entry.fromInclude) line += L"    \u2190 " + text::fromUtf8(entry.detail);
        lines_.push_back(std::move(line));
        places_.push_back({entry.control, entry.at});
        for (const skin::OutlineEntry& child : entry.children) self(self, child, depth + 1);
    };
    for (const skin::OutlineEntry& entry : skin::BuildWindowOutline(*window)) add(add, entry, 0);
}

void WindowOutlinePanel::caretMoved(HWND view) {
    if (!markedShown() || hwnd_ == nullptr || view == nullptr || view != editor_.activeView()) return;
    if (editor_.currentPath() != path_) {
        refresh();
        return;
    }
    const skin::SkinModel* model = models_.model(editor_.currentDirectory());
    const skin::ExpandedWindow* window = model == nullptr ? nullptr : model->expandedWindow(path_);
    if (window == nullptr) return;
    const std::int32_t control = controlUnderCaret(editor_, view, *window);
    int chosen = -1;
    for (std::size_t k = 0; k < places_.size() && control >= 0; ++k) {
        if (places_[k].control == static_cast<std::uint32_t>(control)) {
            chosen = static_cast<int>(k);
            break;
        }
    }
    select(chosen);
}

void WindowOutlinePanel::select(int line) {
    if (line == selected_) return;
    selected_ = line;
    if (hwnd_ != nullptr) ::SendDlgItemMessageW(hwnd_, IDC_OUTLINE_LIST, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
}

bool WindowOutlinePanel::openLine(std::size_t index) const {
    if (index >= places_.size() || places_[index].at.line == 0) return false;
    const skin::Location& at = places_[index].at;
    if (!editor_.openAtLine(at.path, static_cast<std::intptr_t>(at.line) - 1)) return false;
    const HWND shown = editor_.activeView();
    const std::intptr_t start = editor_.lineStart(shown, static_cast<std::intptr_t>(at.line) - 1);
    if (start >= 0) editor_.select(shown, start + at.column, start + at.column);
    return true;
}

}  // namespace skineditor
