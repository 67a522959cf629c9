// The sample skin's bundle, drawn in code, and the fuzzing seeds.
#include <cmath>
#include <functional>

#include "OrtWriter.h"

namespace ortwriter {
namespace {

using Shader = std::function<void(double x, double y, std::uint8_t* rgba)>;

// x and y run from 0 to 1 over the image, at pixel centres.
Image draw(std::uint32_t width, std::uint32_t height, const Shader& shade) {
    Image image{width, height, Bytes(static_cast<std::size_t>(width) * height * 4)};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            shade((x + 0.5) / width, (y + 0.5) / height, &image.rgba[(static_cast<std::size_t>(y) * width + x) * 4]);
    return image;
}

std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v)))); }

void set(std::uint8_t* p, double r, double g, double b, double a) {
    p[0] = clampByte(r);
    p[1] = clampByte(g);
    p[2] = clampByte(b);
    p[3] = clampByte(a);
}

constexpr double kPi = 3.14159265358979323846;

Image disc(std::uint32_t size) {
    return draw(size, size, [](double x, double y, std::uint8_t* p) {
        const double d = std::hypot(x - 0.5, y - 0.5) * 2;
        if (d > 1)
            set(p, 40, 44, 52, 255);
        else
            set(p, 255 * (1 - d) + 30 * d, 140 * (1 - d) + 90 * d, 20 + 200 * d, 255);
    });
}

Image star(std::uint32_t size) {
    return draw(size, size, [](double x, double y, std::uint8_t* p) {
        const double dx = x - 0.5, dy = y - 0.5;
        const double r = std::hypot(dx, dy) * 2;
        const double edge = 0.55 + 0.4 * std::cos(5 * std::atan2(dy, dx));
        const double alpha = r < edge ? 255 : std::fmax(0.0, 255 - (r - edge) * 1200);
        set(p, 250, 210, 60, alpha);
    });
}

Image spinner(std::uint32_t size, int step) {
    return draw(size, size, [step](double x, double y, std::uint8_t* p) {
        const double dx = x - 0.5, dy = y - 0.5;
        const double r = std::hypot(dx, dy) * 2;
        double angle = std::atan2(dy, dx) / (2 * kPi) + 0.5 + step / 4.0;
        angle -= std::floor(angle);
        const bool ring = r > 0.5 && r < 0.95;
        set(p, 90 + 160 * angle, 160, 255 - 160 * angle, ring ? 64 + 191 * angle : 0);
    });
}

Image glass(std::uint32_t width, std::uint32_t height) {
    return draw(width, height,
                [](double x, double y, std::uint8_t* p) { set(p, 200 + 55 * x, 220, 255, 200 * (1 - y)); });
}

Image mask(std::uint32_t size) {
    return draw(size, size, [](double x, double y, std::uint8_t* p) {
        set(p, 0, 0, 0, 255 * std::fmax(0.0, 1 - std::hypot(x - 0.5, y - 0.5) * 2));
    });
}

Image banner(std::uint32_t width, std::uint32_t height) {
    return draw(width, height, [](double x, double y, std::uint8_t* p) {
        const bool band = std::fmod(x * 9 + y * 2, 2.0) < 1.0;
        set(p, band ? 212 : 60, band ? 60 : 120, 90 + 120 * y, 255);
    });
}

Image stripes(std::uint32_t size) {
    return draw(size, size, [](double x, double y, std::uint8_t* p) {
        const bool on = static_cast<int>((x + y) * 6) % 2 == 0;
        set(p, on ? 240 : 20, on ? 240 : 80, on ? 240 : 20, 255);
    });
}

Image backdrop(std::uint32_t width, std::uint32_t height) {
    return draw(width, height,
                [](double x, double y, std::uint8_t* p) { set(p, 20 + 40 * x, 30 + 60 * y, 80 + 120 * (1 - y), 255); });
}

EntrySpec entry(std::string path, FrameSpec f) {
    EntrySpec e;
    e.path = std::move(path);
    e.frames.push_back(std::move(f));
    return e;
}

FrameSpec drawn(const Image& image, std::uint32_t format, bool compress) {
    return frame(format, image.width, image.height, encode(image, format), compress);
}

}  // namespace

BundleSpec sampleBundle() {
    BundleSpec bundle;
    bundle.entries.push_back(entry("icons/quorrel.png", drawn(disc(64), kDxt1, true)));
    bundle.entries.push_back(entry("icons/star.png", drawn(star(32), kDxt5, false)));
    EntrySpec spin;
    spin.path = "icons/spinner.png";
    for (int step = 0; step < 4; ++step) {
        FrameSpec f = drawn(spinner(32, step), kDxt3, true);
        f.duration = 80;
        spin.frames.push_back(std::move(f));
    }
    bundle.entries.push_back(std::move(spin));
    bundle.entries.push_back(entry("overlays/glass.png", drawn(glass(128, 32), kBgra32, true)));
    bundle.entries.push_back(entry("overlays/mask.png", drawn(mask(64), kAlpha8, false)));
    bundle.entries.push_back(entry("bundle/banner.png", drawn(banner(90, 20), kRgb24, false)));
    bundle.entries.push_back(entry("bundle/stripes.png", drawn(stripes(30), kDxt1, true)));
    bundle.entries.push_back(entry("bundle/backdrop.png", drawn(backdrop(256, 144), kDxt1, true)));
    return bundle;
}

std::vector<std::pair<std::string, Bytes>> seedBundles() {
    std::vector<std::pair<std::string, Bytes>> seeds;
    const auto add = [&seeds](std::string name, const BundleSpec& b) { seeds.emplace_back(std::move(name), build(b)); };

    add("empty.ort", BundleSpec{});

    BundleSpec formats;
    std::uint32_t seed = 1;
    for (std::uint32_t code : {1u, 2u, 4u, 8u, 16u, 32u, 128u, 64u}) {
        for (bool compress : {false, true}) {
            const std::uint32_t w = 6 + code % 5, h = 5;
            formats.entries.push_back(entry("f" + std::to_string(code) + (compress ? "z" : "r") + ".png",
                                            frame(code, w, h, patternPixels(code, w, h, seed++), compress)));
        }
    }
    add("formats.ort", formats);

    BundleSpec multi;
    EntrySpec anim;
    anim.path = "anim/walk.png";
    anim.loop = 3;
    for (int i = 0; i < 3; ++i)
        anim.frames.push_back(frame(kBgra32 | 0x10000, 4, 4, patternPixels(kBgra32, 4, 4, 40 + i), i % 2 == 1));
    multi.entries.push_back(anim);
    multi.entries.push_back(entry("a.png", frame(kAlpha8, 3, 3, patternPixels(kAlpha8, 3, 3, 7))));
    multi.entries.push_back(entry("a.png", frame(kAlpha8, 2, 2, patternPixels(kAlpha8, 2, 2, 8))));
    multi.gapBytes = 13;
    add("multi-gap-dup.ort", multi);

    BundleSpec truncated = formats;
    truncated.count = 40;
    add("count-too-large.ort", truncated);

    BundleSpec unterminated;
    unterminated.entries.push_back(
        entry(std::string(256, 'p'), frame(kRgb24, 3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0})));
    add("unterminated-path.ort", unterminated);

    BundleSpec lying;
    FrameSpec tooLong = frame(kBgra32, 8, 8, patternPixels(kBgra32, 8, 8, 9));
    tooLong.packedSize = 1u << 30;
    tooLong.unpackedSize = 1u << 30;
    lying.entries.push_back(entry("long.png", tooLong));
    FrameSpec corrupt = frame(kBgra32, 16, 16, Bytes(1024, 0x41), true);
    corrupt.stored = compressLzo(Bytes(1024, 0x41));
    (*corrupt.stored)[corrupt.stored->size() / 2] ^= 0x5A;
    lying.entries.push_back(entry("corrupt.png", corrupt));
    FrameSpec shortData = frame(kBgra32, 64, 64, patternPixels(kBgra32, 4, 4, 10));
    lying.entries.push_back(entry("short.png", shortData));
    FrameSpec far = frame(kAlpha8, 4, 4, patternPixels(kAlpha8, 4, 4, 11));
    far.offset = ~std::uint64_t{0} - 8;
    lying.entries.push_back(entry("far.png", far));
    add("lying-frames.ort", lying);

    BundleSpec badMagic = multi;
    badMagic.magic = "ORTX";
    add("bad-magic.ort", badMagic);
    BundleSpec badVersion = multi;
    badVersion.version = '3';
    add("bad-version.ort", badVersion);
    return seeds;
}

}  // namespace ortwriter
