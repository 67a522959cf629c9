// Plugin loading as the editor does it, the Plugins menu with its keyboard
// accelerators, notifications to beNotified, and unloading.
#include "HostImpl.h"

#include <algorithm>
#include <cwchar>

namespace host {
namespace {

std::wstring keyName(UCHAR key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    switch (key) {
    case VK_SPACE:
        return L"Space";
    case VK_RETURN:
        return L"Enter";
    case VK_DELETE:
        return L"Del";
    case VK_INSERT:
        return L"Ins";
    case VK_HOME:
        return L"Home";
    case VK_END:
        return L"End";
    case VK_PRIOR:
        return L"Page Up";
    case VK_NEXT:
        return L"Page Down";
    case VK_UP:
        return L"Up";
    case VK_DOWN:
        return L"Down";
    case VK_LEFT:
        return L"Left";
    case VK_RIGHT:
        return L"Right";
    case VK_TAB:
        return L"Tab";
    case VK_ESCAPE:
        return L"Esc";
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

std::vector<std::wstring> pluginFolders(const std::wstring& root) {
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found{};
    win::FindHandle find(FindFirstFileW((root + L"\\*").c_str(), &found));
    if (find) {
        do {
            std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..")
                folders.push_back(name);
        } while (FindNextFileW(find.get(), &found));
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

}  // namespace

Plugin* Host::Impl::findPlugin(const std::wstring& folder) {
    for (auto& p : plugins.loaded)
        if (p->folder == folder) return p.get();
    return nullptr;
}

bool Host::Impl::isPluginModule(HMODULE module) const {
    return std::any_of(plugins.loaded.begin(), plugins.loaded.end(),
                       [&](const auto& p) { return p->module.get() == module; });
}

void Host::Impl::loadPlugins() {
    std::vector<std::wstring> folders = options.plugins.empty() ? pluginFolders(plugins.root) : options.plugins;
    for (const auto& folder : folders) {
        std::wstring dll = plugins.root + L"\\" + folder + L"\\" + folder + L".dll";
        if (GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // e.g. Config
        loadPlugin(folder);
    }
    DrawMenuBar(frame.main);
    rebuildAccelerators();
}

bool Host::Impl::loadPlugin(const std::wstring& folder) {
    auto& trace = plugins.trace;
    auto plugin = std::make_unique<Plugin>();
    plugin->folder = folder;
    plugin->fileName = folder + L".dll";
    plugin->path = plugins.root + L"\\" + folder + L"\\" + plugin->fileName;
    auto refuse = [&](const std::wstring& why) {
        plugin.reset();  // FreeLibrary
        trace.push_back(folder + L":refused:" + why);
        plugins.refused.push_back(folder);
        return false;
    };
    trace.push_back(folder + L":LoadLibrary");
    plugin->module.reset(LoadLibraryW(plugin->path.c_str()));
    if (!plugin->module) return refuse(L"LoadLibrary " + formatWin32Error(GetLastError()));
    HMODULE module = plugin->module.get();
    auto isUnicode = win::procedureOf<IsUnicodeFn>(module, "isUnicode");
    if (isUnicode == nullptr) return refuse(L"no isUnicode");
    trace.push_back(folder + L":isUnicode");
    if (!isUnicode()) return refuse(L"isUnicode FALSE");
    auto getName = win::procedureOf<GetNameFn>(module, "getName");
    auto setInfo = win::procedureOf<SetInfoFn>(module, "setInfo");
    auto getFuncsArray = win::procedureOf<GetFuncsArrayFn>(module, "getFuncsArray");
    if (getName == nullptr || setInfo == nullptr || getFuncsArray == nullptr) return refuse(L"missing export");
    trace.push_back(folder + L":getName");
    const wchar_t* name = getName();
    plugin->menuName = name != nullptr ? name : folder;
    plugin->beNotified = win::procedureOf<BeNotifiedFn>(module, "beNotified");
    plugin->messageProc = win::procedureOf<MessageProcFn>(module, "messageProc");
    if (plugin->beNotified == nullptr || plugin->messageProc == nullptr) return refuse(L"no beNotified or messageProc");
    // Registered before setInfo: a plugin may send messages from there.
    Plugin* raw = plugin.get();
    plugins.loaded.push_back(std::move(plugin));
    trace.push_back(folder + L":setInfo");
    setInfo(npp::NppData{frame.main, frame.views[0], frame.views[1]});
    trace.push_back(folder + L":getFuncsArray");
    int count = 0;
    raw->items = getFuncsArray(&count);
    if (raw->items == nullptr || count <= 0) {
        plugin = std::move(plugins.loaded.back());
        plugins.loaded.pop_back();
        return refuse(L"empty command table");
    }
    raw->count = count;
    raw->submenu = CreatePopupMenu();
    for (int k = 0; k < count; ++k) {
        npp::FuncItem& item = raw->items[k];
        item.cmdID = plugins.nextCommandId++;
        if (item.pFunc == nullptr) {
            AppendMenuW(raw->submenu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text(item.itemName, wcsnlen(item.itemName, npp::kMenuItemSize));
        if (item.pShKey != nullptr && item.pShKey->key != 0) text += L"\t" + acceleratorLabel(*item.pShKey);
        AppendMenuW(raw->submenu, MF_STRING | (item.init2Check ? MF_CHECKED : 0u), static_cast<UINT>(item.cmdID),
                    text.c_str());
    }
    AppendMenuW(frame.pluginsMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(raw->submenu), raw->menuName.c_str());
    trace.push_back(folder + L":menu");
    return true;
}

void Host::Impl::rebuildAccelerators() {
    plugins.accelerators.reset();
    std::vector<ACCEL> table;
    for (auto& p : plugins.loaded) {
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
    if (!table.empty())
        plugins.accelerators.reset(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

void Host::Impl::notifyPlugin(Plugin& p, UINT code, UINT_PTR idFrom) {
    npp::SCNotification scn{};
    scn.nmhdr.hwndFrom = frame.main;
    scn.nmhdr.idFrom = idFrom;
    scn.nmhdr.code = code;
    records.notifications.push_back(Notification{p.folder, frame.main, idFrom, code});
    p.beNotified(&scn);
}

void Host::Impl::notifyAll(UINT code, UINT_PTR idFrom) {
    // By index: a plugin may load or unload others from its notification.
    for (std::size_t i = 0; i < plugins.loaded.size(); ++i) notifyPlugin(*plugins.loaded[i], code, idFrom);
}

void Host::Impl::unload(Plugin& p, bool destroyItsWindows) {
    HWND main = frame.main;
    if (destroyItsWindows) {
        auto& panels = docking.panels;
        for (auto it = panels.begin(); it != panels.end();) {
            if ((*it)->plugin == p.folder) {
                destroyPanel(**it);
                it = panels.erase(it);
            } else {
                ++it;
            }
        }
        for (HWND dlg : std::vector<HWND>(docking.modeless)) {
            if (IsWindow(dlg) && reinterpret_cast<HMODULE>(GetWindowLongPtrW(dlg, GWLP_HINSTANCE)) == p.module.get())
                DestroyWindow(dlg);
        }
        // A hook the plugin left on the main window would point into freed
        // code: put the host's own procedure back and say so.
        if (main != nullptr) {
            auto proc = reinterpret_cast<void*>(GetWindowLongPtrW(main, GWLP_WNDPROC));
            MEMORY_BASIC_INFORMATION info{};
            if (VirtualQuery(proc, &info, sizeof(info)) != 0 && info.AllocationBase == p.module.get()) {
                plugins.trace.push_back(p.folder + L":hook-left-installed");
                SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainWindowProc));
            }
        }
        if (p.submenu != nullptr) {
            HMENU menu = frame.pluginsMenu;
            int n = GetMenuItemCount(menu);
            for (int i = 0; i < n; ++i) {
                if (GetSubMenu(menu, i) == p.submenu) {
                    DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
                    break;
                }
            }
            p.submenu = nullptr;
            DrawMenuBar(main);
        }
    }
    plugins.trace.push_back(p.folder + L":FreeLibrary");
    p.module.reset();
}

// ---------------------------------------------------------------------------
// Menus

HMENU Host::Impl::pluginSubmenu(const std::wstring& menu) const {
    int n = GetMenuItemCount(frame.pluginsMenu);
    for (int i = 0; i < n; ++i) {
        if (labelMatches(menuText(frame.pluginsMenu, static_cast<UINT>(i)), menu))
            return GetSubMenu(frame.pluginsMenu, i);
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

std::vector<std::wstring> Host::loadedPlugins() const {
    std::vector<std::wstring> names;
    for (auto& p : impl_->plugins.loaded)
        if (p->module) names.push_back(p->folder);
    return names;
}

std::vector<std::wstring> Host::refusedPlugins() const { return impl_->plugins.refused; }

const std::vector<std::wstring>& Host::loadTrace() const { return impl_->plugins.trace; }

HMODULE Host::pluginModule(const std::wstring& name) const {
    Plugin* p = impl_->findPlugin(name);
    return p != nullptr ? p->module.get() : nullptr;
}

bool Host::unloadPlugin(const std::wstring& name) {
    Plugin* p = impl_->findPlugin(name);
    if (p == nullptr || !p->module) return false;
    impl_->notifyPlugin(*p, npp::NPPN_BEFORESHUTDOWN);
    impl_->notifyPlugin(*p, npp::NPPN_SHUTDOWN);
    impl_->unload(*p, true);
    auto& list = impl_->plugins.loaded;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& q) { return q.get() == p; }), list.end());
    impl_->rebuildAccelerators();
    impl_->layout();
    return true;
}

bool Host::reloadPlugin(const std::wstring& name) {
    if (impl_->findPlugin(name) != nullptr && !unloadPlugin(name)) return false;
    if (!impl_->loadPlugin(name)) return false;
    DrawMenuBar(impl_->frame.main);
    impl_->rebuildAccelerators();
    Plugin* p = impl_->findPlugin(name);
    if (p != nullptr) impl_->notifyPlugin(*p, npp::NPPN_READY);
    return p != nullptr;
}

int Host::commandId(const std::wstring& menu, const std::wstring& item) const { return impl_->findCommand(menu, item); }

bool Host::runMenu(const std::wstring& menu, const std::wstring& item) {
    int id = impl_->findCommand(menu, item);
    if (id < 0) return false;
    SendMessageW(impl_->frame.main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
}

bool Host::isChecked(const std::wstring& menu, const std::wstring& item) const {
    int id = impl_->findCommand(menu, item);
    return id >= 0 && isCheckedId(id);
}

bool Host::isCheckedId(int cmdID) const {
    UINT state = GetMenuState(impl_->frame.menuBar, static_cast<UINT>(cmdID), MF_BYCOMMAND);
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

}  // namespace host
