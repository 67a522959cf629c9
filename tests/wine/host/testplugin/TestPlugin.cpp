// A tiny plugin for the host's tests: registers a docking panel and a modeless
// window, reads the configuration folder, talks to other plugins, and records
// everything it receives so a test can read it back through its query exports.
#include "npp/LocalisationRecords.h"
#include "npp/NppInterface.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

#ifdef TEST_PLUGIN_ANSI
constexpr wchar_t kName[] = L"Ansi Test";
#else
constexpr wchar_t kName[] = L"&Test Plugin";
#endif
constexpr wchar_t kModule[] = L"QuorrelTestPlugin.dll";
constexpr wchar_t kPanelClass[] = L"QuorrelTestPanel";
constexpr wchar_t kDialogClass[] = L"QuorrelTestModeless";

void readConfig(npp::NppData data);
void notified(npp::SCNotification* scn);
void received(UINT msg, WPARAM wParam, LPARAM lParam);

HINSTANCE g_module = nullptr;
npp::NppData g_npp{};
std::vector<std::wstring> g_events;
std::wstring g_eventText;
std::wstring g_configDir;
std::wstring g_panelName = L"Test Panel";
UINT g_panelMask = npp::DWS_ICONTAB | npp::DWS_DF_CONT_RIGHT;
HWND g_panel = nullptr;
HWND g_modeless = nullptr;
bool g_panelShown = false;
npp::FuncItem g_items[7]{};
npp::ShortcutKey g_showKey{true, false, true, 'P'};
LRESULT g_lastResult = 0;

// Recording must not throw into the host; a lost event shows up in the test.
void record(const std::wstring& event) noexcept {
    try {
        g_events.push_back(event);
    } catch (...) {
    }
}

template <typename Fn>
void guarded(Fn fn) noexcept {
    try {
        fn();
    } catch (...) {
        record(L"exception");
    }
}

LRESULT toHost(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(g_npp.nppHandle, msg, w, l); }

LRESULT panelMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        return panelMessage(hwnd, msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT panelMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && lParam != 0 && hwnd == g_panel) {
        // What the panel's controls report, as a panel's dialog procedure sees it.
        record(L"control:" + std::to_wstring(LOWORD(wParam)) + L":" + std::to_wstring(HIWORD(wParam)));
        return 0;
    }
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == g_npp.nppHandle) {
            record(L"dmn:" + std::to_wstring(LOWORD(header->code)) + L":" + std::to_wstring(HIWORD(header->code)));
            if (LOWORD(header->code) == npp::DMN_CLOSE) {
                g_panelShown = false;
                toHost(npp::NPPM_SETMENUITEMCHECK, static_cast<WPARAM>(g_items[0].cmdID), FALSE);
            }
            return TRUE;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void registerClass(const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = panelProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

void togglePanel() {
    if (g_panel == nullptr) {
        registerClass(kPanelClass);
        g_panel = CreateWindowExW(0, kPanelClass, L"Test Panel", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 200, 300,
                                  g_npp.nppHandle, nullptr, g_module, nullptr);
        CreateWindowExW(0, L"EDIT", L"panel edit", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 4, 4, 150, 22,
                        g_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1010)), g_module, nullptr);
        HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, 4, 30, 150, 100,
                                    g_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1011)), g_module, nullptr);
        for (const wchar_t* item : {L"alpha", L"beta", L"gamma"})
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        HWND combo =
            CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 4, 140, 150,
                            120, g_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1012)), g_module, nullptr);
        for (const wchar_t* item : {L"one", L"two"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 170, 60, 24, g_panel,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(1013)), g_module, nullptr);
        npp::tTbData data{};
        data.hClient = g_panel;
        data.pszName = g_panelName.c_str();
        data.dlgID = 0;
        data.uMask = g_panelMask;
        data.hIconTab = CopyIcon(LoadIconW(nullptr, IDI_INFORMATION));
        data.pszAddInfo = nullptr;
        data.pszModuleName = kModule;
        toHost(npp::NPPM_DMMREGASDCKDLG, 0, reinterpret_cast<LPARAM>(&data));
        // The host keeps the record's strings by pointer: scribbling over this
        // local copy must not matter to it.
        data = npp::tTbData{};
    }
    g_panelShown = !g_panelShown;
    toHost(g_panelShown ? npp::NPPM_DMMSHOW : npp::NPPM_DMMHIDE, 0, reinterpret_cast<LPARAM>(g_panel));
    toHost(npp::NPPM_SETMENUITEMCHECK, static_cast<WPARAM>(g_items[0].cmdID), g_panelShown);
}

void showModeless() {
    if (g_modeless == nullptr) {
        registerClass(kDialogClass);
        g_modeless = CreateWindowExW(0, kDialogClass, L"Test window", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 300,
                                     150, g_npp.nppHandle, nullptr, g_module, nullptr);
        for (int i = 0; i < 2; ++i)
            CreateWindowExW(0, L"EDIT", i == 0 ? L"first" : L"second", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                            10, 10 + 30 * i, 200, 22, g_modeless,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(2001 + i)), g_module, nullptr);
        toHost(npp::NPPM_MODELESSDIALOG, npp::MODELESSDIALOGADD, reinterpret_cast<LPARAM>(g_modeless));
    }
    ShowWindow(g_modeless, SW_SHOW);
}

void sendMessages() {
    int payload = 7;
    npp::CommunicationInfo self{42, kModule, &payload};
    g_lastResult = toHost(npp::NPPM_MSGTOPLUGIN, reinterpret_cast<WPARAM>(kModule), reinterpret_cast<LPARAM>(&self));
    record(L"sent:self:" + std::to_wstring(g_lastResult));
    wchar_t text[64] = L"untouched";
    wchar_t* textPointer = text;
    localisation::TextRequest request{0, L"Greeting", 0, 64, &textPointer};
    npp::CommunicationInfo other{localisation::TranslateText, kModule, &request};
    g_lastResult =
        toHost(npp::NPPM_MSGTOPLUGIN, reinterpret_cast<WPARAM>(L"Missing.dll"), reinterpret_cast<LPARAM>(&other));
    record(L"sent:missing:" + std::to_wstring(g_lastResult) + L":" + std::to_wstring(request.result) + L":" + text);
}

void messageBox() {
    int answer = MessageBoxW(g_npp.nppHandle, L"Proceed with the test?", L"Test box", MB_YESNO | MB_ICONQUESTION);
    record(L"messagebox:" + std::to_wstring(answer));
}

void openFile() {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = g_npp.nppHandle;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFilter = L"All files\0*.*\0";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    BOOL ok = GetOpenFileNameW(&ofn);
    record(std::wstring(L"file:") + (ok ? file : L"<cancelled>"));
}

void browseFolder() {
    wchar_t folder[MAX_PATH] = {};
    BROWSEINFOW bi{};
    bi.hwndOwner = g_npp.nppHandle;
    bi.lpszTitle = L"Pick a folder";
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&bi);
    if (chosen != nullptr) {
        SHGetPathFromIDListW(chosen, folder);
        CoTaskMemFree(chosen);
    }
    record(std::wstring(L"folder:") + (chosen != nullptr ? folder : L"<cancelled>"));
}

void runItem(int k, void (*action)()) {
    guarded([&] {
        record(L"command:" + std::to_wstring(k));
        action();
    });
}

void cmdPanel() { runItem(0, togglePanel); }
void cmdModeless() { runItem(2, showModeless); }
void cmdSend() { runItem(3, sendMessages); }
void cmdBox() { runItem(4, messageBox); }
void cmdFile() { runItem(5, openFile); }
void cmdFolder() { runItem(6, browseFolder); }

void setItem(int k, const wchar_t* name, npp::PluginCommand f, npp::ShortcutKey* key) {
    std::wcsncpy(g_items[k].itemName, name, npp::kMenuItemSize - 1);
    g_items[k].pFunc = f;
    g_items[k].pShKey = key;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        record(L"DllMain");
    } else if (reason == DLL_PROCESS_DETACH) {
        // The classes' procedures live in this library: they must not outlive it.
        UnregisterClassW(kPanelClass, module);
        UnregisterClassW(kDialogClass, module);
    }
    return TRUE;
}

__declspec(dllexport) BOOL isUnicode() {
    record(L"isUnicode");
#ifdef TEST_PLUGIN_ANSI
    return FALSE;
#else
    return TRUE;
#endif
}

__declspec(dllexport) const wchar_t* getName() {
    record(L"getName");
    return kName;
}

__declspec(dllexport) void setInfo(npp::NppData data) {
    guarded([&] { readConfig(data); });
}

}  // extern "C"

namespace {
void readConfig(npp::NppData data) {
    g_npp = data;
    record(L"setInfo");
    auto length = SendMessageW(data.nppHandle, npp::NPPM_GETPLUGINSCONFIGDIR, 0, 0);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    if (SendMessageW(data.nppHandle, npp::NPPM_GETPLUGINSCONFIGDIR, buffer.size(),
                     reinterpret_cast<LPARAM>(buffer.data()))) {
        buffer.resize(static_cast<std::size_t>(length));
        g_configDir = buffer;
    }
}
}  // namespace

extern "C" {

__declspec(dllexport) npp::FuncItem* getFuncsArray(int* count) {
    record(L"getFuncsArray");
    setItem(0, L"&Show Panel", cmdPanel, &g_showKey);
    setItem(1, L"-", nullptr, nullptr);
    setItem(2, L"&Modeless Window", cmdModeless, nullptr);
    setItem(3, L"Send &Messages", cmdSend, nullptr);
    setItem(4, L"Message &Box", cmdBox, nullptr);
    setItem(5, L"Open &File", cmdFile, nullptr);
    setItem(6, L"Browse F&older", cmdFolder, nullptr);
    *count = 7;
    return g_items;
}

__declspec(dllexport) void beNotified(npp::SCNotification* scn) {
    guarded([&] { notified(scn); });
}

__declspec(dllexport) LRESULT messageProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    guarded([&] { received(msg, wParam, lParam); });
    return TRUE;
}

}  // extern "C"

namespace {
void notified(npp::SCNotification* scn) {
    const NMHDR& h = scn->nmhdr;
    std::wstring from = h.hwndFrom == g_npp.nppHandle               ? L"host"
                        : h.hwndFrom == g_npp.scintillaMainHandle   ? L"view0"
                        : h.hwndFrom == g_npp.scintillaSecondHandle ? L"view1"
                                                                    : L"other";
    if (h.code == npp::SCN_MODIFIED) {
        if ((scn->modificationType & (npp::SC_MOD_INSERTTEXT | npp::SC_MOD_DELETETEXT)) == 0) return;
        std::string text = scn->text != nullptr ? std::string(scn->text, static_cast<std::size_t>(scn->length)) : "";
        record(L"modified:" + from + L":pos=" + std::to_wstring(scn->position) + L":len=" +
               std::to_wstring(scn->length) + L":type=" + std::to_wstring(scn->modificationType & 3) + L":lines=" +
               std::to_wstring(scn->linesAdded) + L":text=" + std::wstring(text.begin(), text.end()));
        return;
    }
    if (h.code == npp::SCN_UPDATEUI) {
        // Many of these arrive; one per 'updated' kind is enough to see them.
        record(L"updateui:" + from);
        return;
    }
    record(L"notify:" + std::to_wstring(h.code) + L":" + from + L":" + std::to_wstring(h.idFrom));
}

void received(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::wstring event = L"messageProc:" + std::to_wstring(msg);
    if (msg == npp::NPPM_MSGTOPLUGIN) {
        auto* info = reinterpret_cast<npp::CommunicationInfo*>(lParam);
        event += L":" + std::wstring(reinterpret_cast<const wchar_t*>(wParam)) + L":" +
                 std::to_wstring(info->internalMsg) + L":" + info->srcModuleName;
        if (info->info != nullptr) event += L":" + std::to_wstring(*static_cast<int*>(info->info));
    }
    record(event);
}
}  // namespace

extern "C" {

// Query exports for the tests.
__declspec(dllexport) int testEventCount() { return static_cast<int>(g_events.size()); }
__declspec(dllexport) const wchar_t* testEvent(int i) {
    return i >= 0 && i < static_cast<int>(g_events.size()) ? g_events[static_cast<std::size_t>(i)].c_str() : L"";
}
__declspec(dllexport) void testClearEvents() { g_events.clear(); }
__declspec(dllexport) const wchar_t* testConfigDir() { return g_configDir.c_str(); }
__declspec(dllexport) HWND testPanel() { return g_panel; }
__declspec(dllexport) HWND testModeless() { return g_modeless; }
__declspec(dllexport) void testSetPanelMask(UINT mask) { g_panelMask = mask; }
__declspec(dllexport) void testSetPanelName(const wchar_t* name) { g_panelName = name; }

}  // extern "C"
