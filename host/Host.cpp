// The stand-in editor's core: main window, Scintilla views, plugin loading,
// documents and the editor messages plugins send.
#include "HostImpl.h"

#include "base/TextCodec.h"

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>

namespace host {
namespace {

constexpr wchar_t kMainClass[] = L"QuorrelHostMain";
constexpr UINT IDM_FILE_OPEN = 41001;
constexpr UINT IDM_FILE_EXIT = 41002;
constexpr int kFirstPluginCommand = 22000;
constexpr UINT kScnFocusIn = 2028;

Host::Impl* g_impl = nullptr;

// Scintilla's own direct function, wrapped so that plugin searches made through
// it get the same regular-expression engine as window messages do.
npp::SciFnDirect g_sciDirect = nullptr;
WNDPROC g_viewProc[2] = {nullptr, nullptr};

// The editor hands every regular-expression search to an ECMAScript engine:
// switch Scintilla's basic engine for its C++11 one and drop the POSIX flag.
std::uintptr_t ecmaFlags(std::uintptr_t flags) {
    if ((flags & npp::SCFIND_REGEXP) != 0) {
        flags |= npp::SCFIND_CXX11REGEX;
        flags &= ~static_cast<std::uintptr_t>(npp::SCFIND_POSIX);
    }
    return flags;
}

bool adjustSearch(UINT msg, std::uintptr_t& wParam) {
    switch (msg) {
        case npp::SCI_SETSEARCHFLAGS:
        case sci::FindText:
        case sci::FindTextFull:
        case sci::SearchNext:
        case sci::SearchPrev:
            wParam = ecmaFlags(wParam);
            return true;
        default:
            return false;
    }
}

std::intptr_t __cdecl directFunction(std::intptr_t ptr, unsigned int msg, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    adjustSearch(msg, wParam);
    return g_sciDirect(ptr, msg, wParam, lParam);
}

LRESULT viewProc(int index, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == npp::SCI_GETDIRECTFUNCTION) {
        if (g_sciDirect == nullptr) {
            g_sciDirect = reinterpret_cast<npp::SciFnDirect>(
                CallWindowProcW(g_viewProc[index], hwnd, msg, wParam, lParam));
        }
        return reinterpret_cast<LRESULT>(&directFunction);
    }
    std::uintptr_t w = wParam;
    adjustSearch(msg, w);
    return CallWindowProcW(g_viewProc[index], hwnd, msg, w, lParam);
}

LRESULT CALLBACK mainViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return viewProc(0, hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK secondViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return viewProc(1, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (g_impl != nullptr && (g_impl->main == hwnd || g_impl->main == nullptr)) {
            return g_impl->mainProc(hwnd, msg, wParam, lParam);
        }
    } catch (...) {
        // Nothing may cross back into the system; the message is dropped.
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::wstring keyName(UCHAR key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    switch (key) {
        case VK_SPACE: return L"Space";
        case VK_RETURN: return L"Enter";
        case VK_DELETE: return L"Del";
        case VK_INSERT: return L"Ins";
        case VK_HOME: return L"Home";
        case VK_END: return L"End";
        case VK_PRIOR: return L"Page Up";
        case VK_NEXT: return L"Page Down";
        case VK_UP: return L"Up";
        case VK_DOWN: return L"Down";
        case VK_LEFT: return L"Left";
        case VK_RIGHT: return L"Right";
        case VK_TAB: return L"Tab";
        case VK_ESCAPE: return L"Esc";
        default: {
            wchar_t buffer[16];
            std::swprintf(buffer, 16, L"VK_%02X", key);
            return buffer;
        }
    }
}

std::wstring acceleratorLabel(const npp::ShortcutKey& key) {
    std::wstring label;
    if (key.isCtrl) label += L"Ctrl+";
    if (key.isAlt) label += L"Alt+";
    if (key.isShift) label += L"Shift+";
    return label + keyName(key.key);
}

std::wstring menuText(HMENU menu, UINT position) {
    wchar_t buffer[256] = {};
    GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
    return buffer;
}

std::wstring stripAmpersands(const std::wstring& s) {
    std::wstring out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'&') {
            if (i + 1 < s.size() && s[i + 1] == L'&') out += L'&', ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

// Menu item text without its accelerator part.
std::wstring itemLabel(const std::wstring& text) {
    auto tab = text.find(L'\t');
    return tab == std::wstring::npos ? text : text.substr(0, tab);
}

bool labelMatches(const std::wstring& label, const std::wstring& wanted) {
    return label == wanted || stripAmpersands(label) == stripAmpersands(wanted);
}

}  // namespace

Host::Impl* currentImpl() { return g_impl; }

std::wstring exeFolder() {
    std::wstring buffer(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return folderOf(buffer);
}

std::wstring folderOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring fileNameOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring formatWin32Error(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = L"error " + std::to_wstring(code);
    if (n != 0 && text != nullptr) {
        std::wstring message(text, n);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
            message.pop_back();
        out += L" (" + message + L")";
    }
    if (text != nullptr) LocalFree(text);
    return out;
}

namespace {
struct FileHandle {
    HANDLE h;
    explicit FileHandle(HANDLE handle) : h(handle) {}
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
};
}  // namespace

bool readFileBytes(const std::wstring& path, std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.h, &size) || size.QuadPart > 512 * 1024 * 1024) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1 << 20));
        if (!ReadFile(file.h, bytes.data() + offset, chunk, &done, nullptr) || done == 0) return false;
        offset += done;
    }
    return true;
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.h == INVALID_HANDLE_VALUE) return false;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD done = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1 << 20));
        if (!WriteFile(file.h, bytes.data() + offset, chunk, &done, nullptr) || done == 0) return false;
        offset += done;
    }
    return true;
}

bool isUnicodeEncoding(Encoding e) { return e != Encoding::Ansi; }

const wchar_t* encodingName(Encoding e) {
    switch (e) {
        case Encoding::Ansi: return L"ansi";
        case Encoding::Utf8: return L"utf8";
        case Encoding::Utf8Bom: return L"utf8bom";
        case Encoding::Ucs2Be: return L"ucs2be";
        case Encoding::Ucs2Le: return L"ucs2le";
    }
    return L"?";
}

namespace {
int detectEol(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') return (i + 1 < text.size() && text[i + 1] == '\n') ? 0 : 1;
        if (text[i] == '\n') return 2;
    }
    return 0;
}

std::wstring utf16FromBytes(const std::string& bytes, std::size_t from, bool bigEndian) {
    std::wstring out;
    out.reserve((bytes.size() - from) / 2);
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<wchar_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return out;
}
}  // namespace

DecodedFile decodeFile(const std::string& bytes) {
    DecodedFile out;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        out.text = bytes.substr(3);
        out.encoding = Encoding::Utf8Bom;
    } else if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
        bool big = bytes[0] == '\xFE';
        out.text = text::toUtf8(utf16FromBytes(bytes, 2, big));
        out.encoding = big ? Encoding::Ucs2Be : Encoding::Ucs2Le;
    } else if (text::toUtf8(text::fromUtf8(bytes)) == bytes) {
        out.text = bytes;
        out.encoding = Encoding::Utf8;
    } else {
        out.text = bytes;
        out.encoding = Encoding::Ansi;
        out.codePage = 0;
    }
    out.eolMode = detectEol(out.text);
    return out;
}

std::string encodeDocument(const std::string& sciBytes, Encoding encoding) {
    switch (encoding) {
        case Encoding::Ansi:
        case Encoding::Utf8: return sciBytes;
        case Encoding::Utf8Bom: return "\xEF\xBB\xBF" + sciBytes;
        case Encoding::Ucs2Be:
        case Encoding::Ucs2Le: {
            bool big = encoding == Encoding::Ucs2Be;
            std::wstring wide = text::fromUtf8(sciBytes);
            std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
            for (wchar_t c : wide) {
                auto hi = static_cast<char>((c >> 8) & 0xFF);
                auto lo = static_cast<char>(c & 0xFF);
                out += big ? hi : lo;
                out += big ? lo : hi;
            }
            return out;
        }
    }
    return sciBytes;
}

// ---------------------------------------------------------------------------
// Creation

bool Host::Impl::createWindows(std::wstring* error) {
    instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    scintilla = LoadLibraryW((exeFolder() + L"\\Scintilla.dll").c_str());
    if (scintilla == nullptr) {
        if (error) *error = L"cannot load Scintilla.dll beside the program: " + formatWin32Error(GetLastError());
        return false;
    }

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        if (error) *error = L"cannot register the main window class: " + formatWin32Error(GetLastError());
        return false;
    }

    menuBar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_FILE_OPEN, L"&Open...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_FILE_EXIT, L"E&xit");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    pluginsMenu = CreatePopupMenu();
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(pluginsMenu), L"&Plugins");

    main = CreateWindowExW(0, kMainClass, L"Quorrel host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1260, 980,
                           nullptr, menuBar, instance, nullptr);
    if (main == nullptr) {
        if (error) *error = L"cannot create the main window: " + formatWin32Error(GetLastError());
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        views[i] = CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", i == 0 ? L"main view" : L"second view",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, 0, 0, 100, 100,
                                   main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
        if (views[i] == nullptr) {
            if (error) *error = L"cannot create a Scintilla view: " + formatWin32Error(GetLastError());
            return false;
        }
        g_viewProc[i] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            views[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(i == 0 ? mainViewProc : secondViewProc)));
        // Pasted text keeps its own line ends: the encoding conversion relies on it.
        send(i, sci::SetPasteConvertEndings, 0);
        send(i, npp::SCI_SETCODEPAGE, 65001);
        send(i, npp::SCI_SETEOLMODE, 0);
    }
    if (!createDocks(error)) return false;
    layout();
    if (options.show) {
        ShowWindow(main, SW_SHOW);
        UpdateWindow(main);
    }
    return true;
}

void Host::Impl::layout() {
    if (main == nullptr) return;
    RECT rc;
    GetClientRect(main, &rc);
    int left = dockExtent(0), right = dockExtent(1), top = dockExtent(2), bottom = dockExtent(3);
    int width = rc.right, height = rc.bottom;
    int centreW = std::max(0, width - left - right);
    int centreH = std::max(0, height - top - bottom);
    if (docks[0]) MoveWindow(docks[0], 0, 0, left, height, TRUE);
    if (docks[1]) MoveWindow(docks[1], width - right, 0, right, height, TRUE);
    if (docks[2]) MoveWindow(docks[2], left, 0, centreW, top, TRUE);
    if (docks[3]) MoveWindow(docks[3], left, height - bottom, centreW, bottom, TRUE);
    int half = centreW / 2;
    MoveWindow(views[0], left, top, half, centreH, TRUE);
    MoveWindow(views[1], left + half, top, centreW - half, centreH, TRUE);
    for (int c = 0; c < 4; ++c) layoutDock(c);
}

// ---------------------------------------------------------------------------
// Plugins

Plugin* Host::Impl::findPlugin(const std::wstring& folder) {
    for (auto& p : plugins)
        if (p->folder == folder) return p.get();
    return nullptr;
}

void Host::Impl::loadPlugins() {
    std::vector<std::wstring> folders = options.plugins;
    if (folders.empty()) {
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW((pluginRoot + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..")
                    folders.push_back(name);
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        std::sort(folders.begin(), folders.end());
    }
    for (const auto& folder : folders) {
        std::wstring dll = pluginRoot + L"\\" + folder + L"\\" + folder + L".dll";
        if (GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // e.g. Config
        loadPlugin(folder);
    }
    DrawMenuBar(main);
    rebuildAccelerators();
}

bool Host::Impl::loadPlugin(const std::wstring& folder) {
    auto plugin = std::make_unique<Plugin>();
    plugin->folder = folder;
    plugin->fileName = folder + L".dll";
    plugin->path = pluginRoot + L"\\" + folder + L"\\" + plugin->fileName;
    auto refuse = [&](const std::wstring& why) {
        plugin.reset();  // FreeLibrary
        trace.push_back(folder + L":refused:" + why);
        refused.push_back(folder);
        return false;
    };
    trace.push_back(folder + L":LoadLibrary");
    plugin->module = LoadLibraryW(plugin->path.c_str());
    if (plugin->module == nullptr) return refuse(L"LoadLibrary " + formatWin32Error(GetLastError()));
    auto proc = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(plugin->module, name)); };
    auto isUnicode = reinterpret_cast<IsUnicodeFn>(proc("isUnicode"));
    if (isUnicode == nullptr) return refuse(L"no isUnicode");
    trace.push_back(folder + L":isUnicode");
    if (!isUnicode()) return refuse(L"isUnicode FALSE");
    auto getName = reinterpret_cast<GetNameFn>(proc("getName"));
    auto setInfo = reinterpret_cast<SetInfoFn>(proc("setInfo"));
    auto getFuncsArray = reinterpret_cast<GetFuncsArrayFn>(proc("getFuncsArray"));
    if (getName == nullptr || setInfo == nullptr || getFuncsArray == nullptr) return refuse(L"missing export");
    trace.push_back(folder + L":getName");
    const wchar_t* name = getName();
    plugin->menuName = name != nullptr ? name : folder;
    plugin->beNotified = reinterpret_cast<BeNotifiedFn>(proc("beNotified"));
    plugin->messageProc = reinterpret_cast<MessageProcFn>(proc("messageProc"));
    if (plugin->beNotified == nullptr || plugin->messageProc == nullptr)
        return refuse(L"no beNotified or messageProc");
    // Registered before setInfo: a plugin may send messages from there.
    Plugin* raw = plugin.get();
    plugins.push_back(std::move(plugin));
    trace.push_back(folder + L":setInfo");
    setInfo(npp::NppData{main, views[0], views[1]});
    trace.push_back(folder + L":getFuncsArray");
    int count = 0;
    raw->items = getFuncsArray(&count);
    if (raw->items == nullptr || count <= 0) {
        plugins.pop_back();
        return refuse(L"empty command table");
    }
    raw->count = count;
    raw->submenu = CreatePopupMenu();
    for (int k = 0; k < count; ++k) {
        npp::FuncItem& item = raw->items[k];
        item.cmdID = nextCommandId++;
        if (item.pFunc == nullptr) {
            AppendMenuW(raw->submenu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text(item.itemName, wcsnlen(item.itemName, npp::kMenuItemSize));
        if (item.pShKey != nullptr && item.pShKey->key != 0) text += L"\t" + acceleratorLabel(*item.pShKey);
        AppendMenuW(raw->submenu, MF_STRING | (item.init2Check ? MF_CHECKED : 0u), static_cast<UINT>(item.cmdID),
                    text.c_str());
    }
    AppendMenuW(pluginsMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(raw->submenu), raw->menuName.c_str());
    trace.push_back(folder + L":menu");
    return true;
}

void Host::Impl::rebuildAccelerators() {
    accelerators.reset();
    std::vector<ACCEL> table;
    for (auto& p : plugins) {
        for (int k = 0; k < p->count; ++k) {
            const npp::FuncItem& item = p->items[k];
            if (item.pFunc == nullptr || item.pShKey == nullptr || item.pShKey->key == 0) continue;
            ACCEL a{};
            a.fVirt = FVIRTKEY | (item.pShKey->isCtrl ? FCONTROL : 0) | (item.pShKey->isAlt ? FALT : 0) |
                      (item.pShKey->isShift ? FSHIFT : 0);
            a.key = item.pShKey->key;
            a.cmd = static_cast<WORD>(item.cmdID);
            table.push_back(a);
        }
    }
    if (!table.empty()) accelerators.reset(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

void Host::Impl::notifyPlugin(Plugin& p, UINT code, UINT_PTR idFrom) {
    npp::SCNotification scn{};
    scn.nmhdr.hwndFrom = main;
    scn.nmhdr.idFrom = idFrom;
    scn.nmhdr.code = code;
    notifications.push_back(Notification{p.folder, main, idFrom, code});
    p.beNotified(&scn);
}

void Host::Impl::notifyAll(UINT code, UINT_PTR idFrom) {
    for (std::size_t i = 0; i < plugins.size(); ++i) notifyPlugin(*plugins[i], code, idFrom);
}

void Host::Impl::unload(Plugin& p, bool destroyItsWindows) {
    if (destroyItsWindows) {
        for (auto it = panels.begin(); it != panels.end();) {
            if ((*it)->plugin == p.folder) {
                destroyPanel(**it);
                it = panels.erase(it);
            } else {
                ++it;
            }
        }
        for (HWND dlg : std::vector<HWND>(modeless)) {
            if (IsWindow(dlg) && reinterpret_cast<HMODULE>(GetWindowLongPtrW(dlg, GWLP_HINSTANCE)) == p.module)
                DestroyWindow(dlg);
        }
        // A hook the plugin left on the main window would point into freed
        // code: put the host's own procedure back and say so.
        if (main != nullptr) {
            auto proc = reinterpret_cast<void*>(GetWindowLongPtrW(main, GWLP_WNDPROC));
            MEMORY_BASIC_INFORMATION info{};
            if (VirtualQuery(proc, &info, sizeof(info)) != 0 && info.AllocationBase == p.module) {
                trace.push_back(p.folder + L":hook-left-installed");
                SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainWindowProc));
            }
        }
        if (p.submenu != nullptr) {
            int n = GetMenuItemCount(pluginsMenu);
            for (int i = 0; i < n; ++i) {
                if (GetSubMenu(pluginsMenu, i) == p.submenu) {
                    DeleteMenu(pluginsMenu, static_cast<UINT>(i), MF_BYPOSITION);
                    break;
                }
            }
            p.submenu = nullptr;
            DrawMenuBar(main);
        }
    }
    trace.push_back(p.folder + L":FreeLibrary");
    FreeLibrary(p.module);
    p.module = nullptr;
}

namespace {
BOOL CALLBACK hideIfOwnedBy(HWND hwnd, LPARAM owner) {
    if (GetWindow(hwnd, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}
}  // namespace

void hideOwnedWindows(HWND owner) {
    EnumThreadWindows(GetCurrentThreadId(), hideIfOwnedBy, reinterpret_cast<LPARAM>(owner));
}

void Host::Impl::shutdown() {
    if (shutDown) return;
    shutDown = true;
    if (dialogTimer != 0) KillTimer(nullptr, dialogTimer);
    dialogTimer = 0;
    notifyAll(npp::NPPN_BEFORESHUTDOWN);
    notifyAll(npp::NPPN_SHUTDOWN);
    for (auto& doc : documents) {
        if (doc->docPointer != 0 && views[0] != nullptr) send(0, sci::ReleaseDocument, 0, doc->docPointer);
        doc->docPointer = 0;
    }
    for (auto& panel : panels) {
        if (panel->data.hIconTab != nullptr) DestroyIcon(panel->data.hIconTab);
        panel->data.hIconTab = nullptr;
    }
    if (main != nullptr && IsWindow(main)) {
        // Hidden before destroyed: Wine's X11 driver otherwise may later
        // unmap the destroyed X window and die of the X error (seen once a
        // process made a second host).
        hideOwnedWindows(main);
        ShowWindow(main, SW_HIDE);
        DestroyWindow(main);
    }
    for (auto& panel : panels) {
        if (panel->frame != nullptr && IsWindow(panel->frame)) DestroyWindow(panel->frame);
    }
    main = nullptr;
    views[0] = views[1] = nullptr;
    for (auto& p : plugins) unload(*p, false);
    plugins.clear();
    panels.clear();
    modeless.clear();
    accelerators.reset();
    // Scintilla stays loaded: unloading it while windows of its class may be
    // alive in another host instance of the same test process would be unsafe.
}

// ---------------------------------------------------------------------------
// Documents

std::intptr_t Host::Impl::send(int viewIndex, UINT msg, WPARAM w, LPARAM l) const {
    return SendMessageW(views[viewIndex], msg, w, l);
}

bool Host::Impl::open(const std::wstring& path, std::wstring* error) {
    wchar_t full[MAX_PATH * 4] = {};
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    std::wstring fullPath = (n > 0 && n < MAX_PATH * 4) ? std::wstring(full) : path;
    for (auto& doc : documents) {
        if (lstrcmpiW(doc->path.c_str(), fullPath.c_str()) == 0) {
            show(*doc);
            return true;
        }
    }
    std::string bytes;
    if (!readFileBytes(fullPath, bytes)) {
        if (error) *error = L"cannot read " + fullPath + L": " + formatWin32Error(GetLastError());
        return false;
    }
    DecodedFile decoded = decodeFile(bytes);
    auto doc = std::make_unique<Document>();
    doc->path = fullPath;
    doc->encoding = decoded.encoding;
    doc->eolMode = decoded.eolMode;
    doc->bufferId = nextBufferId++;
    doc->docPointer = send(currentView, sci::CreateDocument, 0, 0);
    if (doc->docPointer == 0) {
        if (error) *error = L"Scintilla could not create a document";
        return false;
    }
    // Fill it while shown in the view, then keep the host's reference.
    int view = currentView;
    send(view, sci::SetDocPointer, 0, doc->docPointer);
    send(view, npp::SCI_SETCODEPAGE, static_cast<WPARAM>(decoded.codePage));
    send(view, npp::SCI_SETEOLMODE, static_cast<WPARAM>(decoded.eolMode));
    send(view, sci::SetUndoCollection, 0);
    send(view, npp::SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(decoded.text.c_str()));
    send(view, sci::SetUndoCollection, 1);
    send(view, npp::SCI_EMPTYUNDOBUFFER);
    send(view, npp::SCI_SETSAVEPOINT);
    send(view, npp::SCI_GOTOPOS, 0);
    Document* raw = doc.get();
    documents.push_back(std::move(doc));
    shownDocument[view] = raw;
    SetWindowTextW(main, (fileNameOf(fullPath) + L" - Quorrel host").c_str());
    notifyAll(npp::NPPN_BUFFERACTIVATED, raw->bufferId);
    return true;
}

void Host::Impl::show(Document& doc) {
    if (shownDocument[currentView] == &doc) {
        notifyAll(npp::NPPN_BUFFERACTIVATED, doc.bufferId);
        return;
    }
    send(currentView, sci::SetDocPointer, 0, doc.docPointer);
    shownDocument[currentView] = &doc;
    SetWindowTextW(main, (fileNameOf(doc.path) + L" - Quorrel host").c_str());
    notifyAll(npp::NPPN_BUFFERACTIVATED, doc.bufferId);
}

void Host::Impl::convertEncoding(UINT command) {
    Document* doc = current();
    if (doc == nullptr) return;
    Encoding target = Encoding::Ansi;
    switch (command) {
        case npp::IDM_FORMAT_CONV2_ANSI: target = Encoding::Ansi; break;
        case npp::IDM_FORMAT_CONV2_AS_UTF_8: target = Encoding::Utf8; break;
        case npp::IDM_FORMAT_CONV2_UTF_8: target = Encoding::Utf8Bom; break;
        case npp::IDM_FORMAT_CONV2_UCS_2BE: target = Encoding::Ucs2Be; break;
        default: target = Encoding::Ucs2Le; break;
    }
    if (isUnicodeEncoding(target) != isUnicodeEncoding(doc->encoding)) {
        // As the editor does it: the text travels through the system
        // clipboard, and a text the user had there is put back afterwards. So
        // a clipboard viewer sees two changes when the clipboard held text
        // and one when it did not.
        int v = currentView;
        bool hadText = false;
        std::wstring saved = readClipboardText(main, hadText);
        bool hasText = send(v, npp::SCI_GETLENGTH) > 0;
        if (hasText) {
            send(v, npp::SCI_SELECTALL);
            send(v, npp::SCI_COPY);
        } else {
            writeClipboardText(main, L"");  // the same traffic for an empty document
        }
        send(v, npp::SCI_SETCODEPAGE, isUnicodeEncoding(target) ? 65001 : 0);
        if (hasText) {
            send(v, npp::SCI_SELECTALL);
            send(v, npp::SCI_PASTE);
        }
        send(v, npp::SCI_GOTOPOS, 0);
        if (hadText) writeClipboardText(main, saved);
    }
    doc->encoding = target;
}

// ---------------------------------------------------------------------------
// The main window and the messages plugins send

LRESULT Host::Impl::hostMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case npp::NPPM_GETCURRENTSCINTILLA:
            if (lParam != 0) *reinterpret_cast<int*>(lParam) = currentView;
            return TRUE;
        case npp::NPPM_MODELESSDIALOG: {
            HWND dlg = reinterpret_cast<HWND>(lParam);
            if (wParam == npp::MODELESSDIALOGADD) {
                if (std::find(modeless.begin(), modeless.end(), dlg) == modeless.end()) modeless.push_back(dlg);
            } else if (wParam == npp::MODELESSDIALOGREMOVE) {
                modeless.erase(std::remove(modeless.begin(), modeless.end(), dlg), modeless.end());
            }
            return lParam;
        }
        case npp::NPPM_DMMSHOW: showPanel(reinterpret_cast<HWND>(lParam), true); return TRUE;
        case npp::NPPM_DMMHIDE: showPanel(reinterpret_cast<HWND>(lParam), false); return TRUE;
        case npp::NPPM_DMMUPDATEDISPINFO: updatePanelInfo(reinterpret_cast<HWND>(lParam)); return TRUE;
        case npp::NPPM_DMMREGASDCKDLG:
            if (lParam != 0) registerPanel(*reinterpret_cast<const npp::tTbData*>(lParam));
            return TRUE;
        case npp::NPPM_SETMENUITEMCHECK:
            checks.push_back(MenuCheck{static_cast<int>(wParam), lParam != 0});
            CheckMenuItem(menuBar, static_cast<UINT>(wParam), MF_BYCOMMAND | (lParam != 0 ? MF_CHECKED : MF_UNCHECKED));
            return TRUE;
        case npp::NPPM_GETPLUGINSCONFIGDIR: {
            if (lParam == 0) return static_cast<LRESULT>(configFolder.size());
            if (wParam <= configFolder.size()) return FALSE;
            std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), configFolder.c_str(), configFolder.size() + 1);
            return TRUE;
        }
        case npp::NPPM_GETPLUGINHOMEPATH: {
            if (lParam == 0) return static_cast<LRESULT>(pluginRoot.size());
            if (wParam <= pluginRoot.size()) return FALSE;
            std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), pluginRoot.c_str(), pluginRoot.size() + 1);
            return TRUE;
        }
        case npp::NPPM_MSGTOPLUGIN: {
            PluginMessage record;
            const wchar_t* target = reinterpret_cast<const wchar_t*>(wParam);
            auto* info = reinterpret_cast<npp::CommunicationInfo*>(lParam);
            if (target != nullptr) record.target = target;
            if (info != nullptr) {
                record.internalMsg = info->internalMsg;
                if (info->srcModuleName != nullptr) record.source = info->srcModuleName;
                if (info->internalMsg == 5 && info->info != nullptr) {
                    // Text translation request: {int; const wchar_t* key; ...}
                    struct TextRequest {
                        int reserved;
                        const wchar_t* key;
                    };
                    const auto* request = static_cast<const TextRequest*>(info->info);
                    if (request->key != nullptr) record.key = request->key;
                }
            }
            Plugin* destination = nullptr;
            if (target != nullptr) {
                for (auto& p : plugins)
                    if (p->module != nullptr && p->fileName == record.target) destination = p.get();
            }
            record.delivered = destination != nullptr && info != nullptr;
            messages.push_back(record);
            if (!record.delivered) return FALSE;
            destination->messageProc(npp::NPPM_MSGTOPLUGIN, wParam, lParam);
            return TRUE;
        }
        case npp::NPPM_GETCURRENTDIRECTORY:
        case npp::NPPM_GETFILENAME: {
            Document* doc = current();
            std::wstring value;
            if (doc != nullptr) value = msg == npp::NPPM_GETFILENAME ? fileNameOf(doc->path) : folderOf(doc->path);
            if (lParam == 0 || wParam <= value.size()) return FALSE;  // no room for it and its NUL
            std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), value.c_str(), value.size() + 1);
            return TRUE;
        }
        case npp::NPPM_GETCURRENTLINE: {
            auto pos = send(currentView, npp::SCI_GETCURRENTPOS);
            return send(currentView, npp::SCI_LINEFROMPOSITION, static_cast<WPARAM>(pos));
        }
        default: handled = false; return 0;
    }
}

LRESULT Host::Impl::mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = hostMessage(msg, wParam, lParam, handled);
    if (handled) return result;
    switch (msg) {
        case WM_SIZE: layout(); return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            // After NPPN_SHUTDOWN plugins hear nothing more, not even the
            // focus changes of views being destroyed.
            if (header != nullptr && !shutDown && (header->hwndFrom == views[0] || header->hwndFrom == views[1])) {
                if (header->code == kScnFocusIn) currentView = header->hwndFrom == views[0] ? 0 : 1;
                for (std::size_t i = 0; i < plugins.size(); ++i) {
                    if (notifications.size() < 200000)
                        notifications.push_back(
                            Notification{plugins[i]->folder, header->hwndFrom, header->idFrom, header->code});
                    plugins[i]->beNotified(reinterpret_cast<npp::SCNotification*>(lParam));
                }
            }
            return 0;
        }
        case WM_COMMAND: {
            UINT id = LOWORD(wParam);
            if (lParam == 0 && id >= kFirstPluginCommand) {
                for (auto& p : plugins) {
                    for (int k = 0; k < p->count; ++k) {
                        if (p->items[k].cmdID == static_cast<int>(id) && p->items[k].pFunc != nullptr) {
                            p->items[k].pFunc();
                            return 0;
                        }
                    }
                }
            }
            if (id >= npp::IDM_FORMAT_CONV2_ANSI && id <= npp::IDM_FORMAT_CONV2_UCS_2LE) {
                convertEncoding(id);
                return 0;
            }
            if (id == IDM_FILE_EXIT) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
                return 0;
            }
            if (id == IDM_FILE_OPEN) {
                wchar_t file[MAX_PATH * 4] = {};
                OPENFILENAMEW ofn{};
                ofn.lStructSize = sizeof(ofn);
                ofn.hwndOwner = hwnd;
                ofn.lpstrFile = file;
                ofn.nMaxFile = MAX_PATH * 4;
                ofn.lpstrFilter = L"All files\0*.*\0XML files\0*.xml\0";
                ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
                if (GetOpenFileNameW(&ofn)) open(file, nullptr);
                return 0;
            }
            break;
        }
        case WM_SETFOCUS: SetFocus(views[currentView]); return 0;
        case WM_CLOSE:
            shutdown();
            return 0;
        case WM_DESTROY:
            // Only the interactive loop waits for this; a WM_QUIT left in the
            // queue would end the next modal loop of this thread at once.
            if (running) PostQuitMessage(0);
            return 0;
        default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Message loop

void Host::Impl::dispatch(MSG& msg) {
    if (accelerators && main != nullptr && TranslateAcceleratorW(main, accelerators.get(), &msg)) return;
    for (HWND dlg : modeless) {
        if (IsWindow(dlg) && (msg.hwnd == dlg || IsChild(dlg, msg.hwnd)) && IsDialogMessageW(dlg, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Host::Impl::pump(int ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitRequested = true;
                continue;
            }
            dispatch(msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (static_cast<int>(elapsed) >= ms) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms) - elapsed, QS_ALLINPUT);
    } while (true);
}

// ---------------------------------------------------------------------------
// Menus

HMENU Host::Impl::pluginSubmenu(const std::wstring& menu) const {
    int n = GetMenuItemCount(pluginsMenu);
    for (int i = 0; i < n; ++i) {
        if (labelMatches(menuText(pluginsMenu, static_cast<UINT>(i)), menu))
            return GetSubMenu(pluginsMenu, i);
    }
    return nullptr;
}

int Host::Impl::findCommand(const std::wstring& menu, const std::wstring& item) const {
    HMENU sub = pluginSubmenu(menu);
    if (sub == nullptr) return -1;
    int n = GetMenuItemCount(sub);
    for (int i = 0; i < n; ++i) {
        if (labelMatches(itemLabel(menuText(sub, static_cast<UINT>(i))), item))
            return static_cast<int>(GetMenuItemID(sub, i));
    }
    return -1;
}

// ---------------------------------------------------------------------------
// The public face

std::unique_ptr<Host> Host::create(const Options& options, std::wstring* error) {
    try {
        if (g_impl != nullptr) {
            if (error) *error = L"a host already exists in this process";
            return nullptr;
        }
        auto impl = std::make_unique<Impl>();
        // As the editor does: plugins rely on OLE (drag and drop, shell
        // dialogs) being initialised on the user-interface thread.
        impl->oleInitialised = SUCCEEDED(OleInitialize(nullptr));
        impl->options = options;
        std::wstring exe = exeFolder();
        impl->pluginRoot = options.pluginRoot.empty() ? exe + L"\\plugins" : options.pluginRoot;
        impl->configFolder = options.configFolder.empty() ? exe + L"\\plugins\\Config" : options.configFolder;
        while (impl->configFolder.size() > 3 &&
               (impl->configFolder.back() == L'\\' || impl->configFolder.back() == L'/'))
            impl->configFolder.pop_back();
        SHCreateDirectoryExW(nullptr, impl->configFolder.c_str(), nullptr);
        g_impl = impl.get();
        std::unique_ptr<Host> host(new Host(std::move(impl)));
        host->impl_->owner = host.get();
        if (!host->impl_->createWindows(error)) {
            host->impl_->shutdown();
            return nullptr;
        }
        host->impl_->loadPlugins();
        for (const auto& file : options.files) {
            std::wstring failure;
            if (!host->impl_->open(file, &failure)) host->impl_->trace.push_back(L"open failed: " + failure);
        }
        host->impl_->notifyAll(npp::NPPN_READY);
        host->impl_->startDialogWatch();
        startGraphics(host->impl_->gdiplusToken);
        if (!options.logFile.empty())
            host->impl_->logFile.reset(CreateFileW(options.logFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return host;
    } catch (const std::exception&) {
        if (error) *error = L"out of memory";
        g_impl = nullptr;
        return nullptr;
    }
}

Host::Host(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Host::~Host() {
    impl_->shutdown();
    stopGraphics(impl_->gdiplusToken);
    if (g_impl == impl_.get()) g_impl = nullptr;
    if (impl_->oleInitialised) OleUninitialize();
}

HWND Host::mainWindow() const { return impl_->main; }
HWND Host::view(int index) const { return (index == 0 || index == 1) ? impl_->views[index] : nullptr; }
int Host::currentViewIndex() const { return impl_->currentView; }
void Host::setCurrentView(int index) {
    if (index != 0 && index != 1) return;
    impl_->currentView = index;
    SetFocus(impl_->views[index]);
}
HWND Host::currentView() const { return impl_->views[impl_->currentView]; }

std::vector<std::wstring> Host::loadedPlugins() const {
    std::vector<std::wstring> names;
    for (auto& p : impl_->plugins)
        if (p->module != nullptr) names.push_back(p->folder);
    return names;
}
std::vector<std::wstring> Host::refusedPlugins() const { return impl_->refused; }
const std::vector<std::wstring>& Host::loadTrace() const { return impl_->trace; }
HMODULE Host::pluginModule(const std::wstring& name) const {
    Plugin* p = impl_->findPlugin(name);
    return p != nullptr ? p->module : nullptr;
}

bool Host::unloadPlugin(const std::wstring& name) {
    Plugin* p = impl_->findPlugin(name);
    if (p == nullptr || p->module == nullptr) return false;
    impl_->notifyPlugin(*p, npp::NPPN_BEFORESHUTDOWN);
    impl_->notifyPlugin(*p, npp::NPPN_SHUTDOWN);
    impl_->unload(*p, true);
    auto& list = impl_->plugins;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& q) { return q.get() == p; }), list.end());
    impl_->rebuildAccelerators();
    impl_->layout();
    return true;
}

bool Host::reloadPlugin(const std::wstring& name) {
    if (impl_->findPlugin(name) != nullptr && !unloadPlugin(name)) return false;
    if (!impl_->loadPlugin(name)) return false;
    DrawMenuBar(impl_->main);
    impl_->rebuildAccelerators();
    Plugin* p = impl_->findPlugin(name);
    if (p != nullptr) impl_->notifyPlugin(*p, npp::NPPN_READY);
    return p != nullptr;
}

bool Host::openFile(const std::wstring& path, std::wstring* error) { return impl_->open(path, error); }
std::wstring Host::currentPath() const {
    Document* d = impl_->current();
    return d != nullptr ? d->path : std::wstring();
}
std::string Host::documentBytes() const {
    Document* d = impl_->current();
    int v = impl_->currentView;
    auto length = impl_->send(v, npp::SCI_GETLENGTH);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    impl_->send(v, npp::SCI_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return encodeDocument(text, d != nullptr ? d->encoding : Encoding::Utf8);
}
bool Host::saveCurrentAs(const std::wstring& path) { return writeFileBytes(path, documentBytes()); }
bool Host::activateDocument(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    for (auto& doc : impl_->documents) {
        if (lstrcmpiW(doc->path.c_str(), full) == 0 || doc->path == path) {
            impl_->show(*doc);
            return true;
        }
    }
    return false;
}
bool Host::setCaret(int line, int column) {
    int v = impl_->currentView;
    auto lines = impl_->send(v, npp::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines || column < 0) return false;
    auto start = impl_->send(v, npp::SCI_POSITIONFROMLINE, static_cast<WPARAM>(line));
    auto end = impl_->send(v, npp::SCI_GETLINEENDPOSITION, static_cast<WPARAM>(line));
    auto pos = impl_->send(v, sci::FindColumn, static_cast<WPARAM>(line), column);
    // FINDCOLUMN stops at the line end: a column past it is an error, not the end.
    if (pos < start || pos > end || impl_->send(v, sci::GetColumn, static_cast<WPARAM>(pos)) != column) return false;
    SetFocus(impl_->views[v]);
    impl_->send(v, npp::SCI_GOTOPOS, static_cast<WPARAM>(pos));
    return true;
}

int Host::commandId(const std::wstring& menu, const std::wstring& item) const {
    return impl_->findCommand(menu, item);
}
bool Host::runMenu(const std::wstring& menu, const std::wstring& item) {
    int id = impl_->findCommand(menu, item);
    if (id < 0) return false;
    SendMessageW(impl_->main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
}
bool Host::isChecked(const std::wstring& menu, const std::wstring& item) const {
    int id = impl_->findCommand(menu, item);
    return id >= 0 && isCheckedId(id);
}
bool Host::isCheckedId(int cmdID) const {
    UINT state = GetMenuState(impl_->menuBar, static_cast<UINT>(cmdID), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}
std::wstring Host::acceleratorText(const std::wstring& menu, const std::wstring& item) const {
    HMENU sub = impl_->pluginSubmenu(menu);
    if (sub == nullptr) return {};
    int n = GetMenuItemCount(sub);
    for (int i = 0; i < n; ++i) {
        std::wstring text = menuText(sub, static_cast<UINT>(i));
        if (labelMatches(itemLabel(text), item)) {
            auto tab = text.find(L'\t');
            return tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
        }
    }
    return {};
}

const std::vector<std::wstring>& Host::log() const { return impl_->log; }
void Host::pump(int ms) { impl_->pump(ms); }

int Host::run() {
    MSG msg;
    impl_->running = true;
    while (!impl_->shutDown && GetMessageW(&msg, nullptr, 0, 0) > 0) impl_->dispatch(msg);
    impl_->running = false;
    impl_->shutdown();
    return 0;
}

const std::vector<PluginMessage>& Host::pluginMessages() const { return impl_->messages; }
const std::vector<DockingRegistration>& Host::dockingRegistrations() const { return impl_->registrations; }
const std::vector<MenuCheck>& Host::menuChecks() const { return impl_->checks; }
const std::vector<Notification>& Host::notifications() const { return impl_->notifications; }
void Host::clearRecords() {
    impl_->messages.clear();
    impl_->registrations.clear();
    impl_->checks.clear();
    impl_->notifications.clear();
}

// Another process (the system's clipboard manager among them) may hold the
// clipboard open for a moment: try again for a while before giving up.
bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(10);
    }
    return false;
}

bool writeClipboardText(HWND owner, const std::wstring& text) {
    if (!openClipboard(owner)) return false;
    EmptyClipboard();
    bool ok = false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory != nullptr) {
        if (void* p = GlobalLock(memory)) {
            std::wmemcpy(static_cast<wchar_t*>(p), text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

std::wstring readClipboardText(HWND owner, bool& present) {
    std::wstring out;
    present = false;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !openClipboard(owner)) return out;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            out = std::wstring(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
            present = true;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return out;
}

bool Host::setClipboardText(const std::wstring& text) {
    // Plugins record a clipboard text only while the editor is in front;
    // other programs on the same desktop may hold the front for a moment.
    HWND main = impl_->main;
    if (main != nullptr && IsWindowVisible(main)) {
        for (int attempt = 0; attempt < 20 && GetForegroundWindow() != main; ++attempt) {
            SetForegroundWindow(main);
            impl_->pump(10);
        }
    }
    return writeClipboardText(main, text);
}

std::wstring Host::clipboardText() const {
    bool present = false;
    return readClipboardText(impl_->main, present);
}

void Host::shutdown() { impl_->shutdown(); }
bool Host::isShutDown() const { return impl_->shutDown; }

}  // namespace host
