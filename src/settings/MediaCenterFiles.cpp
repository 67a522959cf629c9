#include "settings/MediaCenterFiles.h"

#include "settings/SettingsStore.h"

void MediaCenterFiles::attachedToSettings(SettingsStore* store) {
    store_ = store;
    if (store == nullptr) return;
    settings_keys::registerString(*store, *this, settings_keys::kCoreStringsFile, L"");
    settings_keys::registerString(*store, *this, settings_keys::kCoreColoursFile, L"");
}

void MediaCenterFiles::settingsChanged(const std::wstring& group, const std::wstring& key) {
    using namespace settings_keys;
    if (store_ == nullptr || group != kGroup || (key != kCoreStringsFile && key != kCoreColoursFile)) return;
    std::wstring strings = store_->getString(kGroup, kCoreStringsFile);
    std::wstring colours = store_->getString(kGroup, kCoreColoursFile);
    // Blanks around a pasted path are no part of it.
    for (std::wstring* path : {&strings, &colours}) {
        const std::size_t first = path->find_first_not_of(L" \t");
        const std::size_t last = path->find_last_not_of(L" \t");
        *path = first == std::wstring::npos ? std::wstring() : path->substr(first, last - first + 1);
    }
    if (strings == strings_ && colours == colours_) return;
    strings_ = std::move(strings);
    colours_ = std::move(colours);
    if (listener_) listener_(strings_, colours_);
}
