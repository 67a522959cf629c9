// The docking manager: four containers around the views and floating frames.
// Each panel sits in a frame of its own that shows its caption, tab icon and a
// close button; closing it tells the panel with DMN_CLOSE.
#include "HostImpl.h"

#include <algorithm>

namespace host {
namespace {

constexpr wchar_t kDockClass[] = L"QuorrelHostDock";
constexpr wchar_t kFrameClass[] = L"QuorrelHostPanelFrame";
constexpr int kCaptionHeight = 22;
constexpr int kCloseId = 32001;
constexpr int kFloating = 4;

LRESULT CALLBACK dockProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

Panel* panelOfFrame(Host::Impl* impl, HWND frame) {
    if (impl == nullptr) return nullptr;
    for (auto& p : impl->docking.panels)
        if (p->frame == frame) return p.get();
    return nullptr;
}

void paintCaption(Host::Impl* impl, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    Panel* panel = panelOfFrame(impl, hwnd);
    if (panel != nullptr && panel->container != kFloating) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        RECT caption{0, 0, rc.right, kCaptionHeight};
        FillRect(dc, &caption, GetSysColorBrush(COLOR_ACTIVECAPTION));
        int x = 4;
        if ((panel->data.uMask & npp::DWS_ICONTAB) != 0 && panel->data.hIconTab != nullptr) {
            DrawIconEx(dc, x, (kCaptionHeight - 16) / 2, panel->data.hIconTab, 16, 16, 0, nullptr, DI_NORMAL);
            x += 20;
        }
        std::wstring name = impl->panelName(*panel);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        win::SelectObjectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT text{x, 0, rc.right - kCaptionHeight - 2, kCaptionHeight};
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        Host::Impl* impl = currentImpl();
        switch (msg) {
        case WM_PAINT:
            paintCaption(impl, hwnd);
            return 0;
        case WM_SIZE: {
            Panel* panel = panelOfFrame(impl, hwnd);
            if (panel == nullptr) break;
            int w = LOWORD(lParam), h = HIWORD(lParam);
            int top = panel->container == kFloating ? 0 : kCaptionHeight;
            if (panel->closeButton != nullptr)
                MoveWindow(panel->closeButton, w - kCaptionHeight + 2, 2, kCaptionHeight - 4, kCaptionHeight - 4, TRUE);
            MoveWindow(panel->data.hClient, 0, top, w, std::max(0, h - top), TRUE);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kCloseId && reinterpret_cast<HWND>(lParam) != nullptr) {
                if (Panel* panel = panelOfFrame(impl, hwnd)) impl->closePanel(*panel);
                return 0;
            }
            break;
        case WM_CLOSE:
            if (Panel* panel = panelOfFrame(impl, hwnd)) impl->closePanel(*panel);
            return 0;
        default:
            break;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, std::wstring* error) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        if (error) *error = std::wstring(L"cannot register ") + name + L": " + formatWin32Error(GetLastError());
        return false;
    }
    return true;
}

// LOWORD the notification, HIWORD the container.
UINT notifyCode(UINT code, int container) { return (code & 0xFFFFu) | (static_cast<UINT>(container) << 16); }

int containerFromMask(UINT mask) {
    if ((mask & npp::DWS_DF_FLOATING) != 0) return kFloating;
    return static_cast<int>((mask >> 28) & 3u);
}

}  // namespace

bool Host::Impl::createDocks(std::wstring* error) {
    HINSTANCE instance = frame.instance;
    if (!registerClass(instance, kDockClass, dockProc, error) ||
        !registerClass(instance, kFrameClass, frameProc, error))
        return false;
    for (int c = 0; c < 4; ++c) {
        HWND& dock = docking.containers[c];
        dock = CreateWindowExW(0, kDockClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, frame.main,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(200 + c)), instance, nullptr);
        if (dock == nullptr) {
            if (error) *error = L"cannot create a docking container: " + formatWin32Error(GetLastError());
            return false;
        }
    }
    return true;
}

std::wstring Host::Impl::panelName(const Panel& panel) const {
    std::wstring name = panel.data.pszName != nullptr ? panel.data.pszName : L"";
    if ((panel.data.uMask & npp::DWS_ADDINFO) != 0 && panel.data.pszAddInfo != nullptr && panel.data.pszAddInfo[0])
        name += std::wstring(L" - ") + panel.data.pszAddInfo;
    return name;
}

Panel* Host::Impl::findPanel(HWND client) {
    for (auto& p : docking.panels)
        if (p->data.hClient == client) return p.get();
    return nullptr;
}

int Host::Impl::dockExtent(int container) const {
    for (auto& p : docking.panels) {
        if (p->container == container && p->shown) return container < 2 ? 320 : 230;
    }
    return 0;
}

void Host::Impl::layoutDock(int container) {
    if (container < 0 || container > 3 || docking.containers[container] == nullptr) return;
    HWND dock = docking.containers[container];
    std::vector<Panel*> visible;
    for (auto& p : docking.panels)
        if (p->container == container && p->shown) visible.push_back(p.get());
    ShowWindow(dock, visible.empty() ? SW_HIDE : SW_SHOWNA);
    if (visible.empty()) return;
    RECT rc;
    GetClientRect(dock, &rc);
    int n = static_cast<int>(visible.size());
    for (int i = 0; i < n; ++i) {
        if (container < 2) {  // left and right: panels stacked
            int h = rc.bottom / n;
            MoveWindow(visible[i]->frame, 0, i * h, rc.right, i == n - 1 ? rc.bottom - i * h : h, TRUE);
        } else {  // top and bottom: side by side
            int w = rc.right / n;
            MoveWindow(visible[i]->frame, i * w, 0, i == n - 1 ? rc.right - i * w : w, rc.bottom, TRUE);
        }
    }
}

void Host::Impl::movePanel(Panel& panel, int container, bool notify) {
    HINSTANCE instance = frame.instance;
    HWND old = panel.frame;
    bool floating = container == kFloating;
    HWND holder = nullptr;
    if (floating) {
        RECT r = panel.data.rcFloat;
        if (r.right - r.left < 50 || r.bottom - r.top < 50) r = RECT{160, 120, 160 + 380, 120 + 520};
        holder = CreateWindowExW(WS_EX_TOOLWINDOW, kFrameClass, panelName(panel).c_str(),
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, frame.main, nullptr, instance, nullptr);
    } else {
        holder = CreateWindowExW(0, kFrameClass, panelName(panel).c_str(), WS_CHILD | WS_CLIPCHILDREN, 0, 0, 100, 100,
                                 docking.containers[container], nullptr, instance, nullptr);
    }
    if (holder == nullptr) return;
    panel.frame = holder;
    panel.container = container;
    panel.closeButton = nullptr;
    if (!floating) {
        panel.closeButton =
            CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 16, 16, holder,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), instance, nullptr);
    } else if ((panel.data.uMask & npp::DWS_ICONTAB) != 0 && panel.data.hIconTab != nullptr) {
        SendMessageW(holder, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(panel.data.hIconTab));
    }
    HWND client = panel.data.hClient;
    LONG_PTR style = GetWindowLongPtrW(client, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) | WS_CHILD;
    SetWindowLongPtrW(client, GWL_STYLE, style);
    SetParent(client, holder);
    RECT rc;
    GetClientRect(holder, &rc);
    SendMessageW(holder, WM_SIZE, 0, MAKELPARAM(rc.right, rc.bottom));
    if (old != nullptr && IsWindow(old)) DestroyWindow(old);
    // A registered but hidden panel's frame stays hidden: the container
    // lays out only the panels that are shown.
    ShowWindow(holder, panel.shown ? (floating ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
    layout();
    if (notify) {
        NMHDR header{frame.main, 0,
                     floating ? notifyCode(npp::DMN_FLOAT, kFloating) : notifyCode(npp::DMN_DOCK, container)};
        SendMessageW(client, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
}

void Host::Impl::registerPanel(const npp::tTbData& data) {
    if (data.hClient == nullptr || !IsWindow(data.hClient)) return;
    DockingRegistration registration;
    registration.data = data;
    if (data.pszName != nullptr) registration.name = data.pszName;
    if (data.pszAddInfo != nullptr) registration.addInfo = data.pszAddInfo;
    if (data.pszModuleName != nullptr) registration.moduleName = data.pszModuleName;
    records.registrations.push_back(registration);

    Panel* panel = findPanel(data.hClient);
    if (panel == nullptr) {
        docking.panels.push_back(std::make_unique<Panel>());
        panel = docking.panels.back().get();
    }
    if (panel->tabIcon.get() != data.hIconTab) panel->tabIcon.reset(data.hIconTab);
    panel->data = data;
    panel->data.rcFloat = RECT{};
    panel->data.iPrevCont = -1;
    auto module = reinterpret_cast<HMODULE>(GetWindowLongPtrW(data.hClient, GWLP_HINSTANCE));
    for (auto& p : plugins.loaded) {
        if (p->module.get() == module || (data.pszModuleName != nullptr && p->fileName == data.pszModuleName))
            panel->plugin = p->folder;
    }
    panel->shown = false;
    ShowWindow(data.hClient, SW_HIDE);
    movePanel(*panel, containerFromMask(data.uMask), false);
    ShowWindow(data.hClient, SW_SHOW);
}

void Host::Impl::showPanel(HWND client, bool show) {
    Panel* panel = findPanel(client);
    if (panel == nullptr) {
        if (client != nullptr && IsWindow(client)) ShowWindow(client, show ? SW_SHOW : SW_HIDE);
        return;
    }
    panel->shown = show;
    ShowWindow(client, SW_SHOW);
    if (panel->container == kFloating) {
        ShowWindow(panel->frame, show ? SW_SHOW : SW_HIDE);
    } else {
        ShowWindow(panel->frame, show ? SW_SHOWNA : SW_HIDE);
    }
    layout();
}

void Host::Impl::updatePanelInfo(HWND client) {
    Panel* panel = findPanel(client);
    if (panel == nullptr) return;
    SetWindowTextW(panel->frame, panelName(*panel).c_str());
    InvalidateRect(panel->frame, nullptr, TRUE);
}

void Host::Impl::closePanel(Panel& panel) {
    HWND client = panel.data.hClient;
    NMHDR header{frame.main, 0, notifyCode(npp::DMN_CLOSE, panel.container)};
    SendMessageW(client, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    if (findPanel(client) == &panel) showPanel(client, false);
}

void Host::Impl::destroyPanel(Panel& panel) {
    if (panel.frame != nullptr && IsWindow(panel.frame)) DestroyWindow(panel.frame);
    panel.frame = nullptr;
    panel.tabIcon.reset();
    panel.data.hIconTab = nullptr;
}

// ---------------------------------------------------------------------------

Container Host::containerOf(HWND panel) const {
    Panel* p = impl_->findPanel(panel);
    if (p == nullptr) return Container::Unknown;
    if (!p->shown) return Container::Hidden;
    return static_cast<Container>(std::min(p->container, kFloating));
}

HWND Host::containerWindow(Container c) const {
    int i = static_cast<int>(c);
    return (i >= 0 && i < 4) ? impl_->docking.containers[i] : nullptr;
}

bool Host::closePanel(HWND panel) {
    Panel* p = impl_->findPanel(panel);
    if (p == nullptr) return false;
    impl_->closePanel(*p);
    return true;
}

bool Host::dockPanel(HWND panel, Container c) {
    Panel* p = impl_->findPanel(panel);
    int i = static_cast<int>(c);
    if (p == nullptr || i < 0 || i > kFloating) return false;
    impl_->movePanel(*p, i, true);
    return true;
}

std::vector<HWND> Host::panels() const {
    std::vector<HWND> out;
    for (auto& p : impl_->docking.panels) out.push_back(p->data.hClient);
    return out;
}

std::vector<HWND> Host::modelessDialogs() const { return impl_->docking.modeless; }

}  // namespace host
