#include "settings/OptionTable.h"

#include <cwctype>
#include <limits>

#include "settings/SettingsStore.h"

namespace options {

std::vector<OptionDescriptor> standardOptions() {
    namespace k = settings_keys;
    return {
        {1020, -1, TextBox, k::kGroup, k::kOrmuIp, L"Ip of ormu for the test dialog"},
        {1021, -1, TextBox, k::kGroup, k::kWgetPath, L"Path of wget for http query to ormu"},
        {1022, -1, TextBox, k::kGroup, k::kOrmuLogin, L"Login"},
        {1023, -1, TextBox, k::kGroup, k::kOrmuPassword, L"Password"},
        {1028, -1, CheckBox, k::kGroup, k::kLoadIncludes, L"Load includes"},
        {1029, -1, CheckBox, k::kGroup, k::kLoadImages, L"Load images"},
        {1030, -1, CheckBox, k::kGroup, k::kMarkMissingReferences,
         L"Mark textures and includes that the skin does not have, as you type"},
        {1031, -1, CheckBox, k::kGroup, k::kReloadSkinOnSave,
         L"After saving a window file, reload the skin and open its window"},
        {1035, -1, CheckBox, k::kGroup, k::kCompleteNames,
         L"Offer the skin's names (includes, variables, fonts, colours, strings, textures ...) as you type them"},
        {1036, -1, TextBox, k::kGroup, k::kCoreStringsFile,
         L"The media center's own English strings file (strings.po): its string ids are known to the check, the "
         L"hover and the completion"},
        {1037, -1, TextBox, k::kGroup, k::kCoreColoursFile,
         L"The media center's own colours file: its colour names are known to the check, the hover and the "
         L"completion"},
        {1038, -1, ChoiceBox, k::kGroup, k::kConnection,
         L"How Test window and Reload skin reach the media center: automatic (JSON-RPC when it answers, else the "
         L"older HTTP command route), jsonrpc (today's releases, through WinHTTP), http-command (older releases, "
         L"through wget.exe)",
         {L"automatic", L"jsonrpc", L"http-command"}},
        {1039, -1, TextBox, k::kGroup, k::kMediaCenterUserData,
         L"The media center's user data folder (on this machine or a share): over JSON-RPC, Reload skin and "
         L"windows without a name are reached through the keymap file keymaps\\quorrel.xml the plugin writes there"},
    };
}

const OptionDescriptor* findByControl(const std::vector<OptionDescriptor>& table, int controlId) {
    if (controlId <= 0) return nullptr;  // -1 marks a missing second control, it is no id
    for (const auto& option : table) {
        if (option.controlId == controlId || option.secondaryId == controlId) return &option;
    }
    return nullptr;
}

std::wstring helpKey(int controlId) { return std::to_wstring(controlId) + L"_HELP"; }

std::wstring boxText(const SettingsStore& store, const OptionDescriptor& option) {
    if (option.kind == NumberBox) return std::to_wstring(static_cast<unsigned>(store.getInt(option.group, option.key)));
    if (option.kind == TextBox) return store.getString(option.group, option.key);
    return {};
}

std::size_t choiceIndex(const SettingsStore& store, const OptionDescriptor& option) {
    const std::wstring stored = store.getString(option.group, option.key);
    for (std::size_t i = 0; i < option.choices.size(); ++i)
        if (option.choices[i] == stored) return i;
    return 0;
}

bool isChecked(const SettingsStore& store, const OptionDescriptor& option) {
    return option.kind == CheckBox && store.getBool(option.group, option.key);
}

unsigned parseUnsigned(const std::wstring& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && std::iswspace(static_cast<std::wint_t>(text[i]))) ++i;
    if (i == n || text[i] < L'0' || text[i] > L'9') return 0;
    unsigned long long value = 0;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - L'0');
        if (value > std::numeric_limits<unsigned>::max()) return 0;
    }
    while (i < n && std::iswspace(static_cast<std::wint_t>(text[i]))) ++i;
    return i == n ? static_cast<unsigned>(value) : 0;
}

void storeText(SettingsStore& store, const OptionDescriptor& option, const std::wstring& text) {
    if (option.kind == NumberBox)
        store.setInt(option.group, option.key, static_cast<int>(parseUnsigned(text)));
    else if (option.kind == TextBox)
        store.setString(option.group, option.key, text);
    else if (option.kind == ChoiceBox && !option.choices.empty()) {
        bool known = false;
        for (const std::wstring& choice : option.choices) known = known || choice == text;
        store.setString(option.group, option.key, known ? text : option.choices.front());
    }
}

void storeChecked(SettingsStore& store, const OptionDescriptor& option, bool checked) {
    if (option.kind == CheckBox) store.setBool(option.group, option.key, checked);
}

}  // namespace options
