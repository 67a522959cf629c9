// Texture bundles made by the tests: a writer of the bundle format (frames
// raw or LZO1X-compressed) and an independent decoder of the frames' pixels
// to 32-bit A, R, G, B values, to check what extraction writes.
#pragma once

#include <lzo/lzo1x.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ortbundle {

enum Format : std::uint32_t {
    kDxt1 = 1, kDxt3 = 2, kDxt5 = 4, kDxt5Alt = 8, kBgra = 16, kAlpha = 32, kRgb = 128, kUnknown = 64
};

struct Frame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t format = 0;
    std::vector<std::uint8_t> pixels;  // unpacked data as the bundle stores it
    bool compress = false;
};

struct Entry {
    std::string path;
    std::vector<Frame> frames;
};

inline std::uint64_t rowPitch(std::uint32_t format, std::uint32_t w) {
    switch (format) {
    case kDxt1: return ((w + 3) / 4) * 8ull;
    case kDxt3: case kDxt5: case kDxt5Alt: return ((w + 3) / 4) * 16ull;
    case kAlpha: return w;
    case kRgb: return (3ull * w + 3) / 4 * 4;
    default: return 4ull * w;
    }
}

inline std::uint64_t rowCount(std::uint32_t format, std::uint32_t h) {
    return (format & 0x0F) != 0 ? (h + 3) / 4 : h;
}

// Deterministic bytes.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint8_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state_ >> 24);
    }

private:
    std::uint32_t state_;
};

inline Frame makeFrame(std::uint32_t width, std::uint32_t height, std::uint32_t format, std::uint32_t seed,
                       bool compress) {
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.format = format;
    frame.compress = compress;
    frame.pixels.resize(static_cast<std::size_t>(rowPitch(format, width) * rowCount(format, height)));
    Noise noise(seed);
    // Runs of repeated bytes so that compression has something to find.
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        frame.pixels[i] = (i / 64) % 3 == 0 ? static_cast<std::uint8_t>(seed + i / 64) : noise.next();
    }
    return frame;
}

inline void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void put64(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline std::string compressLzo(const std::vector<std::uint8_t>& data) {
    static bool initialised = lzo_init() == LZO_E_OK;
    (void)initialised;
    std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
    std::vector<unsigned char> out(data.size() + data.size() / 16 + 64 + 3);
    lzo_uint outLength = 0;
    lzo1x_1_compress(data.data(), data.size(), out.data(), &outLength, work.data());
    return std::string(reinterpret_cast<const char*>(out.data()), outLength);
}

// The whole bundle file.
inline std::string writeBundle(const std::vector<Entry>& entries) {
    std::string header("ORTF2", 5);
    put32(header, static_cast<std::uint32_t>(entries.size()));
    std::uint64_t headerSize = 9;
    for (const Entry& e : entries) headerSize += 264 + 40 * e.frames.size();
    std::string data;
    for (const Entry& e : entries) {
        std::string path = e.path;
        path.resize(256, '\0');
        header += path;
        put32(header, 0);
        put32(header, static_cast<std::uint32_t>(e.frames.size()));
        for (const Frame& f : e.frames) {
            const std::string stored =
                f.compress ? compressLzo(f.pixels)
                           : std::string(reinterpret_cast<const char*>(f.pixels.data()), f.pixels.size());
            put32(header, f.width);
            put32(header, f.height);
            put32(header, f.format);
            put64(header, stored.size());
            put64(header, f.pixels.size());
            put32(header, 100);
            put64(header, headerSize + data.size());
            data += stored;
        }
    }
    return header + data;
}

// 0xAARRGGBB per pixel, rows from the top.
using Argb = std::vector<std::uint32_t>;

inline std::uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline void expand565(std::uint16_t c, unsigned rgb[3]) {
    const unsigned r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

// One 4x4 colour block; `fourColours` forces the four-colour mode (DXT3/5).
inline void decodeColourBlock(const std::uint8_t* block, bool fourColours, std::uint32_t out[16]) {
    const std::uint16_t c0 = static_cast<std::uint16_t>(block[0] | (block[1] << 8));
    const std::uint16_t c1 = static_cast<std::uint16_t>(block[2] | (block[3] << 8));
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
    const std::uint32_t bits = block[4] | (block[5] << 8) | (block[6] << 16) | (static_cast<std::uint32_t>(block[7]) << 24);
    for (int i = 0; i < 16; ++i) {
        const unsigned* c = p[(bits >> (2 * i)) & 3];
        out[i] = argb(c[3], c[0], c[1], c[2]);
    }
}

// The frame's pixels as the extraction should write them: the image's size,
// every format decoded to 8-bit channels. Alpha-only frames carry only alpha;
// their colour channels are left 0 here and not compared.
inline Argb decode(const Frame& f) {
    Argb out(static_cast<std::size_t>(f.width) * f.height);
    const std::uint64_t pitch = rowPitch(f.format, f.width);
    for (std::uint32_t y = 0; y < f.height; ++y) {
        for (std::uint32_t x = 0; x < f.width; ++x) {
            std::uint32_t& px = out[static_cast<std::size_t>(y) * f.width + x];
            if (f.format == kBgra) {
                const std::uint8_t* s = &f.pixels[y * pitch + 4ull * x];
                px = argb(s[3], s[2], s[1], s[0]);
            } else if (f.format == kRgb) {
                const std::uint8_t* s = &f.pixels[y * pitch + 3ull * x];
                px = argb(255, s[0], s[1], s[2]);
            } else if (f.format == kAlpha) {
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
                    const unsigned index = static_cast<unsigned>((bits >> (3 * i)) & 7);
                    unsigned a = 0;
                    if (index == 0) a = a0;
                    else if (index == 1) a = a1;
                    else if (a0 > a1) a = ((8 - index) * a0 + (index - 1) * a1 + 3) / 7;
                    else if (index < 6) a = ((6 - index) * a0 + (index - 1) * a1 + 2) / 5;
                    else a = index == 6 ? 0 : 255;
                    c = (c & 0x00FFFFFF) | (a << 24);
                }
                px = c;
            }
        }
    }
    return out;
}

}  // namespace ortbundle
