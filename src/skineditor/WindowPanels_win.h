// What the panels of the window being edited (its outline, its preview) share.
#pragma once

#include <windows.h>

#include <cstdint>

namespace editor {
class NppEditor;
}
namespace skin {
class ExpandedWindow;
}

namespace skineditor {

// The control of the expanded window that the caret of `view` stands in (the
// view shows the window's file): its index in the window's controls, or -1.
std::int32_t controlUnderCaret(const editor::NppEditor& editor, HWND view, const skin::ExpandedWindow& window);

// Puts the dialog's status line along its top edge; returns where the rest of
// the panel begins.
int placeStatusLine(HWND dialog, int statusId);

}  // namespace skineditor
