// The plugin's settings store: typed values addressed by group and key, kept
// in one XML file, observable by SettingsObserver.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class SettingsObserver;

struct SettingValue {
    enum Type : int { Unset = 0, Bool = 1, Int = 2, Float = 3, String = 4 };
    int type = Unset;
    bool boolValue = false;
    int intValue = 0;
    float floatValue = 0.0f;
    std::wstring stringValue;
};

class SettingsStore {
public:
    using Values = std::map<std::wstring, std::unique_ptr<SettingValue>>;
    using Groups = std::map<std::wstring, Values>;

    SettingsStore();
    virtual ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The file is named by its UTF-16 path (never converted to the ANSI code page).
    virtual bool load(const std::wstring& path);
    // Writes a complete new file beside the old one and only then replaces it.
    // Returns whether the file now holds the store.
    virtual bool save(const std::wstring& path);
    virtual void reserved() {}

    virtual bool exists(const std::wstring& group, const std::wstring& key) const;
    virtual bool getBool(const std::wstring& group, const std::wstring& key) const;
    virtual int getInt(const std::wstring& group, const std::wstring& key) const;
    virtual float getFloat(const std::wstring& group, const std::wstring& key) const;
    virtual std::wstring getString(const std::wstring& group, const std::wstring& key) const;
    virtual void setBool(const std::wstring& group, const std::wstring& key, bool value);
    virtual void setInt(const std::wstring& group, const std::wstring& key, int value);
    virtual void setFloat(const std::wstring& group, const std::wstring& key, float value);
    virtual void setString(const std::wstring& group, const std::wstring& key, const std::wstring& value);

    virtual bool firstGroup();
    virtual bool nextGroup();
    virtual std::wstring groupName() const;
    virtual bool firstValue();
    virtual bool nextValue();
    virtual std::wstring valueName() const;
    virtual const SettingValue* currentValue() const;

    virtual void addObserver(SettingsObserver* observer);
    virtual void removeObserver(SettingsObserver* observer);
    virtual SettingValue* find(const std::wstring& group, const std::wstring& key);
    virtual SettingValue* create(const std::wstring& group, const std::wstring& key);
    virtual void notify(const std::wstring& group, const std::wstring& key);

    const Groups& groups() const { return groups_; }

private:
    Groups groups_;
    std::wstring version_ = L"1.0";
    std::wstring rootName_ = L"QuorrelSettings";
    Groups::iterator groupCursor_;
    Values::iterator valueCursor_;
    bool groupCursorValid_ = false;
    bool valueCursorValid_ = false;
    std::vector<SettingsObserver*> observers_;
};

// The group and keys of the plugin's settings.
namespace settings_keys {
inline const wchar_t* const kGroup = L"ORMU";
inline const wchar_t* const kOrmuIp = L"OrmuIp";
inline const wchar_t* const kWgetPath = L"WgetPath";
inline const wchar_t* const kOrmuLogin = L"OrmuLogin";
inline const wchar_t* const kOrmuPassword = L"OrmuPassword";
inline const wchar_t* const kLoadIncludes = L"LoadIncludes";
inline const wchar_t* const kLoadImages = L"LoadImages";
inline const wchar_t* const kMarkMissingReferences = L"MarkMissingReferences";
inline const wchar_t* const kReloadSkinOnSave = L"ReloadSkinOnSave";
inline const wchar_t* const kCompleteNames = L"CompleteNames";
inline const wchar_t* const kCoreStringsFile = L"CoreStringsFile";
inline const wchar_t* const kCoreColoursFile = L"CoreColoursFile";
// How the tester reaches the media center: "automatic", "jsonrpc" or "http-command".
inline const wchar_t* const kConnection = L"Connection";
inline const wchar_t* const kMediaCenterUserData = L"MediaCenterUserData";

// For a component's attachedToSettings (the component is already an observer
// of the store then): a key that is stored is handed to the component's
// settingsChanged; a missing one gets the built-in default, whose set tells
// every observer, the component included.
void registerBool(SettingsStore& store, SettingsObserver& owner, const wchar_t* key, bool fallback);
void registerString(SettingsStore& store, SettingsObserver& owner, const wchar_t* key, const std::wstring& fallback);
}  // namespace settings_keys
