// The colours the plugin's own painting follows. While the editor is dark, its
// palette; while it is light, each window keeps the colours it always had
// (which the window knows, so a light theme carries none).
#pragma once

#include <cstdint>
#include <optional>

namespace ui {

// A colour laid out as the system's COLORREF: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}

// The same colour, opaque, as 0xAARRGGBB (the layout of a Direct3D colour).
constexpr std::uint32_t opaqueArgb(Colour c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The editor's dark colours, in the order the editor hands them out.
struct Palette {
    Colour background = 0;
    Colour softerBackground = 0;
    Colour hotBackground = 0;
    Colour pureBackground = 0;
    Colour errorBackground = 0;
    Colour text = 0;
    Colour darkerText = 0;
    Colour disabledText = 0;
    Colour linkText = 0;
    Colour edge = 0;
    Colour hotEdge = 0;
    Colour disabledEdge = 0;

    bool operator==(const Palette& o) const {
        return background == o.background && softerBackground == o.softerBackground &&
               hotBackground == o.hotBackground && pureBackground == o.pureBackground &&
               errorBackground == o.errorBackground && text == o.text && darkerText == o.darkerText &&
               disabledText == o.disabledText && linkText == o.linkText && edge == o.edge && hotEdge == o.hotEdge &&
               disabledEdge == o.disabledEdge;
    }
    bool operator!=(const Palette& o) const { return !(*this == o); }
};

class Theme {
public:
    // Light: every window paints with its own colours.
    Theme() = default;
    explicit Theme(const Palette& dark) : dark_(dark) {}
    // Dark when a palette is given, light otherwise.
    explicit Theme(const std::optional<Palette>& dark) : dark_(dark) {}

    static const Theme& light() {
        static const Theme kLight;
        return kLight;
    }

    bool isDark() const { return dark_.has_value(); }
    // `light` while light, the palette's `role` while dark.
    Colour pick(Colour light, Colour Palette::*role) const { return dark_ ? (*dark_).*role : light; }

    bool operator==(const Theme& o) const { return dark_ == o.dark_; }
    bool operator!=(const Theme& o) const { return !(*this == o); }

private:
    std::optional<Palette> dark_;
};

}  // namespace ui
