// The frame: the main window with its menu bar and two Scintilla views, the
// message loop, start-up and shut-down.
#include "HostImpl.h"

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>

namespace host {
namespace {

constexpr wchar_t kMainClass[] = L"QuorrelHostMain";
constexpr UINT IDM_FILE_OPEN = 41001;
constexpr UINT IDM_FILE_EXIT = 41002;
constexpr UINT kFirstPluginCommand = 22000;
constexpr UINT kScnFocusIn = 2028;

// The one host of the process (window procedures and timers find it here).
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

std::intptr_t __cdecl directFunction(std::intptr_t ptr, unsigned int msg, std::uintptr_t wParam, std::intptr_t lParam) {
    adjustSearch(msg, wParam);
    return g_sciDirect(ptr, msg, wParam, lParam);
}

LRESULT viewProc(int index, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == npp::SCI_GETDIRECTFUNCTION) {
        if (g_sciDirect == nullptr) {
            g_sciDirect =
                reinterpret_cast<npp::SciFnDirect>(CallWindowProcW(g_viewProc[index], hwnd, msg, wParam, lParam));
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

BOOL CALLBACK hideIfOwnedBy(HWND hwnd, LPARAM owner) {
    if (GetWindow(hwnd, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

void chooseFileToOpen(Host::Impl& impl, HWND owner) {
    wchar_t file[MAX_PATH * 4] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 4;
    ofn.lpstrFilter = L"All files\0*.*\0XML files\0*.xml\0";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (GetOpenFileNameW(&ofn)) impl.open(file, nullptr);
}

}  // namespace

Host::Impl* currentImpl() { return g_impl; }

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (g_impl != nullptr && (g_impl->frame.main == hwnd || g_impl->frame.main == nullptr)) {
            return g_impl->mainProc(hwnd, msg, wParam, lParam);
        }
    } catch (...) {
        // Nothing may cross back into the system; the message is dropped.
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void hideOwnedWindows(HWND owner) {
    EnumThreadWindows(GetCurrentThreadId(), hideIfOwnedBy, reinterpret_cast<LPARAM>(owner));
}

std::intptr_t Host::Impl::send(int viewIndex, UINT msg, WPARAM w, LPARAM l) const {
    return SendMessageW(frame.views[viewIndex], msg, w, l);
}

// ---------------------------------------------------------------------------
// Creation

bool Host::Impl::createWindows(std::wstring* error) {
    frame.instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    frame.scintilla = LoadLibraryW((exeFolder() + L"\\Scintilla.dll").c_str());
    if (frame.scintilla == nullptr) {
        if (error) *error = L"cannot load Scintilla.dll beside the program: " + formatWin32Error(GetLastError());
        return false;
    }

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = frame.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        if (error) *error = L"cannot register the main window class: " + formatWin32Error(GetLastError());
        return false;
    }

    frame.menuBar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_FILE_OPEN, L"&Open...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_FILE_EXIT, L"E&xit");
    AppendMenuW(frame.menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    frame.pluginsMenu = CreatePopupMenu();
    AppendMenuW(frame.menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(frame.pluginsMenu), L"&Plugins");

    frame.main = CreateWindowExW(0, kMainClass, L"Quorrel host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1260, 980,
                                 nullptr, frame.menuBar, frame.instance, nullptr);
    if (frame.main == nullptr) {
        if (error) *error = L"cannot create the main window: " + formatWin32Error(GetLastError());
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", i == 0 ? L"main view" : L"second view",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, 0, 0, 100, 100,
                                    frame.main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), frame.instance,
                                    nullptr);
        frame.views[i] = view;
        if (view == nullptr) {
            if (error) *error = L"cannot create a Scintilla view: " + formatWin32Error(GetLastError());
            return false;
        }
        g_viewProc[i] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(i == 0 ? mainViewProc : secondViewProc)));
        // Pasted text keeps its own line ends: the encoding conversion relies on it.
        send(i, sci::SetPasteConvertEndings, 0);
        send(i, npp::SCI_SETCODEPAGE, 65001);
        send(i, npp::SCI_SETEOLMODE, 0);
    }
    if (!createDocks(error)) return false;
    layout();
    if (options.show) {
        ShowWindow(frame.main, SW_SHOW);
        UpdateWindow(frame.main);
    }
    return true;
}

void Host::Impl::layout() {
    if (frame.main == nullptr) return;
    RECT rc;
    GetClientRect(frame.main, &rc);
    int left = dockExtent(0), right = dockExtent(1), top = dockExtent(2), bottom = dockExtent(3);
    int width = rc.right, height = rc.bottom;
    int centreW = std::max(0, width - left - right);
    int centreH = std::max(0, height - top - bottom);
    HWND* docks = docking.containers;
    if (docks[0]) MoveWindow(docks[0], 0, 0, left, height, TRUE);
    if (docks[1]) MoveWindow(docks[1], width - right, 0, right, height, TRUE);
    if (docks[2]) MoveWindow(docks[2], left, 0, centreW, top, TRUE);
    if (docks[3]) MoveWindow(docks[3], left, height - bottom, centreW, bottom, TRUE);
    int half = centreW / 2;
    MoveWindow(frame.views[0], left, top, half, centreH, TRUE);
    MoveWindow(frame.views[1], left + half, top, centreW - half, centreH, TRUE);
    for (int c = 0; c < 4; ++c) layoutDock(c);
}

// ---------------------------------------------------------------------------
// The main window

LRESULT Host::Impl::mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = hostMessage(msg, wParam, lParam, handled);
    if (handled) return result;
    switch (msg) {
    case WM_SIZE:
        layout();
        return 0;
    case WM_NOTIFY:
        forwardNotification(lParam);
        return 0;
    case WM_COMMAND:
        if (runCommand(hwnd, LOWORD(wParam), lParam == 0)) return 0;
        break;
    case WM_SETFOCUS:
        SetFocus(frame.views[frame.currentView]);
        return 0;
    case WM_CLOSE:
        shutdown();
        return 0;
    case WM_DESTROY:
        // Only the interactive loop waits for this; a WM_QUIT left in the
        // queue would end the next modal loop of this thread at once.
        if (frame.running) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Every notification of the views goes, unchanged, to every plugin.
void Host::Impl::forwardNotification(LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    HWND* views = frame.views;
    // After NPPN_SHUTDOWN plugins hear nothing more, not even the focus
    // changes of views being destroyed.
    if (header == nullptr || frame.shutDown || (header->hwndFrom != views[0] && header->hwndFrom != views[1])) return;
    if (header->code == kScnFocusIn) frame.currentView = header->hwndFrom == views[0] ? 0 : 1;
    auto& notifications = records.notifications;
    for (std::size_t i = 0; i < plugins.loaded.size(); ++i) {
        if (notifications.size() < 200000)
            notifications.push_back(
                Notification{plugins.loaded[i]->folder, header->hwndFrom, header->idFrom, header->code});
        plugins.loaded[i]->beNotified(reinterpret_cast<npp::SCNotification*>(lParam));
    }
}

// A command of the host or (from a menu or accelerator) of a plugin; false
// when it is none of them.
bool Host::Impl::runCommand(HWND hwnd, UINT id, bool fromMenu) {
    if (fromMenu && id >= kFirstPluginCommand) {
        for (auto& p : plugins.loaded) {
            for (int k = 0; k < p->count; ++k) {
                if (p->items[k].cmdID == static_cast<int>(id) && p->items[k].pFunc != nullptr) {
                    p->items[k].pFunc();
                    return true;
                }
            }
        }
    }
    if (id >= npp::IDM_FORMAT_CONV2_ANSI && id <= npp::IDM_FORMAT_CONV2_UCS_2LE) {
        convertEncoding(id);
        return true;
    }
    if (id == IDM_FILE_EXIT) {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return true;
    }
    if (id == IDM_FILE_OPEN) {
        chooseFileToOpen(*this, hwnd);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Message loop

void Host::Impl::dispatch(MSG& msg) {
    HWND main = frame.main;
    if (plugins.accelerators && main != nullptr && TranslateAcceleratorW(main, plugins.accelerators.get(), &msg))
        return;
    for (HWND dlg : docking.modeless) {
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
                script.quitRequested = true;
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
// Shut-down

void Host::Impl::shutdown() {
    if (frame.shutDown) return;
    frame.shutDown = true;
    if (script.dialogTimer != 0) KillTimer(nullptr, script.dialogTimer);
    script.dialogTimer = 0;
    notifyAll(npp::NPPN_BEFORESHUTDOWN);
    notifyAll(npp::NPPN_SHUTDOWN);
    for (auto& doc : documents.open) {
        if (doc->docPointer != 0 && frame.views[0] != nullptr) send(0, sci::ReleaseDocument, 0, doc->docPointer);
        doc->docPointer = 0;
    }
    for (auto& panel : docking.panels) {
        panel->tabIcon.reset();
        panel->data.hIconTab = nullptr;
    }
    HWND main = frame.main;
    if (main != nullptr && IsWindow(main)) {
        // Hidden before destroyed: Wine's X11 driver otherwise may later
        // unmap the destroyed X window and die of the X error (seen once a
        // process made a second host).
        hideOwnedWindows(main);
        ShowWindow(main, SW_HIDE);
        DestroyWindow(main);
    }
    for (auto& panel : docking.panels) {
        if (panel->frame != nullptr && IsWindow(panel->frame)) DestroyWindow(panel->frame);
    }
    frame.main = nullptr;
    frame.views[0] = frame.views[1] = nullptr;
    for (auto& p : plugins.loaded) unload(*p, false);
    plugins.loaded.clear();
    docking.panels.clear();
    docking.modeless.clear();
    plugins.accelerators.reset();
    // Scintilla stays loaded: unloading it while windows of its class may be
    // alive in another host instance of the same test process would be unsafe.
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
        impl->frame.oleInitialised = SUCCEEDED(OleInitialize(nullptr));
        impl->options = options;
        impl->darkMode.enabled = options.darkMode;
        std::wstring exe = exeFolder();
        std::wstring& config = impl->plugins.configFolder;
        impl->plugins.root = options.pluginRoot.empty() ? exe + L"\\plugins" : options.pluginRoot;
        config = options.configFolder.empty() ? exe + L"\\plugins\\Config" : options.configFolder;
        while (config.size() > 3 && (config.back() == L'\\' || config.back() == L'/')) config.pop_back();
        SHCreateDirectoryExW(nullptr, config.c_str(), nullptr);
        g_impl = impl.get();
        std::unique_ptr<Host> host(new Host(std::move(impl)));
        Impl& self = *host->impl_;
        self.owner = host.get();
        if (!self.createWindows(error)) {
            self.shutdown();
            return nullptr;
        }
        self.loadPlugins();
        for (const auto& file : options.files) {
            std::wstring failure;
            if (!self.open(file, &failure)) self.plugins.trace.push_back(L"open failed: " + failure);
        }
        self.notifyAll(npp::NPPN_READY);
        self.startDialogWatch();
        self.graphics.start();
        if (!options.logFile.empty())
            self.script.logFile.reset(CreateFileW(options.logFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
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
    impl_->graphics.stop();
    if (g_impl == impl_.get()) g_impl = nullptr;
    if (impl_->frame.oleInitialised) OleUninitialize();
}

HWND Host::mainWindow() const { return impl_->frame.main; }
HWND Host::view(int index) const { return (index == 0 || index == 1) ? impl_->frame.views[index] : nullptr; }
int Host::currentViewIndex() const { return impl_->frame.currentView; }
void Host::setCurrentView(int index) {
    if (index != 0 && index != 1) return;
    impl_->frame.currentView = index;
    SetFocus(impl_->frame.views[index]);
}
HWND Host::currentView() const { return impl_->frame.views[impl_->frame.currentView]; }

void Host::pump(int ms) { impl_->pump(ms); }

bool Host::pumpUntil(const std::function<bool()>& done, int limitMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (impl_->frame.shutDown || static_cast<int>(GetTickCount() - start) >= limitMs) return false;
        impl_->pump(20);
    }
    return true;
}

int Host::run() {
    MSG msg;
    impl_->frame.running = true;
    while (!impl_->frame.shutDown && GetMessageW(&msg, nullptr, 0, 0) > 0) impl_->dispatch(msg);
    impl_->frame.running = false;
    impl_->shutdown();
    return 0;
}

void Host::shutdown() { impl_->shutdown(); }
bool Host::isShutDown() const { return impl_->frame.shutDown; }

}  // namespace host
