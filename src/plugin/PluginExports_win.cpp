// The six entry points the editor looks up in every plugin.
#include "plugin/NppInterface.h"

#include <array>
#include <cwchar>

namespace {

constexpr wchar_t kPluginName[] = L"&Quorrel";

void doNothing() {}

struct MenuEntry {
    const wchar_t* text;
    bool ctrlAlt;
    UCHAR key;
};

constexpr std::array<MenuEntry, 6> kMenu{{
    {L"&Ormu Skin Controls...", false, 0},
    {L"&Ormu Tester", false, 0},
    {L"&Ormu Image Previewer", true, 'V'},
    {L"&Ormu Controls", true, 'B'},
    {L"&Options...", false, 0},
    {L"&About...", false, 0},
}};

// The host keeps pointers into these for as long as the plugin is loaded.
std::array<npp::FuncItem, kMenu.size()> commandTable{};
std::array<npp::ShortcutKey, kMenu.size()> shortcuts{};

}  // namespace

extern "C" {

__declspec(dllexport) void setInfo(npp::NppData) {}

__declspec(dllexport) const wchar_t* getName() { return kPluginName; }

__declspec(dllexport) npp::FuncItem* getFuncsArray(int* count) {
    for (std::size_t i = 0; i < kMenu.size(); ++i) {
        npp::FuncItem& item = commandTable[i];
        std::wcsncpy(item.itemName, kMenu[i].text, npp::kMenuItemSize - 1);
        item.pFunc = doNothing;
        item.init2Check = false;
        if (kMenu[i].ctrlAlt) {
            shortcuts[i] = npp::ShortcutKey{true, true, false, kMenu[i].key};
            item.pShKey = &shortcuts[i];
        } else {
            item.pShKey = nullptr;
        }
    }
    if (count != nullptr) *count = static_cast<int>(kMenu.size());
    return commandTable.data();
}

__declspec(dllexport) void beNotified(npp::SCNotification*) {}

__declspec(dllexport) LRESULT messageProc(UINT, WPARAM, LPARAM) { return TRUE; }

__declspec(dllexport) BOOL isUnicode() { return TRUE; }

}  // extern "C"
