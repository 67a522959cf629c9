// The picture the renderer draws into, over pixman: premultiplied 32-bit
// pixels (B, G, R, A in memory), opaque black at first as the media center
// clears its screen. Images are drawn scaled with a bilinear filter, flipped,
// tinted by a colour (each channel multiplied) and masked by another image's
// alpha; text arrives as an alpha coverage map. Everything is clipped to the
// picture; rectangles far outside it cost nothing. Portable.
#pragma once

#include "textures/PixelImage.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace render {

// A decoded texture, premultiplied, ready to draw (shared between drawings).
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, premultiplied, rows from the top
};
// From decoded pixels of either channel order.
std::shared_ptr<const Picture> MakePicture(const textures::Image32& image);

struct IntRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// Where one image goes: a part of the picture (srcRect, in its pixels) onto a
// rectangle of the canvas (in canvas pixels, fractions rounded).
struct ImageDraw {
    IntRect source;
    float x = 0, y = 0, w = 0, h = 0;
    bool flipX = false;
    bool flipY = false;
};

// Alpha coverage, one byte a pixel, rows padded to four bytes.
struct Coverage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> bytes;
    void allocate(int w, int h);
};

class Canvas {
public:
    Canvas();
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Opaque black, width x height; false when the size is not 1..16384 a
    // side or memory cannot be had.
    bool create(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // A rectangle of one colour (0xAARRGGBB, not premultiplied) over what is there.
    void fill(float x, float y, float w, float h, std::uint32_t argb);
    // An image over what is there, multiplied by `tint` (0xAARRGGBB); when
    // `diffuse` is given, also by that picture's alpha, stretched over
    // (dx, dy, dw, dh).
    void drawImage(const Picture& picture, const ImageDraw& draw, std::uint32_t tint, const Picture* diffuse = nullptr,
                   float dx = 0, float dy = 0, float dw = 0, float dh = 0);
    // A colour through a coverage map placed at (x, y).
    void drawCoverage(const Coverage& coverage, int x, int y, std::uint32_t argb);

    // The canvas as B, G, R, A pixels (opaque, so premultiplied is plain).
    textures::Image32 image() const;

private:
    struct Pixman;
    std::unique_ptr<Pixman> px_;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace render
