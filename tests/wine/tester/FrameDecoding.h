// An independent decoding of bundle frames to 32-bit pixels, to check what
// extraction writes: DXT1/3/5 blocks, B G R A, alpha only and R G B rows.
#pragma once

#include "OrtWriter.h"

#include <cstdint>
#include <vector>

namespace framedecoding {

// 0xAARRGGBB per pixel, rows from the top.
using Argb = std::vector<std::uint32_t>;

inline std::uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline std::uint64_t rowPitch(std::uint32_t format, std::uint32_t width) {
    return ortwriter::pixelBytes(format, width, 1);
}

inline void expand565(std::uint16_t c, unsigned rgb[3]) {
    const unsigned r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

// One 4x4 colour block; `fourColours` forces the four-colour mode (DXT3/5).
inline void decodeColourBlock(const std::uint8_t* block, bool fourColours, std::uint32_t out[16]) {
    const auto c0 = static_cast<std::uint16_t>(block[0] | (block[1] << 8));
    const auto c1 = static_cast<std::uint16_t>(block[2] | (block[3] << 8));
    unsigned p[4][4];
    expand565(c0, p[0]);
    expand565(c1, p[1]);
    p[0][3] = p[1][3] = 255;
    if (fourColours || c0 > c1) {
        for (int k = 0; k < 3; ++k) {
            p[2][k] = (2 * p[0][k] + p[1][k] + 1) / 3;
            p[3][k] = (p[0][k] + 2 * p[1][k] + 1) / 3;
        }
        p[2][3] = p[3][3] = 255;
    } else {
        for (int k = 0; k < 3; ++k) {
            p[2][k] = (p[0][k] + p[1][k]) / 2;
            p[3][k] = 0;
        }
        p[2][3] = 255;
        p[3][3] = 0;
    }
    const std::uint32_t bits =
        block[4] | (block[5] << 8) | (block[6] << 16) | (static_cast<std::uint32_t>(block[7]) << 24);
    for (int i = 0; i < 16; ++i) {
        const unsigned* c = p[(bits >> (2 * i)) & 3];
        out[i] = argb(c[3], c[0], c[1], c[2]);
    }
}

// The frame at the image's own size. Alpha-only frames carry only alpha;
// their colour channels are left 0 here and not compared.
inline Argb decode(const ortwriter::FrameSpec& f) {
    using namespace ortwriter;
    Argb out(static_cast<std::size_t>(f.width) * f.height);
    const std::uint64_t pitch = rowPitch(f.format, f.width);
    for (std::uint32_t y = 0; y < f.height; ++y) {
        for (std::uint32_t x = 0; x < f.width; ++x) {
            std::uint32_t& px = out[static_cast<std::size_t>(y) * f.width + x];
            if (f.format == kBgra32) {
                const std::uint8_t* s = &f.pixels[y * pitch + 4ull * x];
                px = argb(s[3], s[2], s[1], s[0]);
            } else if (f.format == kRgb24) {
                const std::uint8_t* s = &f.pixels[y * pitch + 3ull * x];
                px = argb(255, s[0], s[1], s[2]);
            } else if (f.format == kAlpha8) {
                px = argb(f.pixels[y * pitch + x], 0, 0, 0);
            } else {
                const bool dxt1 = f.format == kDxt1;
                const std::uint8_t* block = &f.pixels[(y / 4) * pitch + (x / 4) * (dxt1 ? 8 : 16)];
                std::uint32_t colours[16];
                decodeColourBlock(dxt1 ? block : block + 8, !dxt1, colours);
                const int i = static_cast<int>((y % 4) * 4 + (x % 4));
                std::uint32_t c = colours[i];
                if (f.format == kDxt3) {
                    const unsigned a4 = (block[i / 2] >> (4 * (i % 2))) & 15;
                    c = (c & 0x00FFFFFF) | ((a4 * 17u) << 24);
                } else if (!dxt1) {
                    const unsigned a0 = block[0], a1 = block[1];
                    std::uint64_t bits = 0;
                    for (int k = 0; k < 6; ++k) bits |= static_cast<std::uint64_t>(block[2 + k]) << (8 * k);
                    const auto index = static_cast<unsigned>((bits >> (3 * i)) & 7);
                    unsigned a = 0;
                    if (index == 0)
                        a = a0;
                    else if (index == 1)
                        a = a1;
                    else if (a0 > a1)
                        a = ((8 - index) * a0 + (index - 1) * a1 + 3) / 7;
                    else if (index < 6)
                        a = ((6 - index) * a0 + (index - 1) * a1 + 2) / 5;
                    else
                        a = index == 6 ? 0 : 255;
                    c = (c & 0x00FFFFFF) | (a << 24);
                }
                px = c;
            }
        }
    }
    return out;
}

}  // namespace framedecoding
