// Finding and describing windows for the script: selectors, list contents,
// the window dump.
#include "WindowQueries.h"

#include <algorithm>
#include <sstream>

namespace host {
namespace {

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM p) {
    try {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(hwnd);
        return TRUE;
    } catch (...) {
        return FALSE;  // out of memory: stop the walk
    }
}

// The texts of a list box's or combo box's items (the two differ only in
// their message numbers).
struct ListMessages {
    UINT count, textLength, text, selection;
};

void readItems(HWND hwnd, const ListMessages& m, bool strings, ListInfo& info) {
    auto count = SendMessageW(hwnd, m.count, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (!strings) {
            info.items.push_back(L"<owner-drawn>");
            continue;
        }
        auto len = SendMessageW(hwnd, m.textLength, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(len, 0)) + 1, L'\0');
        SendMessageW(hwnd, m.text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(len, 0)));
        info.items.push_back(text);
    }
    info.selection = static_cast<int>(SendMessageW(hwnd, m.selection, 0, 0));
}

RECT rectInParent(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    HWND parent = GetParent(hwnd);
    if (parent != nullptr && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void dumpTree(HWND hwnd, int depth, std::wstring& out) {
    std::wstring indent(static_cast<std::size_t>(depth) * 2, L' ');
    out += indent + describe(hwnd) + L"\n";
    ListInfo info = listInfo(hwnd);
    if (info.isList) {
        out += indent + L"  items=" + std::to_wstring(info.items.size()) + L" selection=" +
               std::to_wstring(info.selection) + L"\n";
        for (std::size_t i = 0; i < info.items.size(); ++i)
            out += indent + L"  item[" + std::to_wstring(i) + L"] " + quote(info.items[i]) + L"\n";
    }
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        dumpTree(child, depth + 1, out);
}

// The candidates of one selector step, before its conditions are checked.
std::vector<HWND> candidates(const Host::Impl& host, const Step& s, bool first, const std::vector<HWND>& scope) {
    std::vector<HWND> out;
    if (s.mainWindow) {
        out.push_back(host.frame.main);
    } else if (s.view >= 0) {
        out.push_back(host.frame.views[s.view]);
    } else if (s.hasPanel) {
        for (auto& p : host.docking.panels)
            if (host.panelName(*p) == s.panel || (p->data.pszName != nullptr && s.panel == p->data.pszName))
                out.push_back(p->data.hClient);
    } else if (s.hasWindow) {
        for (HWND h : threadWindows())
            if (windowText(h) == s.window) out.push_back(h);
    } else if (first) {
        for (HWND top : threadWindows()) {
            out.push_back(top);
            descendants(top, out);
        }
    } else {
        for (HWND parent : scope) descendants(parent, out);
    }
    if (!first && (s.mainWindow || s.view >= 0 || s.hasPanel || s.hasWindow)) {
        // Keep only those inside the previous step's window.
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [&](HWND h) {
                                     return std::none_of(scope.begin(), scope.end(),
                                                         [&](HWND p) { return IsChild(p, h) != FALSE; });
                                 }),
                  out.end());
    }
    return out;
}

}  // namespace

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(std::max(0, n)) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(std::max(0, got)));
    return text;
}

std::wstring className(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

bool sameClass(HWND hwnd, const wchar_t* name) { return lstrcmpiW(className(hwnd).c_str(), name) == 0; }

std::vector<HWND> threadWindows() {
    std::vector<HWND> out;
    EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

void descendants(HWND root, std::vector<HWND>& out) {
    for (HWND child = GetWindow(root, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        descendants(child, out);
    }
}

ListInfo listInfo(HWND hwnd) {
    ListInfo info;
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (sameClass(hwnd, L"ListBox") || sameClass(hwnd, L"ComboLBox")) {
        info.isList = true;
        bool strings = (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0 || (style & LBS_HASSTRINGS) != 0;
        readItems(hwnd, ListMessages{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL}, strings, info);
    } else if (sameClass(hwnd, L"ComboBox")) {
        info.isList = true;
        bool strings = (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) == 0 || (style & CBS_HASSTRINGS) != 0;
        readItems(hwnd, ListMessages{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL}, strings, info);
    } else if (sameClass(hwnd, WC_LISTVIEWW)) {
        info.isList = true;
        auto count = SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t buffer[1024] = {};
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = buffer;
            item.cchTextMax = 1024;
            SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            info.items.push_back(buffer);
        }
        info.selection = static_cast<int>(SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    } else if (sameClass(hwnd, WC_TABCONTROLW)) {
        info.isList = true;
        auto count = SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t buffer[256] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = buffer;
            item.cchTextMax = 256;
            SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            info.items.push_back(buffer);
        }
        info.selection = static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
    }
    return info;
}

std::wstring describe(HWND hwnd) {
    RECT r = rectInParent(hwnd);
    std::wstringstream s;
    s << className(hwnd) << L" #" << GetDlgCtrlID(hwnd) << L" " << quote(windowText(hwnd)) << L" visible="
      << (IsWindowVisible(hwnd) ? 1 : 0) << L" enabled=" << (IsWindowEnabled(hwnd) ? 1 : 0) << L" rect=" << r.left
      << L"," << r.top << L"," << (r.right - r.left) << L"," << (r.bottom - r.top);
    return s.str();
}

HWND findWindow(const Host::Impl& host, const std::vector<Step>& steps, std::wstring& error) {
    std::vector<HWND> scope;
    for (std::size_t si = 0; si < steps.size(); ++si) {
        const Step& s = steps[si];
        std::vector<HWND> matches;
        for (HWND h : candidates(host, s, si == 0, scope)) {
            if (s.hasId && GetDlgCtrlID(h) != s.id) continue;
            if (s.hasClass && lstrcmpiW(className(h).c_str(), s.cls.c_str()) != 0) continue;
            if (s.hasText && windowText(h) != s.text) continue;
            if (s.visibleOnly && !IsWindowVisible(h)) continue;
            if (std::find(matches.begin(), matches.end(), h) == matches.end()) matches.push_back(h);
        }
        if (s.hasIndex) {
            if (s.index < 0 || s.index >= static_cast<long long>(matches.size())) {
                error = L"selector step " + quote(s.source) + L" has " + std::to_wstring(matches.size()) +
                        L" matches, no index " + std::to_wstring(s.index);
                return nullptr;
            }
            matches = {matches[static_cast<std::size_t>(s.index)]};
        }
        if (matches.empty()) {
            error = L"no window matches " + quote(s.source) + (si > 0 ? L" inside the previous step" : L"");
            return nullptr;
        }
        if (si + 1 == steps.size() && matches.size() > 1) {
            error = L"selector " + quote(selectorText(steps)) + L" matches " + std::to_wstring(matches.size()) +
                    L" windows; add conditions or index=N";
            return nullptr;
        }
        scope = matches;
    }
    return scope.front();
}

std::wstring dumpPluginWindows(Host::Impl& host) {
    static const wchar_t* const containers[] = {L"left", L"right", L"top", L"bottom", L"floating"};
    std::wstring out;
    std::vector<HWND> done;
    for (auto& panel : host.docking.panels) {
        out += L"panel " + quote(host.panelName(*panel)) + L" container=" +
               containers[std::min(std::max(panel->container, 0), 4)] + L" shown=" + (panel->shown ? L"1" : L"0") +
               L"\n";
        dumpTree(panel->data.hClient, 1, out);
        done.push_back(panel->data.hClient);
    }
    for (HWND dlg : host.docking.modeless) {
        if (!IsWindow(dlg) || std::find(done.begin(), done.end(), dlg) != done.end()) continue;
        out += L"dialog " + quote(windowText(dlg)) + L"\n";
        dumpTree(dlg, 1, out);
        done.push_back(dlg);
    }
    auto byPlugin = [&](HWND h) {
        return host.isPluginModule(reinterpret_cast<HMODULE>(GetWindowLongPtrW(h, GWLP_HINSTANCE)));
    };
    for (HWND top : threadWindows()) {
        if (!byPlugin(top) || std::find(done.begin(), done.end(), top) != done.end()) continue;
        out += L"window " + quote(windowText(top)) + L"\n";
        dumpTree(top, 1, out);
    }
    // Windows a plugin made on the main window without registering them.
    for (HWND child = GetWindow(host.frame.main, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!byPlugin(child) || std::find(done.begin(), done.end(), child) != done.end()) continue;
        out += L"child " + quote(windowText(child)) + L"\n";
        dumpTree(child, 1, out);
    }
    return out;
}

}  // namespace host
