// The keymap route to the media center: a keymap file, keymaps/quorrel.xml in
// its user data folder, maps two keyboard keys that no keyboard's default
// keymap uses to the builtins the JSON-RPC interface has no method for
// (opening a window by number, reloading the skin). After
// Input.ExecuteAction "reloadkeymaps", Input.ButtonEvent with the key runs the
// builtin. The file is the plugin's only when its first line is the marker.
// Portable (the files through base/).
#pragma once

#include <optional>
#include <string>

namespace tester {

// The keys, as Input.ButtonEvent and the keymap file name them.
constexpr const char* kWindowKey = "launch_file_browser";
constexpr const char* kReloadKey = "launch_media_center";

// The first line of every keymap file the plugin writes.
extern const char* const kKeymapMarker;

// The file's whole text: the reload key always, the window key when a window is given.
std::string keymapContent(std::optional<unsigned> windowId);

// "C:\\Users\\me\\AppData\\Roaming\\MediaCenter\\keymaps\\quorrel.xml" for the folder.
std::wstring keymapPath(const std::wstring& userDataFolder);

struct KeymapWrite {
    enum Outcome {
        Written,        // written (whole, then renamed into place)
        Unchanged,      // it already said this; not written again
        FolderUnset,    // no user data folder in the Options
        FolderMissing,  // the folder does not exist
        NotAFolder,     // the folder (or its keymaps) is a file
        NotOurs,        // a quorrel.xml without the marker is there: left alone
        Unwritable,     // the file could not be written
    };
    Outcome outcome = FolderUnset;
    std::wstring path;  // the keymap file
};

// Brings the keymap file to what opening `windowId` (or only reloading the
// skin, with none) needs: makes `keymaps` in the folder when it is missing,
// never writes when the content would not change, never replaces a file
// that is not the plugin's.
KeymapWrite updateKeymap(const std::wstring& userDataFolder, std::optional<unsigned> windowId);

}  // namespace tester
