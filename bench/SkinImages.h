// Images shaped like a real skin's media, drawn in code for the benchmarks:
// UI elements (rounded panels with gradients, soft transparent edges and
// label-like strokes) and opaque backgrounds (smooth colour fields with grain),
// as 32-bit pixels, bytes B, G, R, A.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace skinimages {

using Bytes = std::vector<std::uint8_t>;

struct Random {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

inline std::uint8_t clamp255(double v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// A UI element: a rounded rectangle with a vertical gradient and a lighter
// border, soft corners, transparent around it; some carry rows of glyph-like
// marks as labels do.
inline Bytes uiImage(std::uint32_t w, std::uint32_t h, std::uint32_t seed) {
    Random random{seed};
    Bytes bgra(static_cast<std::size_t>(w) * h * 4);
    const double radius = std::min(w, h) * 0.2;
    const double r0 = random.next() % 200, g0 = random.next() % 200, b0 = random.next() % 200;
    const bool label = seed % 3 == 0;
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            // Distance outside the rounded rectangle inset by 2 pixels.
            const double cx = std::max({2.0 + radius - x, x - (w - 3.0 - radius), 0.0});
            const double cy = std::max({2.0 + radius - y, y - (h - 3.0 - radius), 0.0});
            const double outside = std::sqrt(cx * cx + cy * cy) - radius;
            const double coverage = outside <= -1 ? 1.0 : outside >= 0 ? 0.0 : -outside;
            const double shade = 1.0 - 0.35 * y / h;
            double r = r0 * shade + 40, g = g0 * shade + 40, b = b0 * shade + 40;
            if (outside > -1.5 && outside < 0) r += 50, g += 50, b += 50;  // border
            if (label && y > h / 3 && y < h * 2 / 3 && x > w / 6 && x < w * 5 / 6 && (x * 7 + y * 3 + seed) % 11 < 4)
                r = g = b = 250;  // text strokes
            std::uint8_t* p = &bgra[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = clamp255(b);
            p[1] = clamp255(g);
            p[2] = clamp255(r);
            p[3] = clamp255(255 * coverage);
        }
    }
    return bgra;
}

// An opaque background: smooth colour fields with a little grain, as a
// rendered or blurred photographic backdrop is.
inline Bytes background(std::uint32_t w, std::uint32_t h, std::uint32_t seed) {
    Random random{seed};
    Bytes bgra(static_cast<std::size_t>(w) * h * 4);
    const double fx = 2.0 + seed % 5, fy = 1.0 + seed % 3;
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const double u = static_cast<double>(x) / w, v = static_cast<double>(y) / h;
            const int grain = static_cast<int>(random.next() % 4) - 1;
            std::uint8_t* p = &bgra[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = clamp255(90 + 60 * std::sin(fx * u * 3.1 + v) + grain);
            p[1] = clamp255(70 + 50 * std::cos(fy * v * 2.7 + u * 1.3) + grain);
            p[2] = clamp255(50 + 40 * std::sin((u + v) * 4.2) + grain);
            p[3] = 255;
        }
    }
    return bgra;
}

// The same pixels with bytes R, G, B, A (as image files are written).
inline Bytes toRgba(Bytes bgra) {
    for (std::size_t i = 0; i + 3 < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    return bgra;
}

}  // namespace skinimages
