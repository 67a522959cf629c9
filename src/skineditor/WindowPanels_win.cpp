#include "skineditor/WindowPanels_win.h"

#include "editor/NppEditor_win.h"
#include "skin/ExpandedWindow.h"

#include <algorithm>

namespace skineditor {

std::int32_t controlUnderCaret(const editor::NppEditor& editor, HWND view, const skin::ExpandedWindow& window) {
    const std::intptr_t caret = editor.caretPosition(view);
    const std::intptr_t line = editor.lineFromPosition(view, caret);
    const std::intptr_t lineStart = editor.lineStart(view, line);
    const auto& starts = window.windowFile().lineStarts;
    if (line < 0 || lineStart < 0 || static_cast<std::size_t>(line) >= starts.size()) return -1;
    const std::size_t offset = starts[static_cast<std::size_t>(line)] + static_cast<std::size_t>(caret - lineStart);
    return window.controlAt(static_cast<std::uint32_t>(offset));
}

int placeStatusLine(HWND dialog, int statusId) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    const HWND status = ::GetDlgItem(dialog, statusId);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int gap = 2;
    ::MoveWindow(status, gap, gap, std::max(0, static_cast<int>(client.right) - 2 * gap), statusHeight, TRUE);
    return statusHeight + 2 * gap;
}

}  // namespace skineditor
