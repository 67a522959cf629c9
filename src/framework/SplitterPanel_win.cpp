#include "framework/SplitterPanel.h"

#include "framework/Dpi.h"
#include "framework/Dpi_win.h"
#include "framework/framework_ids.h"
#include "framework/Layout.h"

#include <windowsx.h>

namespace {
constexpr wchar_t kClassName[] = L"SplitterPanel";

RECT toRect(const layout::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
}  // namespace

void SplitterPanel::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    stackedCursor_ = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_SPLIT_STACKED));
    sideBySideCursor_ = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_SPLIT_SIDE_BY_SIDE));
    dragListMessage_ = ui::dragListMessage();
    hwnd_ = createChild(kClassName, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                        0, 0, 10, 10);
}

int SplitterPanel::barPixels() const { return ui::scaled(thickness_, ui::windowDpi(hwnd_)); }

void SplitterPanel::setPanes(Window* first, Window* second) {
    first_ = first;
    second_ = second;
    layoutPanes();
}

void SplitterPanel::setSideBySide(bool sideBySide) {
    if (sideBySide_ == sideBySide) return;
    sideBySide_ = sideBySide;
    layoutPanes();
}

void SplitterPanel::layoutPanes() {
    if (hwnd_ == nullptr) return;
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    const layout::SplitterLayout l = layout::splitterLayout(rc.right, rc.bottom, sideBySide_, ratio_, barPixels());
    if (first_ != nullptr && first_->handle() != nullptr) first_->moveToBounds(toRect(l.first));
    if (second_ != nullptr && second_->handle() != nullptr) second_->moveToBounds(toRect(l.second));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT SplitterPanel::barRect() const {
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    return toRect(layout::splitterLayout(rc.right, rc.bottom, sideBySide_, ratio_, barPixels()).bar);
}

bool SplitterPanel::overBar(int x, int y) const {
    const RECT bar = barRect();
    const POINT p{x, y};
    return ::PtInRect(&bar, p) != FALSE;
}

void SplitterPanel::paint() {
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(hwnd_, &ps);
    const RECT bar = barRect();
    const ui::Colour colour = theme().pick(::GetSysColor(COLOR_BTNFACE), &ui::Palette::softerBackground);
    win::SelectObjectScope brush(dc, brushes_.get(colour));
    win::SelectObjectScope pen(dc, barPen_.get(colour));
    ::Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
    ::EndPaint(hwnd_, &ps);
}

LRESULT SplitterPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_NOTIFY || (dragListMessage_ != 0 && message == dragListMessage_)) {
        return ::SendMessageW(parent_, message, wParam, lParam);
    }
    switch (message) {
    case WM_SIZE:
    case WM_MOVE:
        layoutPanes();
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN:
        if (overBar(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
            dragging_ = true;
            ::SetCapture(hwnd_);
        }
        return 0;
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        if (dragging_) {
            RECT rc{};
            ::GetClientRect(hwnd_, &rc);
            const int position = sideBySide_ ? x : y;
            const int extent = sideBySide_ ? rc.right : rc.bottom;
            if (const auto ratio = layout::splitterDragRatio(position, extent, barPixels())) {
                ratio_ = *ratio;
                layoutPanes();
            }
        }
        if (dragging_ || overBar(x, y)) {
            ::SetCursor(sideBySide_ ? sideBySideCursor_ : stackedCursor_);
        } else {
            ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
        }
        return 0;
    }
    case WM_SETCURSOR:
        // The cursor is chosen on mouse movement.
        if (LOWORD(lParam) == HTCLIENT) return TRUE;
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ::ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return 0;
    case WM_ERASEBKGND:
        if (ui::eraseDark(hwnd_, reinterpret_cast<HDC>(wParam), theme(), brushes_)) return 1;
        break;
    case ui::kDpiChangedAfterParent:
        layoutPanes();
        return 0;
    case WM_DESTROY:
        barPen_.reset();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}
