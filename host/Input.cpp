// Keyboard, mouse and list choices as a user makes them, and the clipboard.
#include "Input.h"
#include "WindowQueries.h"

#include <algorithm>
#include <cwchar>
#include <optional>

namespace host {

void typeKeys(Host::Impl& host, HWND window, const std::vector<KeyStroke>& keys) {
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    SetFocus(window);
    for (const KeyStroke& k : keys) {
        if (k.isChar) {
            PostMessageW(window, WM_CHAR, k.ch, 1);
            host.pump(0);
            continue;
        }
        BYTE saved[256] = {}, state[256] = {};
        GetKeyboardState(saved);
        std::copy(saved, saved + 256, state);
        if (k.ctrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        if (k.alt) state[VK_MENU] = state[VK_LMENU] = 0x80;
        if (k.shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        SetKeyboardState(state);
        UINT down = k.alt && !k.ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN;
        UINT up = k.alt && !k.ctrl ? WM_SYSKEYUP : WM_KEYUP;
        LPARAM flags = 1 | (static_cast<LPARAM>(MapVirtualKeyW(k.vk, MAPVK_VK_TO_VSC)) << 16) | (k.alt ? (1 << 29) : 0);
        PostMessageW(window, down, k.vk, flags);
        host.pump(0);
        PostMessageW(window, up, k.vk, flags | (1u << 30) | (1u << 31));
        host.pump(0);
        SetKeyboardState(saved);
    }
}

void clickAt(HWND window, bool doubleClick) {
    RECT r;
    GetClientRect(window, &r);
    POINT p{r.right / 2, r.bottom / 2};
    if (sameClass(window, L"ListBox")) {
        auto sel = SendMessageW(window, LB_GETCURSEL, 0, 0);
        RECT item{};
        if (sel >= 0 &&
            SendMessageW(window, LB_GETITEMRECT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
            p = POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    }
    LPARAM at = MAKELPARAM(p.x, p.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    if (doubleClick) {
        SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
    }
}

void chooseItem(HWND h, std::size_t index) {
    HWND parent = GetParent(h);
    WORD id = static_cast<WORD>(GetDlgCtrlID(h));
    auto w = static_cast<WPARAM>(index);
    if (sameClass(h, L"ListBox")) {
        if ((GetWindowLongPtrW(h, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0) {
            SendMessageW(h, LB_SETSEL, FALSE, -1);
            SendMessageW(h, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
            SendMessageW(h, LB_SETCARETINDEX, w, 0);
        } else {
            SendMessageW(h, LB_SETCURSEL, w, 0);
        }
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
    } else if (sameClass(h, L"ComboBox")) {
        SendMessageW(h, CB_SETCURSEL, w, 0);
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(h));
    } else if (sameClass(h, WC_TABCONTROLW)) {
        SendMessageW(h, TCM_SETCURSEL, w, 0);
        NMHDR header{h, static_cast<UINT_PTR>(id), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
    } else {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = 0;
        SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(h, LVM_SETITEMSTATE, w, reinterpret_cast<LPARAM>(&item));
    }
}

// ---------------------------------------------------------------------------
// The clipboard

namespace {

// Another process (the system's clipboard manager among them) may hold the
// clipboard open for a moment: try again for a while before giving up.
void openClipboard(HWND owner, std::optional<win::ClipboardScope>& clipboard) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        clipboard.emplace(owner);
        if (clipboard->isOpen()) return;
        clipboard.reset();
        Sleep(10);
    }
}

}  // namespace

bool writeClipboardText(HWND owner, const std::wstring& text) {
    std::optional<win::ClipboardScope> clipboard;
    openClipboard(owner, clipboard);
    if (!clipboard) return false;
    EmptyClipboard();
    win::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    if (!memory) return false;
    {
        win::GlobalLock<wchar_t> lock(memory.get());
        if (lock.get() == nullptr) return false;
        std::wmemcpy(lock.get(), text.c_str(), text.size() + 1);
    }
    if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) return false;
    memory.release();  // the clipboard owns it now
    return true;
}

std::wstring readClipboardText(HWND owner, bool& present) {
    std::wstring out;
    present = false;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return out;
    std::optional<win::ClipboardScope> clipboard;
    openClipboard(owner, clipboard);
    if (!clipboard) return out;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        win::GlobalLock<const wchar_t> lock(data);
        if (const wchar_t* p = lock.get()) {
            out = std::wstring(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
            present = true;
        }
    }
    return out;
}

bool Host::setClipboardText(const std::wstring& text) {
    // Plugins record a clipboard text only while the editor is in front;
    // other programs on the same desktop may hold the front for a moment.
    HWND main = impl_->frame.main;
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
    return readClipboardText(impl_->frame.main, present);
}

}  // namespace host
