#include "framework/FixedPitchEditBox.h"

#include "framework/Dpi_win.h"

#include <vector>

namespace {
// child, visible, both scroll bars, multi-line, automatic scrolling both ways, wants Return
constexpr DWORD kEditStyle = 0x503010C4;
}  // namespace

void FixedPitchEditBox::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    hwnd_ = ::CreateWindowExW(0, L"edit", L"", kEditStyle, 0, 0, 100, 100, parent, nullptr, instance, nullptr);
    if (hwnd_ == nullptr) return;
    refreshFont();
    const DWORD tabStop = 16;
    ::SendMessageW(hwnd_, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
}

void FixedPitchEditBox::refreshFont() {
    if (hwnd_ == nullptr) return;
    win::Font font(ui::createFixedPitchFont(15, ui::windowDpi(hwnd_)));
    if (!font) return;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);  // the old one only after the box let go of it
}

void FixedPitchEditBox::destroy() {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    font_.reset();
}

void FixedPitchEditBox::setText(const std::wstring& text) {
    if (hwnd_ != nullptr) ::SetWindowTextW(hwnd_, text.c_str());
}

void FixedPitchEditBox::getText(std::wstring& text) const {
    text.clear();
    if (hwnd_ == nullptr) return;
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(hwnd_, buffer.data(), length + 1);
    text.assign(buffer.data());
}

std::wstring FixedPitchEditBox::text() const {
    std::wstring out;
    getText(out);
    return out;
}

void FixedPitchEditBox::setReadOnly(bool readOnly) {
    if (hwnd_ != nullptr) ::SendMessageW(hwnd_, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void FixedPitchEditBox::enable(bool enabled) {
    if (hwnd_ != nullptr) ::EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool FixedPitchEditBox::isEnabled() const { return hwnd_ != nullptr && ::IsWindowEnabled(hwnd_) != FALSE; }
