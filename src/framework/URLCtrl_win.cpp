#include "framework/URLCtrl.h"

#include "framework/Dpi_win.h"

#include <shellapi.h>

#include <array>
#include <vector>

namespace {

constexpr wchar_t kSelfProperty[] = L"QuorrelURLCtrl";

// A 32 x 32 pointing hand, hot spot at the finger tip (5, 2), drawn from
// bit planes: AND plane 0 where the hand is, XOR plane 1 for its white inside.
HCURSOR makeHandCursor(HINSTANCE instance) {
    constexpr int kSize = 32;
    std::array<unsigned char, kSize * kSize / 8> andPlane;
    std::array<unsigned char, kSize * kSize / 8> xorPlane;
    andPlane.fill(0xFF);
    xorPlane.fill(0x00);
    auto inHand = [](int x, int y) {
        const bool finger = x >= 4 && x <= 7 && y >= 1 && y <= 12;
        const bool palm = x >= 4 && x <= 15 && y >= 10 && y <= 22;
        return finger || palm;
    };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (!inHand(x, y)) continue;
            const int index = y * (kSize / 8) + x / 8;
            const auto bit = static_cast<unsigned char>(0x80 >> (x % 8));
            andPlane[static_cast<std::size_t>(index)] &= static_cast<unsigned char>(~bit);
            const bool outline = !inHand(x - 1, y) || !inHand(x + 1, y) || !inHand(x, y - 1) || !inHand(x, y + 1);
            if (!outline) xorPlane[static_cast<std::size_t>(index)] |= bit;
        }
    }
    return ::CreateCursor(instance, 5, 2, kSize, kSize, andPlane.data(), xorPlane.data());
}

}  // namespace

void URLCtrl::create(HWND label, const wchar_t* target) {
    hwnd_ = label;
    parent_ = ::GetParent(label);
    instance_ = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(label, GWLP_HINSTANCE));
    ::SetWindowLongPtrW(label, GWL_STYLE, ::GetWindowLongPtrW(label, GWL_STYLE) | SS_NOTIFY);
    target_ = target != nullptr ? target : L"";
    colour_ = RGB(0, 0, 255);
    visited_ = RGB(128, 0, 128);
    ::SetPropW(label, kSelfProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&URLCtrl::windowProc)));
}

void URLCtrl::destroy() {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_) && previous_ != nullptr) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &URLCtrl::windowProc) {
            ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        }
        ::RemovePropW(hwnd_, kSelfProperty);
    }
    previous_ = nullptr;
    hwnd_ = nullptr;
    font_.reset();
    cursor_.reset();
}

std::wstring URLCtrl::linkTarget() const {
    if (!target_.empty()) return target_;
    if (hwnd_ == nullptr) return {};
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(hwnd_, text.data(), length + 1);
    return std::wstring(text.data());
}

void URLCtrl::paint() {
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(hwnd_, &ps);
    if (!font_) {
        LOGFONTW lf{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfUnderline = TRUE;
        // The stock font is made for the screen's DPI; the label may show at another.
        lf.lfHeight = ::MulDiv(lf.lfHeight, ui::windowDpi(hwnd_), ui::systemDpi());
        font_.reset(::CreateFontIndirectW(&lf));
    }
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    // While the editor is dark: its link colour on its background.
    const ui::Colour background = theme().pick(::GetSysColor(COLOR_BTNFACE), &ui::Palette::background);
    ::SetTextColor(dc, theme().pick(colour_, &ui::Palette::linkText));
    ::SetBkColor(dc, background);
    win::SelectObjectScope font(dc, font_.get());
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    UINT format = DT_SINGLELINE;
    if ((style & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
    if ((style & SS_TYPEMASK) == SS_RIGHT) format |= DT_RIGHT;
    if ((style & SS_CENTERIMAGE) != 0) format |= DT_VCENTER;
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(hwnd_, text.data(), length + 1);
    ::FillRect(dc, &rc, theme().isDark() ? brushes_.get(background) : ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawTextW(dc, text.data(), -1, &rc, format);
    ::EndPaint(hwnd_, &ps);
}

LRESULT URLCtrl::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case ui::kDpiChangedAfterParent:
        font_.reset();  // made again, at the new DPI, on the next paint
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    case WM_MOUSEMOVE:
        if (!cursor_) cursor_.reset(makeHandCursor(instance_));
        ::SetCursor(cursor_.get());
        return 0;
    case WM_SETCURSOR:
        if (cursor_) {
            ::SetCursor(cursor_.get());
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            colour_ = visited_;
            ::InvalidateRect(hwnd_, nullptr, FALSE);
            ::UpdateWindow(hwnd_);
            const std::wstring link = linkTarget();
            ::ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        }
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = ::CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return result;
    }
    case WM_NCDESTROY: {
        WNDPROC previous = previous_;
        HWND window = hwnd_;
        ::RemovePropW(window, kSelfProperty);
        hwnd_ = nullptr;
        previous_ = nullptr;
        return ::CallWindowProcW(previous, window, message, wParam, lParam);
    }
    default:
        break;
    }
    return ::CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK URLCtrl::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* self = static_cast<URLCtrl*>(::GetPropW(window, kSelfProperty));
        if (self == nullptr || self->previous_ == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
        return self->onMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}
