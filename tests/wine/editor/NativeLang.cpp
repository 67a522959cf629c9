// A stand-in for the editor's localisation plugin, loaded by the host only in
// tests that ask for it. It translates a few texts (request 5) from a fixed
// table and keeps every request it receives where the test can read it.
#include "npp/LocalisationRecords.h"
#include "npp/NppInterface.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Entry {
    const wchar_t* key;
    const wchar_t* text;
};

// The texts the tests expect; non-ASCII ones prove the text stays UTF-16 end to end.
constexpr Entry kTranslations[] = {
    {L"Ormu Commands", L"Ormu-Befehle"},
    {L"Ormu Image Previewer", L"Ormu-Bildvorschau"},
    {L"Ormu Controls", L"Ormu-Steuerelemente"},
    {L"1020_HELP", L"IP-Adresse des Ormu-Rechners f\u00fcr den Testdialog"},
    {L"1021_HELP", L"Ordner, in dem wget.exe liegt"},
};

using localisation::DialogRequest;
using localisation::MenuRequest;
using localisation::TextRequest;

struct Recorded {
    long code = 0;
    std::wstring source;
    HWND window = nullptr;
    std::wstring text;  // dialog name, menu name or key
    int count = 0;      // menu: number of commands
    bool answered = false;
};

std::vector<Recorded>& recorded() {
    static std::vector<Recorded> requests;
    return requests;
}

npp::NppData g_npp{};
npp::FuncItem g_items[1]{};

void noCommand() {}

std::wstring safeText(const wchar_t* text) { return text != nullptr ? std::wstring(text) : std::wstring(); }

void handle(const npp::CommunicationInfo& info) {
    Recorded entry;
    entry.code = info.internalMsg;
    entry.source = safeText(info.srcModuleName);
    switch (info.internalMsg) {
    case 0: {
        const auto* request = static_cast<const DialogRequest*>(info.info);
        // A record of another layout would put something else first; do
        // not read a name through it then.
        if (request != nullptr && ::IsWindow(request->dialog)) {
            entry.window = request->dialog;
            entry.text = safeText(request->name);
        } else {
            entry.text = L"<not a dialog record>";
        }
        break;
    }
    case 1: {
        const auto* request = static_cast<const MenuRequest*>(info.info);
        if (request != nullptr) {
            entry.text = safeText(request->menuName);
            entry.count = static_cast<int>(request->commandCount);
        }
        break;
    }
    case 5: {
        auto* request = static_cast<TextRequest*>(info.info);
        if (request == nullptr) break;
        entry.text = safeText(request->key);
        for (const Entry& translation : kTranslations) {
            if (entry.text != translation.key) continue;
            const std::size_t length = std::wcslen(translation.text);
            if (request->buffer == nullptr || *request->buffer == nullptr ||
                request->bufferSize <= static_cast<INT_PTR>(length))
                break;
            std::wmemcpy(*request->buffer, translation.text, length + 1);
            request->result = 1;
            entry.answered = true;
            break;
        }
        break;
    }
    default:
        break;
    }
    recorded().push_back(std::move(entry));
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL __cdecl isUnicode() { return TRUE; }
__declspec(dllexport) const wchar_t* __cdecl getName() { return L"NativeLang"; }
__declspec(dllexport) void __cdecl setInfo(npp::NppData data) { g_npp = data; }

__declspec(dllexport) npp::FuncItem* __cdecl getFuncsArray(int* count) {
    std::wcscpy(g_items[0].itemName, L"Stand-in translations");
    g_items[0].pFunc = noCommand;
    if (count != nullptr) *count = 1;
    return g_items;
}

__declspec(dllexport) void __cdecl beNotified(npp::SCNotification*) {}

__declspec(dllexport) LRESULT __cdecl messageProc(UINT message, WPARAM, LPARAM lParam) {
    try {
        if (message == npp::NPPM_MSGTOPLUGIN && lParam != 0)
            handle(*reinterpret_cast<const npp::CommunicationInfo*>(lParam));
    } catch (...) {
        // Nothing may escape into the host.
    }
    return TRUE;
}

// For the tests: how many requests arrived, and each one.
__declspec(dllexport) int __cdecl standInRequestCount() { return static_cast<int>(recorded().size()); }

__declspec(dllexport) BOOL __cdecl standInRequest(int index, long* code, HWND* window, wchar_t* text, int textSize,
                                                  int* count, BOOL* answered) {
    if (index < 0 || index >= standInRequestCount()) return FALSE;
    const Recorded& entry = recorded()[static_cast<std::size_t>(index)];
    if (code != nullptr) *code = entry.code;
    if (window != nullptr) *window = entry.window;
    if (count != nullptr) *count = entry.count;
    if (answered != nullptr) *answered = entry.answered ? TRUE : FALSE;
    if (text != nullptr && textSize > 0) {
        const std::size_t n = std::min<std::size_t>(entry.text.size(), static_cast<std::size_t>(textSize - 1));
        std::wmemcpy(text, entry.text.data(), n);
        text[n] = L'\0';
    }
    return TRUE;
}

__declspec(dllexport) void __cdecl standInClear() { recorded().clear(); }

}  // extern "C"
