// Pixel layouts of the bundle formats, from RGBA images. The DXT encoders are
// simple (colour endpoints at the block's darkest and brightest pixels) but
// produce valid blocks that any decoder shows as the image.
#include <algorithm>
#include <array>
#include <stdexcept>

#include "OrtWriter.h"

namespace ortwriter {
namespace {

struct Px {
    int r, g, b, a;
};

Px pixelAt(const Image& image, std::uint32_t x, std::uint32_t y) {
    // Blocks reaching past the image repeat its last row and column.
    x = std::min(x, image.width - 1);
    y = std::min(y, image.height - 1);
    const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

std::uint16_t to565(const Px& c) { return static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3)); }

Px from565(std::uint16_t v) {
    const int r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
    return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2, 255};
}

int luma(const Px& c) { return c.r * 3 + c.g * 6 + c.b; }

void put16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void colourBlock(Bytes& out, const std::array<Px, 16>& block) {
    const auto [lo, hi] =
        std::minmax_element(block.begin(), block.end(), [](const Px& a, const Px& b) { return luma(a) < luma(b); });
    std::uint16_t c0 = to565(*hi), c1 = to565(*lo);
    if (c0 < c1) std::swap(c0, c1);
    put16(out, c0);
    put16(out, c1);
    std::uint32_t indices = 0;
    if (c0 != c1) {
        const Px e0 = from565(c0), e1 = from565(c1);
        const Px palette[4] = {e0,
                               e1,
                               {(2 * e0.r + e1.r) / 3, (2 * e0.g + e1.g) / 3, (2 * e0.b + e1.b) / 3, 255},
                               {(e0.r + 2 * e1.r) / 3, (e0.g + 2 * e1.g) / 3, (e0.b + 2 * e1.b) / 3, 255}};
        for (int i = 0; i < 16; ++i) {
            int best = 0, bestDistance = 1 << 30;
            for (int k = 0; k < 4; ++k) {
                const int dr = block[i].r - palette[k].r, dg = block[i].g - palette[k].g,
                          db = block[i].b - palette[k].b;
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = k;
                }
            }
            indices |= static_cast<std::uint32_t>(best) << (2 * i);
        }
    }
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(indices >> (8 * i)));
}

void explicitAlphaBlock(Bytes& out, const std::array<Px, 16>& block) {
    for (int i = 0; i < 16; i += 2)
        out.push_back(static_cast<std::uint8_t>((block[i].a >> 4) | (block[i + 1].a >> 4) << 4));
}

void interpolatedAlphaBlock(Bytes& out, const std::array<Px, 16>& block) {
    int a0 = 0, a1 = 255;
    for (const Px& p : block) {
        a0 = std::max(a0, p.a);
        a1 = std::min(a1, p.a);
    }
    out.push_back(static_cast<std::uint8_t>(a0));
    out.push_back(static_cast<std::uint8_t>(a1));
    std::uint64_t bits = 0;
    if (a0 != a1) {
        for (int i = 0; i < 16; ++i) {
            // Steps from a0 (0) to a1 (7); codes 0 and 1 are the endpoints, 2..7 between.
            const int step = ((a0 - block[i].a) * 7 + (a0 - a1) / 2) / (a0 - a1);
            const int code = step == 0 ? 0 : step == 7 ? 1 : step + 1;
            bits |= static_cast<std::uint64_t>(code) << (3 * i);
        }
    }
    for (int i = 0; i < 6; ++i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

}  // namespace

Bytes encode(const Image& image, std::uint32_t format) {
    if (image.width == 0 || image.height == 0 ||
        image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw std::invalid_argument("image size does not match its pixels");
    Bytes out;
    out.reserve(static_cast<std::size_t>(pixelBytes(format, image.width, image.height)));
    const std::uint32_t code = format & 0xFFFF;
    if (code == kDxt1 || code == kDxt3 || code == kDxt5 || code == kDxt5Alt) {
        for (std::uint32_t by = 0; by < image.height; by += 4) {
            for (std::uint32_t bx = 0; bx < image.width; bx += 4) {
                std::array<Px, 16> block;
                for (int i = 0; i < 16; ++i) block[i] = pixelAt(image, bx + i % 4, by + i / 4);
                if (code == kDxt3)
                    explicitAlphaBlock(out, block);
                else if (code != kDxt1)
                    interpolatedAlphaBlock(out, block);
                colourBlock(out, block);
            }
        }
        return out;
    }
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const std::size_t rowStart = out.size();
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const Px p = pixelAt(image, x, y);
            switch (code) {
            case kAlpha8:
                out.push_back(static_cast<std::uint8_t>(p.a));
                break;
            case kRgb24:
                out.insert(out.end(), {static_cast<std::uint8_t>(p.r), static_cast<std::uint8_t>(p.g),
                                       static_cast<std::uint8_t>(p.b)});
                break;
            default:
                out.insert(out.end(), {static_cast<std::uint8_t>(p.b), static_cast<std::uint8_t>(p.g),
                                       static_cast<std::uint8_t>(p.r), static_cast<std::uint8_t>(p.a)});
                break;
            }
        }
        if (code == kRgb24) out.resize(rowStart + (out.size() - rowStart + 3) / 4 * 4, 0);
    }
    return out;
}

}  // namespace ortwriter
