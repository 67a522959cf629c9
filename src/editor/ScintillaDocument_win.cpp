#include "editor/ScintillaDocument_win.h"

#include "editor/PluginContext.h"

#include <windows.h>

namespace editor {

namespace {

// The document shown in a view; another document becoming active in the view
// changes it.
constexpr UINT kGetDocPointer = 2357;

HWND view() { return plugin::context().currentView; }

std::intptr_t send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    const HWND target = view();
    return target == nullptr ? 0 : plugin::sendToView(target, message, wParam, lParam);
}

}  // namespace

std::uintptr_t ScintillaDocument::identity() const { return static_cast<std::uintptr_t>(send(kGetDocPointer)); }

Position ScintillaDocument::caretLine() const {
    const HWND host = plugin::context().npp.nppHandle;
    return host == nullptr ? -1 : static_cast<Position>(::SendMessageW(host, npp::NPPM_GETCURRENTLINE, 0, 0));
}

Position ScintillaDocument::lineCount() const { return view() == nullptr ? 0 : send(npp::SCI_GETLINECOUNT); }

Position ScintillaDocument::lineStart(Position line) const {
    return send(npp::SCI_POSITIONFROMLINE, static_cast<WPARAM>(line));
}

Position ScintillaDocument::lineEnd(Position line) const {
    return send(npp::SCI_GETLINEENDPOSITION, static_cast<WPARAM>(line));
}

std::string ScintillaDocument::text(Position from, Position to) const {
    if (view() == nullptr || from < 0 || to <= from) return {};
    // The view writes the range and a terminating zero.
    std::string buffer(static_cast<std::size_t>(to - from) + 1, '\0');
    npp::Sci_TextRange range{from, to, buffer.data()};
    const std::intptr_t copied = send(npp::SCI_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    if (copied <= 0) return {};
    buffer.resize(static_cast<std::size_t>(copied) < buffer.size() ? static_cast<std::size_t>(copied) : buffer.size() - 1);
    return buffer;
}

int ScintillaDocument::lineIndentation(Position line) const {
    return static_cast<int>(send(npp::SCI_GETLINEINDENTATION, static_cast<WPARAM>(line)));
}

unsigned ScintillaDocument::codePage() const { return static_cast<unsigned>(send(npp::SCI_GETCODEPAGE)); }

void ScintillaDocument::replace(Position from, Position to, const std::string& bytes) {
    if (view() == nullptr) return;
    // A target replacement, not a selection replacement: the plugin selects
    // every inserted range while the panel is shown, and SCI_REPLACESEL then
    // moves the caret on from that selection by the inserted length again,
    // below the edited element (often onto another line).
    send(npp::SCI_SETTARGETSTART, static_cast<WPARAM>(from));
    send(npp::SCI_SETTARGETEND, static_cast<WPARAM>(to));
    send(npp::SCI_REPLACETARGET, static_cast<WPARAM>(bytes.size()), reinterpret_cast<LPARAM>(bytes.c_str()));
}

void ScintillaDocument::insert(Position at, const std::string& bytes) {
    if (view() == nullptr) return;
    send(npp::SCI_INSERTTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(bytes.c_str()));
}

}  // namespace editor
