// Where a control lands: the arithmetic of left/top/right/bottom,
// centerleft/centerright/centertop/centerbottom and width/height in every form
// a skin writes them (pixels, a percentage of the parent, the "r" suffix that
// counts from the parent's far edge, "auto" between a minimum and a maximum).
// Portable, and free of drawing, so it is tested on its own.
#pragma once

#include <optional>
#include <string_view>

namespace render {

struct Box {
    float x = 0;
    float y = 0;
    float w = 0;
    float h = 0;
};

// Positions and sizes beyond this many pixels either way are held at it: a
// value of 1e30 lays out like a very large one and never overflows.
constexpr float kFarthest = 1.0e6f;

// A number, "N%" of `parent`, or "Nr" (parent - N). Empty for anything else
// (blank text, "auto", a name that was not resolved).
std::optional<float> ResolveExtent(std::string_view value, float parent);

// One axis of a control, as written (empty when the element is absent).
struct AxisText {
    std::string_view start;    // left / top / posx / posy
    std::string_view end;      // right / bottom: the distance from the parent's far edge
    std::string_view centre;   // centerleft / centertop: where the middle is
    std::string_view centreFromEnd;  // centerright / centerbottom
    std::string_view size;     // width / height
    std::string_view sizeMin;  // the min and max attributes of an "auto" size
    std::string_view sizeMax;
};

struct Axis {
    float pos = 0;
    float size = 0;
};

// The control's start and size along one axis of a parent `parent` long.
// `natural` is the size an "auto" size takes before min and max apply (the
// text's width, for example); empty when the control has none, and then
// "auto" lays out as if no size were given.
Axis ResolveAxis(const AxisText& text, float parent, std::optional<float> natural = std::nullopt);

}  // namespace render
