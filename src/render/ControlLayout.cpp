#include "render/ControlLayout.h"

#include "render/WindowSource.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace render {

namespace {

float held(float v) {
    if (std::isnan(v)) return 0;
    return std::clamp(v, -kFarthest, kFarthest);
}

std::optional<float> number(std::string_view s) {
    s = trimmed(s);
    if (s.empty() || s.size() > 64) return std::nullopt;
    const std::string copy(s);
    char* end = nullptr;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
    // strtod takes hex and "inf"; a skin's numbers are plain decimals.
    if (copy.find_first_of("xXiInN") != std::string::npos) return std::nullopt;
    return held(static_cast<float>(v));
}

}  // namespace

std::optional<float> ResolveExtent(std::string_view value, float parent) {
    value = trimmed(value);
    if (value.empty()) return std::nullopt;
    if (value.back() == '%') {
        const auto p = number(value.substr(0, value.size() - 1));
        if (!p) return std::nullopt;
        return held(*p * parent / 100.0f);
    }
    if (value.back() == 'r' || value.back() == 'R') {
        const auto n = number(value.substr(0, value.size() - 1));
        if (!n) return std::nullopt;
        return held(parent - *n);
    }
    return number(value);
}

Axis ResolveAxis(const AxisText& text, float parent, std::optional<float> natural) {
    const auto start = ResolveExtent(text.start, parent);
    // The far-edge forms are distances from the parent's far edge.
    std::optional<float> end;
    if (const auto e = ResolveExtent(text.end, parent)) end = held(parent - *e);
    std::optional<float> centre = ResolveExtent(text.centre, parent);
    if (!centre) {
        if (const auto c = ResolveExtent(text.centreFromEnd, parent)) centre = held(parent - *c);
    }
    std::optional<float> size;
    if (trimmed(text.size) == "auto") {
        if (natural) {
            float n = *natural;
            if (const auto lo = ResolveExtent(text.sizeMin, parent)) n = std::max(n, *lo);
            if (const auto hi = ResolveExtent(text.sizeMax, parent); hi && *hi > 0) n = std::min(n, *hi);
            size = held(n);
        }
    } else {
        size = ResolveExtent(text.size, parent);
    }

    Axis a;
    if (!size) {
        if (start && end) {
            size = *end - *start;
        } else if (start && centre) {
            size = 2 * (*centre - *start);
        } else if (end && centre) {
            size = 2 * (*end - *centre);
        } else if (start) {
            size = parent - *start;
        } else if (end) {
            size = *end;
        } else {
            size = parent;
        }
    }
    a.size = held(std::max(*size, 0.0f));
    if (start) {
        a.pos = *start;
    } else if (centre) {
        a.pos = *centre - a.size / 2;
    } else if (end) {
        a.pos = *end - a.size;
    }
    a.pos = held(a.pos);
    return a;
}

}  // namespace render
