// What the settings store tells of its values: every component that owns
// setting keys, or reads them, observes the store through this.
#pragma once

#include <string>

class SettingsStore;

class SettingsObserver {
public:
    virtual ~SettingsObserver() = default;
    // Remembers the store; components that own setting keys register their
    // defaults here (or read the stored values).
    virtual void attachedToSettings(SettingsStore* store) = 0;
    virtual void settingsChanged(const std::wstring& /*group*/, const std::wstring& /*key*/) {}
};
