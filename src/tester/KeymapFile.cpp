#include "tester/KeymapFile.h"

#include "base/Files.h"

#include <cstdint>
#include <vector>

namespace tester {

const char* const kKeymapMarker =
    "<!-- Written by the Quorrel plugin for Test window and Reload skin; it rewrites this file as needed. -->";

std::string keymapContent(std::optional<unsigned> windowId) {
    std::string text = std::string(kKeymapMarker) + "\n<keymap>\n  <global>\n    <keyboard>\n";
    if (windowId)
        text += std::string("      <") + kWindowKey + ">ActivateWindow(" + std::to_string(*windowId) + ")</" +
                kWindowKey + ">\n";
    text += std::string("      <") + kReloadKey + ">ReloadSkin()</" + kReloadKey + ">\n";
    text += "    </keyboard>\n  </global>\n</keymap>\n";
    return text;
}

namespace {

std::wstring withoutTrailingSeparator(std::wstring folder) {
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder;
}

bool startsWithMarker(const std::vector<std::uint8_t>& bytes) {
    const std::string marker = kKeymapMarker;
    if (bytes.size() < marker.size()) return false;
    if (std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(marker.size())) != marker) return false;
    return bytes.size() == marker.size() || bytes[marker.size()] == '\n' || bytes[marker.size()] == '\r';
}

}  // namespace

std::wstring keymapPath(const std::wstring& userDataFolder) {
    return withoutTrailingSeparator(userDataFolder) + L"\\keymaps\\quorrel.xml";
}

KeymapWrite updateKeymap(const std::wstring& userDataFolder, std::optional<unsigned> windowId) {
    KeymapWrite write;
    if (userDataFolder.empty()) return write;
    const std::wstring folder = withoutTrailingSeparator(userDataFolder);
    write.path = keymapPath(folder);
    if (!files::exists(folder)) {
        write.outcome = KeymapWrite::FolderMissing;
        return write;
    }
    // It exists: this only tells whether it is a folder.
    if (!files::createFolders(folder)) {
        write.outcome = KeymapWrite::NotAFolder;
        return write;
    }
    const std::wstring keymaps = folder + L"\\keymaps";
    const bool keymapsThere = files::exists(keymaps);
    if (!files::createFolders(keymaps)) {
        write.outcome = keymapsThere ? KeymapWrite::NotAFolder : KeymapWrite::Unwritable;
        return write;
    }
    const std::string wanted = keymapContent(windowId);
    if (files::exists(write.path)) {
        std::vector<std::uint8_t> bytes;
        if (!files::readAll(write.path, bytes) || !startsWithMarker(bytes)) {
            write.outcome = KeymapWrite::NotOurs;
            return write;
        }
        // Every file of ours maps the reload key.
        if (!windowId || std::string(bytes.begin(), bytes.end()) == wanted) {
            write.outcome = KeymapWrite::Unchanged;
            return write;
        }
    }
    const bool written = files::writeWhole(write.path, reinterpret_cast<const std::uint8_t*>(wanted.data()),
                                           wanted.size(), false);
    write.outcome = written ? KeymapWrite::Written : KeymapWrite::Unwritable;
    return write;
}

}  // namespace tester
