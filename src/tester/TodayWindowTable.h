// Today's window table (which skin file defines which window, and the names
// the media center's JSON-RPC interface opens), and how "Test window" finds the
// window of the edited file: through today's table, then the older rows
// (WindowTable.h), then the file's own <window id="...">. Portable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tester {

struct TodayWindowRow {
    const wchar_t* name;     // as GUI.ActivateWindow takes it; empty where the window has none
    unsigned id;             // the window's number
    const wchar_t* xmlFile;  // the lower-case skin file that defines it; empty for none
    bool jsonRpc;            // GUI.ActivateWindow takes the name
};

constexpr std::size_t kTodayWindowRowCount = 137;
const TodayWindowRow* todayWindowTable();

// Whether GUI.ActivateWindow takes this window name.
bool isInterfaceWindowName(const std::wstring& name);

struct WindowToOpen {
    enum Source { TodayTable, OlderTable, OwnId };
    unsigned id = 0;
    std::wstring name;  // the interface's name for it; empty: only a keymap opens it
    Source source = TodayTable;

    // The id the media center reports while the window shows (a skin's own
    // windows, numbered below 10000 in their files, count from 10000).
    unsigned shownId() const { return id < 10000 ? id + 10000 : id; }
};

// "home (10000)", or "window 1104" for a window without a name.
std::wstring windowWords(const WindowToOpen& window);

// The id in the first <window ...> start tag of a skin file's text, if it
// has a decimal one.
std::optional<unsigned> ownWindowId(std::string_view fileText);

// The window to open for the skin file `fileName` (its name without the
// folder) whose text is `fileText`; none when no table has it and its text
// gives no id.
std::optional<WindowToOpen> windowToOpen(const std::wstring& fileName, std::string_view fileText);

}  // namespace tester
