#include "app/HostWindowHook_win.h"

#include "framework/EditorEventHub.h"
#include "npp/NppInterface.h"
#include "base/Win32Handles.h"

namespace plugin {
namespace {

void clipboardChanged(EditorEventHub& hub, HWND host) {
    if (::IsClipboardFormatAvailable(CF_UNICODETEXT) == FALSE) return;
    win::ClipboardScope clipboard(host);
    if (!clipboard.isOpen()) return;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return;
    win::GlobalLock<const wchar_t> locked(data);
    if (locked.get() == nullptr) return;
    // The block may lack its terminating zero: never read past its size.
    const std::size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < capacity && locked.get()[length] != L'\0') ++length;
    if (length == 0) return;
    TextItem item;
    item.text.assign(locked.get(), length);
    item.textMode = hub.selectionKindOnClipboard();
    hub.dispatchClipboardText(item);
}

}  // namespace

void hostMessage(EditorEventHub& hub, HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (id == npp::IDM_FORMAT_CONV2_ANSI) {
            hub.encodingConversion(false);
        } else if (id >= npp::IDM_FORMAT_CONV2_AS_UTF_8 && id <= npp::IDM_FORMAT_CONV2_UCS_2LE) {
            hub.encodingConversion(true);
        }
        break;
    }
    case WM_DRAWCLIPBOARD:
        clipboardChanged(hub, host);
        if (hub.nextViewer() != nullptr) {
            ::SendMessageW(static_cast<HWND>(hub.nextViewer()), message, wParam, lParam);
        }
        break;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == static_cast<HWND>(hub.nextViewer())) {
            hub.setNextViewer(reinterpret_cast<HWND>(lParam));
        } else if (hub.nextViewer() != nullptr) {
            ::SendMessageW(static_cast<HWND>(hub.nextViewer()), message, wParam, lParam);
        }
        break;
    default:
        break;
    }
}

bool HostWindowHook::install(HWND host, WNDPROC hook) {
    previous_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook)));
    if (previous_ == nullptr) return false;
    host_ = host;
    hook_ = hook;
    return true;
}

void HostWindowHook::remove() {
    if (host_ != nullptr && ::IsWindow(host_) &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(host_, GWLP_WNDPROC)) == hook_) {
        ::SetWindowLongPtrW(host_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    }
    host_ = nullptr;
}

}  // namespace plugin
