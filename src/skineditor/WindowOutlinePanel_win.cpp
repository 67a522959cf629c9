#include "skineditor/WindowOutlinePanel_win.h"

#include "base/TextCodec.h"
#include "editor/NppEditor_win.h"
#include "skin/ExpandedWindow.h"
#include "skin/SkinModelHolder.h"
#include "skineditor/skineditor_ids.h"

#include <algorithm>

namespace skineditor {

WindowOutlinePanel::WindowOutlinePanel(int commandIndex, const editor::NppEditor& editor,
                                       skin::SkinModelHolder& models)
    : DockingDlgInterface(IDD_WINDOW_OUTLINE, commandIndex, L"Window Outline"), editor_(editor), models_(models) {}

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
    fill();
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
    const std::intptr_t caret = editor_.caretPosition(view);
    const std::intptr_t line = editor_.lineFromPosition(view, caret);
    const std::intptr_t lineStart = editor_.lineStart(view, line);
    const auto& starts = window->windowFile().lineStarts;
    if (line < 0 || lineStart < 0 || static_cast<std::size_t>(line) >= starts.size()) return;
    const std::size_t offset = starts[static_cast<std::size_t>(line)] + static_cast<std::size_t>(caret - lineStart);
    const std::int32_t control = window->controlAt(static_cast<std::uint32_t>(offset));
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

void WindowOutlinePanel::fill() {
    if (hwnd_ == nullptr) return;
    ::SetDlgItemTextW(hwnd_, IDC_OUTLINE_STATUS, status_.c_str());
    const HWND list = ::GetDlgItem(hwnd_, IDC_OUTLINE_LIST);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& line : lines_) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    // Wide enough for the longest line at the list's own font (it follows the DPI).
    int widest = 0;
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    for (const std::wstring& line : lines_) {
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void WindowOutlinePanel::layout() {
    if (hwnd_ == nullptr) return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const HWND status = ::GetDlgItem(hwnd_, IDC_OUTLINE_STATUS);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int gap = 2;
    ::MoveWindow(status, gap, gap, std::max(0, static_cast<int>(client.right) - 2 * gap), statusHeight, TRUE);
    const int top = statusHeight + 2 * gap;
    ::MoveWindow(::GetDlgItem(hwnd_, IDC_OUTLINE_LIST), 0, top, client.right,
                 std::max(0, static_cast<int>(client.bottom) - top), TRUE);
}

INT_PTR WindowOutlinePanel::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SIZE:
        layout();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OUTLINE_LIST && HIWORD(wParam) == LBN_DBLCLK) {
            const LRESULT chosen = ::SendDlgItemMessageW(hwnd_, IDC_OUTLINE_LIST, LB_GETCURSEL, 0, 0);
            if (chosen != LB_ERR) openLine(static_cast<std::size_t>(chosen));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DockingDlgInterface::dialogProc(message, wParam, lParam);
}

}  // namespace skineditor
