#include "framework/Theme_win.h"

namespace ui {

HBRUSH BrushCache::get(Colour colour) {
    for (const auto& [made, brush] : brushes_) {
        if (made == colour) return brush.get();
    }
    win::Brush brush(::CreateSolidBrush(colour));
    if (!brush) return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    brushes_.emplace_back(colour, std::move(brush));
    return brushes_.back().second.get();
}

HPEN PenCache::get(Colour colour) {
    if (!pen_ || colour != colour_) {
        pen_.reset(::CreatePen(PS_SOLID, width_, colour));
        colour_ = colour;
    }
    return pen_.get();
}

HBRUSH darkControlColours(const Theme& theme, UINT message, HDC dc, BrushCache& brushes) {
    if (!theme.isDark() || dc == nullptr) return nullptr;
    Colour background = 0;
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        background = theme.pick(0, &Palette::background);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        background = theme.pick(0, &Palette::softerBackground);
        break;
    default:
        return nullptr;
    }
    ::SetTextColor(dc, theme.pick(0, &Palette::text));
    ::SetBkColor(dc, background);
    return brushes.get(background);
}

bool eraseDark(HWND window, HDC dc, const Theme& theme, BrushCache& brushes) {
    if (!theme.isDark() || dc == nullptr) return false;
    RECT rc{};
    ::GetClientRect(window, &rc);
    ::FillRect(dc, &rc, brushes.get(theme.pick(0, &Palette::background)));
    return true;
}

void repaintAll(HWND window) {
    if (window == nullptr) return;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace ui
