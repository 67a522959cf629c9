#include "editor/ScintillaDocument_win.h"

#include "editor/NppEditor_win.h"

namespace editor {

namespace {
// The document shown in a view; another document becoming active in the view
// changes it.
constexpr unsigned kGetDocPointer = 2357;
}  // namespace

HWND ScintillaDocument::view() const { return view_ != nullptr ? view_ : editor_.recordedView(); }

std::intptr_t ScintillaDocument::send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) const {
    const HWND target = view();
    return target == nullptr ? 0 : editor_.sendToView(target, message, wParam, lParam);
}

std::uintptr_t ScintillaDocument::identity() const { return static_cast<std::uintptr_t>(send(kGetDocPointer)); }

Position ScintillaDocument::caretLine() const { return editor_.caretLine(); }

Position ScintillaDocument::lineCount() const { return view() == nullptr ? 0 : send(npp::SCI_GETLINECOUNT); }

Position ScintillaDocument::lineStart(Position line) const {
    return send(npp::SCI_POSITIONFROMLINE, static_cast<std::uintptr_t>(line));
}

Position ScintillaDocument::lineEnd(Position line) const {
    return send(npp::SCI_GETLINEENDPOSITION, static_cast<std::uintptr_t>(line));
}

std::string ScintillaDocument::text(Position from, Position to) const { return editor_.textRange(view(), from, to); }

int ScintillaDocument::lineIndentation(Position line) const {
    return static_cast<int>(send(npp::SCI_GETLINEINDENTATION, static_cast<std::uintptr_t>(line)));
}

unsigned ScintillaDocument::codePage() const { return static_cast<unsigned>(send(npp::SCI_GETCODEPAGE)); }

void ScintillaDocument::replace(Position from, Position to, const std::string& bytes) {
    if (view() == nullptr) return;
    // A target replacement, not a selection replacement: the plugin selects
    // every inserted range while the panel is shown, and SCI_REPLACESEL then
    // moves the caret on from that selection by the inserted length again,
    // below the edited element (often onto another line).
    send(npp::SCI_SETTARGETSTART, static_cast<std::uintptr_t>(from));
    send(npp::SCI_SETTARGETEND, static_cast<std::uintptr_t>(to));
    send(npp::SCI_REPLACETARGET, static_cast<std::uintptr_t>(bytes.size()),
         reinterpret_cast<std::intptr_t>(bytes.c_str()));
}

void ScintillaDocument::insert(Position at, const std::string& bytes) {
    if (view() == nullptr) return;
    send(npp::SCI_INSERTTEXT, static_cast<std::uintptr_t>(at), reinterpret_cast<std::intptr_t>(bytes.c_str()));
}

}  // namespace editor
