// What saving a file means to the skin it belongs to: whether the media
// center should reload the skin, and whether the file is a window it can then
// open.
#pragma once

#include "skin/IncludeScan.h"

#include <functional>
#include <string>

namespace skin {

enum class SavedFileRole {
    None,    // no XML file of a skin
    Window,  // a window file: reload the skin and open the window
    Shared,  // includes.xml, a file it includes, or Font.xml: used by every window, reload only
};

using FolderProbe = std::function<bool(const std::wstring& folder)>;

// For the full path of a saved file (backslashes between folders). A file is
// below a skin when its skin folder, as the media lookup has it (the parent
// of the file's folder), holds a media folder.
SavedFileRole RoleOfSavedFile(const std::wstring& path, const FileReader& readFile, const FolderProbe& isFolder);
// Through the platform's files.
SavedFileRole RoleOfSavedFile(const std::wstring& path);

}  // namespace skin
