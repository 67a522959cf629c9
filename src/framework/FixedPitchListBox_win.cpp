#include "framework/FixedPitchListBox.h"

#include "framework/Dpi_win.h"

#include <commctrl.h>

namespace {
constexpr DWORD kListStyle = 0x50A00101;  // child, visible, border, vscroll, no integral height, notify
}

void FixedPitchListBox::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    hwnd_ = ::CreateWindowExW(0, L"listbox", L"", kListStyle, 0, 0, 100, 100, parent, nullptr, instance, nullptr);
    if (hwnd_ == nullptr) return;
    ::MakeDragList(hwnd_);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FixedPitchListBox::windowProc)));
    refreshFont();
}

void FixedPitchListBox::refreshFont() {
    if (hwnd_ == nullptr) return;
    win::Font font(ui::createFixedPitchFont(15, ui::windowDpi(hwnd_)));
    if (!font) return;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);  // the old one only after the box let go of it
}

void FixedPitchListBox::destroy() {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    font_.reset();
}

void FixedPitchListBox::addItem(const std::wstring& text) {
    texts_.push_back(text);
    if (hwnd_ != nullptr) ::SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void FixedPitchListBox::clear() {
    texts_.clear();
    if (hwnd_ != nullptr) ::SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

int FixedPitchListBox::selectedIndex() const {
    if (hwnd_ == nullptr) return -1;
    return static_cast<int>(::SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
}

std::wstring FixedPitchListBox::selectedText() const {
    const int index = selectedIndex();
    if (index < 0 || index >= count()) return {};
    return texts_[static_cast<std::size_t>(index)];
}

void FixedPitchListBox::select(int index, bool exact) {
    if (hwnd_ == nullptr) return;
    if (!exact) {
        if (texts_.empty()) return;
        if (index >= count()) index = count() - 1;
    }
    ::SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

LRESULT CALLBACK FixedPitchListBox::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FixedPitchListBox*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->previous_ == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    try {
        if (message == WM_KEYUP && wParam == VK_DELETE) {
            ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(0, kDeleteNotification),
                           reinterpret_cast<LPARAM>(window));
            return 0;
        }
    } catch (...) {
        return 0;
    }
    return ::CallWindowProcW(self->previous_, window, message, wParam, lParam);
}
