// The media center's window table: which skin file defines which window, so
// that "Test window" can ask for the window of the file being edited.
#pragma once

#include <cstddef>
#include <string>

namespace tester {

struct WindowRow {
    const wchar_t* name;     // carried for reference; no lookup reads it
    const wchar_t* id;       // decimal window id
    const wchar_t* xmlFile;  // lower-case skin file name, possibly empty
};

constexpr std::size_t kWindowRowCount = 95;

// The rows in table order (the first matching row wins).
const WindowRow* windowTable();

// ASCII-only lower-casing: the media center's file names are ASCII, and
// folding other letters would make names match that the media center keeps apart.
std::wstring asciiLower(const std::wstring& text);

// The window id for a skin file name, or the lower-cased name when no row has it.
std::wstring windowIdForFile(const std::wstring& name);

}  // namespace tester
