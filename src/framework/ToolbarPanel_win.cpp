#include "framework/ToolbarPanel.h"

#include "framework/Layout.h"

namespace {
constexpr wchar_t kClassName[] = L"ToolbarPanel";
constexpr COLORREF kFrameColour = 0x908782;
}  // namespace

void ToolbarPanel::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    dragListMessage_ = ui::dragListMessage();
    hwnd_ = createChild(kClassName, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                        0, 0, 10, 10);
}

void ToolbarPanel::destroy() {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void ToolbarPanel::setChild(Window* child) {
    child_ = child;
    layoutChild();
}

void ToolbarPanel::layoutChild() {
    if (child_ == nullptr || hwnd_ == nullptr || child_->handle() == nullptr) return;
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    const layout::Rect area = layout::paneChildArea(rc.right, rc.bottom);
    child_->moveTo(RECT{area.left, area.top, area.right, area.bottom});
}

void ToolbarPanel::paint() {
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(hwnd_, &ps);
    if (child_ != nullptr && child_->handle() != nullptr) {
        RECT rc{};
        ::GetClientRect(hwnd_, &rc);
        const layout::Rect area = layout::paneChildArea(rc.right, rc.bottom);
        win::SelectObjectScope pen(dc, pen_.get(theme().pick(kFrameColour, &ui::Palette::edge)));
        win::SelectObjectScope brush(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, area.left - 1, area.top - 1, area.left + area.right + 1, area.top + area.bottom + 1);
    }
    ::EndPaint(hwnd_, &ps);
}

LRESULT ToolbarPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_NOTIFY || (dragListMessage_ != 0 && message == dragListMessage_)) {
        return ::SendMessageW(parent_, message, wParam, lParam);
    }
    switch (message) {
    case WM_SIZE:
        layoutChild();
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        if (ui::eraseDark(hwnd_, reinterpret_cast<HDC>(wParam), theme(), brushes_)) return 1;
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // The pane's list or edit box, while the editor is dark.
        if (HBRUSH brush = ui::darkControlColours(theme(), message, reinterpret_cast<HDC>(wParam), brushes_)) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_DESTROY:
        pen_.reset();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}
