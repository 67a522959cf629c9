// The media center's own files named in Options ("CoreStringsFile",
// "CoreColoursFile", empty unless given): whoever reads a skin with them
// hears of both paths at once, when the settings are attached and whenever
// either changes.
#pragma once

#include "settings/SettingsObserver.h"

#include <functional>
#include <string>

class MediaCenterFiles : public SettingsObserver {
public:
    using Listener = std::function<void(const std::wstring& strings, const std::wstring& colours)>;
    explicit MediaCenterFiles(Listener listener) : listener_(std::move(listener)) {}

    void attachedToSettings(SettingsStore* store) override;
    void settingsChanged(const std::wstring& group, const std::wstring& key) override;

    const std::wstring& strings() const { return strings_; }
    const std::wstring& colours() const { return colours_; }

private:
    SettingsStore* store_ = nullptr;
    Listener listener_;
    std::wstring strings_;
    std::wstring colours_;
};
