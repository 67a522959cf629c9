// What extracting a texture bundle writes where: the rule that keeps every
// entry inside the chosen folder, and the plan of folders and files.
// Portable; the Win32 side (BundleExtraction_win.cpp) does the writing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace textures {

// Whether an entry name (forward or back slashes as separators) can be
// written below an output folder as it stands: a relative path of ordinary
// components, none of them empty, "." or "..", none a reserved device name,
// none with a character a Windows file name cannot hold or with a trailing
// dot or blank (which Windows would silently drop).
bool isSafeEntryName(const std::wstring& name);

struct ExtractionItem {
    std::wstring name;      // the entry name as stored in the bundle
    bool safe = false;      // false: never written
    std::wstring folder;    // output folder + the entry's folder part (no trailing backslash); empty if none
    std::wstring fullPath;  // output folder + the entry's path with backslashes
};

// One item per entry, in the bundle's order. `outputFolder` ends with a backslash.
std::vector<ExtractionItem> planExtraction(const std::vector<std::wstring>& names,
                                           const std::wstring& outputFolder);

// The message that tells the user which entries could not be written: the
// count and the first `listed` names. Empty when nothing failed.
std::wstring skippedEntriesMessage(const std::vector<std::wstring>& failed, std::size_t listed = 10);

}  // namespace textures
