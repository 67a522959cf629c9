// Placeholder until the settings store lands.
#include "settings/TarvoSettingsManager.h"
#include "plugin/ModelController.h"

TarvoSettingsManager::TarvoSettingsManager() = default;
TarvoSettingsManager::~TarvoSettingsManager() = default;
bool TarvoSettingsManager::load(const std::wstring&) { return false; }
bool TarvoSettingsManager::save(const std::wstring&) { return false; }
bool TarvoSettingsManager::exists(const std::wstring&, const std::wstring&) const { return false; }
bool TarvoSettingsManager::getBool(const std::wstring&, const std::wstring&) const { return false; }
int TarvoSettingsManager::getInt(const std::wstring&, const std::wstring&) const { return 0; }
float TarvoSettingsManager::getFloat(const std::wstring&, const std::wstring&) const { return 0; }
std::wstring TarvoSettingsManager::getString(const std::wstring&, const std::wstring&) const { return {}; }
void TarvoSettingsManager::setBool(const std::wstring&, const std::wstring&, bool) {}
void TarvoSettingsManager::setInt(const std::wstring&, const std::wstring&, int) {}
void TarvoSettingsManager::setFloat(const std::wstring&, const std::wstring&, float) {}
void TarvoSettingsManager::setString(const std::wstring&, const std::wstring&, const std::wstring&) {}
bool TarvoSettingsManager::firstGroup() { return false; }
bool TarvoSettingsManager::nextGroup() { return false; }
std::wstring TarvoSettingsManager::groupName() const { return {}; }
bool TarvoSettingsManager::firstValue() { return false; }
bool TarvoSettingsManager::nextValue() { return false; }
std::wstring TarvoSettingsManager::valueName() const { return {}; }
const SettingValue* TarvoSettingsManager::currentValue() const { return nullptr; }
void TarvoSettingsManager::addObserver(SettingsObserver* o) { if (o) { observers_.push_back(o); o->attachedToSettings(this); } }
void TarvoSettingsManager::removeObserver(SettingsObserver*) {}
SettingValue* TarvoSettingsManager::find(const std::wstring&, const std::wstring&) { return nullptr; }
SettingValue* TarvoSettingsManager::create(const std::wstring&, const std::wstring&) { return nullptr; }
void TarvoSettingsManager::notify(const std::wstring&, const std::wstring&) {}
