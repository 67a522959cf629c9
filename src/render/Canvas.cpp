#include "render/Canvas.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace render {

namespace {

struct ImageRelease {
    void operator()(pixman_image_t* image) const noexcept { pixman_image_unref(image); }
};
using PixmanImage = std::unique_ptr<pixman_image_t, ImageRelease>;

// Canvas coordinates are held within this many pixels either way before they
// are rounded, far beyond any picture, so that no product overflows.
constexpr float kReach = 1.0e7f;

int rounded(float v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::lround(std::clamp(v, -kReach, kReach)));
}

pixman_color_t premultiplied(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    const auto channel = [a](std::uint32_t c) { return static_cast<std::uint16_t>((c * a / 255) * 257); };
    pixman_color_t c;
    c.alpha = static_cast<std::uint16_t>(a * 257);
    c.red = channel((argb >> 16) & 0xFF);
    c.green = channel((argb >> 8) & 0xFF);
    c.blue = channel(argb & 0xFF);
    return c;
}

PixmanImage solid(std::uint32_t argb) {
    const pixman_color_t c = premultiplied(argb);
    return PixmanImage(pixman_image_create_solid_fill(&c));
}

PixmanImage tintMask(std::uint32_t tint) {
    if (tint == 0xFFFFFFFFu) return nullptr;
    PixmanImage mask = solid(tint);
    if (mask) pixman_image_set_component_alpha(mask.get(), 1);
    return mask;
}

// A part of a picture as a pixman image of its own (sharing the pixels), so
// that the filter's edge repeats the part's edge, not its neighbours.
PixmanImage viewOf(const Picture& p, const IntRect& part) {
    auto* first = const_cast<std::uint32_t*>(p.pixels.data()) + static_cast<std::size_t>(part.y) * p.width + part.x;
    return PixmanImage(pixman_image_create_bits(PIXMAN_a8r8g8b8, part.w, part.h, first,
                                                static_cast<int>(p.width * 4)));
}

struct Span {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// Composites `part` of `p`, stretched over the whole of `to`, onto `dst`
// within `visible` (both in dst's coordinates).
void stretched(pixman_op_t op, const Picture& p, const IntRect& part, bool flipX, bool flipY, const Span& to,
               const Span& visible, pixman_image_t* mask, pixman_image_t* dst) {
    if (to.empty() || visible.empty() || part.w <= 0 || part.h <= 0) return;
    PixmanImage src = viewOf(p, part);
    if (!src) return;
    const double sx = static_cast<double>(part.w) / (to.x1 - to.x0);
    const double sy = static_cast<double>(part.h) / (to.y1 - to.y0);
    // The offset of the visible part goes into the transform, where it is a
    // fraction of the source; as a source offset it could overflow pixman's
    // 16.16 fixed point for a rectangle reaching far beyond the picture.
    const double offX = (visible.x0 - to.x0) * sx;
    const double offY = (visible.y0 - to.y0) * sy;
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(flipX ? -sx : sx);
    t.matrix[0][2] = pixman_double_to_fixed(flipX ? part.w - offX : offX);
    t.matrix[1][1] = pixman_double_to_fixed(flipY ? -sy : sy);
    t.matrix[1][2] = pixman_double_to_fixed(flipY ? part.h - offY : offY);
    pixman_image_set_transform(src.get(), &t);
    pixman_image_set_filter(src.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(src.get(), PIXMAN_REPEAT_PAD);
    pixman_image_composite32(op, src.get(), mask, dst, 0, 0, 0, 0, visible.x0,
                             visible.y0, visible.x1 - visible.x0, visible.y1 - visible.y0);
}

}  // namespace

std::shared_ptr<const Picture> MakePicture(const textures::Image32& image) {
    auto p = std::make_shared<Picture>();
    if (image.empty() || image.pixels.size() < image.stride() * image.height) return p;
    p->width = image.width;
    p->height = image.height;
    p->pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    const bool rgba = image.order == textures::ChannelOrder::Rgba;
    for (std::size_t i = 0; i < p->pixels.size(); ++i) {
        const std::uint8_t* b = &image.pixels[i * 4];
        const std::uint32_t a = b[3];
        const std::uint32_t r = rgba ? b[0] : b[2];
        const std::uint32_t g = b[1];
        const std::uint32_t bl = rgba ? b[2] : b[0];
        p->pixels[i] = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (bl * a / 255);
    }
    return p;
}

void Coverage::allocate(int w, int h) {
    width = std::max(w, 0);
    height = std::max(h, 0);
    stride = (width + 3) & ~3;
    bytes.assign(static_cast<std::size_t>(stride) * height, 0);
}

struct Canvas::Pixman {
    PixmanImage image;
};

Canvas::Canvas() : px_(std::make_unique<Pixman>()) {}
Canvas::~Canvas() = default;

bool Canvas::create(int width, int height) {
    px_->image.reset();
    if (width <= 0 || height <= 0 || !textures::withinImageLimits(width, height)) return false;
    try {
        pixels_.assign(static_cast<std::size_t>(width) * height, 0xFF000000u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    px_->image.reset(pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, pixels_.data(), width * 4));
    if (!px_->image) return false;
    width_ = width;
    height_ = height;
    return true;
}

void Canvas::fill(float x, float y, float w, float h, std::uint32_t argb) {
    if (!px_->image || (argb >> 24) == 0) return;
    Span to{rounded(x), rounded(y), rounded(x + w), rounded(y + h)};
    Span v{std::max(to.x0, 0), std::max(to.y0, 0), std::min(to.x1, width_), std::min(to.y1, height_)};
    if (v.empty()) return;
    PixmanImage colour = solid(argb);
    pixman_image_composite32(PIXMAN_OP_OVER, colour.get(), nullptr, px_->image.get(), 0, 0, 0, 0, v.x0, v.y0,
                             v.x1 - v.x0, v.y1 - v.y0);
}

void Canvas::drawImage(const Picture& picture, const ImageDraw& draw, std::uint32_t tint, const Picture* diffuse,
                       float dx, float dy, float dw, float dh) {
    if (!px_->image || picture.pixels.empty() || (tint >> 24) == 0) return;
    IntRect part = draw.source;
    part.x = std::clamp(part.x, 0, static_cast<int>(picture.width));
    part.y = std::clamp(part.y, 0, static_cast<int>(picture.height));
    part.w = std::clamp(part.w, 0, static_cast<int>(picture.width) - part.x);
    part.h = std::clamp(part.h, 0, static_cast<int>(picture.height) - part.y);
    const Span to{rounded(draw.x), rounded(draw.y), rounded(draw.x + draw.w), rounded(draw.y + draw.h)};
    const Span v{std::max(to.x0, 0), std::max(to.y0, 0), std::min(to.x1, width_), std::min(to.y1, height_)};
    if (v.empty() || part.w == 0 || part.h == 0) return;
    PixmanImage mask = tintMask(tint);
    if (!mask && (!diffuse || diffuse->pixels.empty())) {
        stretched(PIXMAN_OP_OVER, picture, part, draw.flipX, draw.flipY, to, v, nullptr, px_->image.get());
        return;
    }
    // Tinted or masked: the image into a scratch picture of the visible part,
    // each channel multiplied by the tint's, cut by the diffuse picture's
    // alpha, then over the canvas.
    const int w = v.x1 - v.x0;
    const int h = v.y1 - v.y0;
    std::vector<std::uint32_t> scratch(static_cast<std::size_t>(w) * h, 0);
    PixmanImage temp(pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, scratch.data(), w * 4));
    if (!temp) return;
    const Span local{0, 0, w, h};
    const Span toLocal{to.x0 - v.x0, to.y0 - v.y0, to.x1 - v.x0, to.y1 - v.y0};
    stretched(PIXMAN_OP_SRC, picture, part, draw.flipX, draw.flipY, toLocal, local, mask.get(), temp.get());
    if (diffuse && !diffuse->pixels.empty()) {
        const Span diffuseTo{rounded(dx) - v.x0, rounded(dy) - v.y0, rounded(dx + dw) - v.x0,
                             rounded(dy + dh) - v.y0};
        const IntRect whole{0, 0, static_cast<int>(diffuse->width), static_cast<int>(diffuse->height)};
        const Span inside{std::max(diffuseTo.x0, 0), std::max(diffuseTo.y0, 0), std::min(diffuseTo.x1, w),
                          std::min(diffuseTo.y1, h)};
        stretched(PIXMAN_OP_IN, *diffuse, whole, false, false, diffuseTo, inside, nullptr, temp.get());
        // Outside the diffuse picture nothing shows.
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (x < inside.x0 || x >= inside.x1 || y < inside.y0 || y >= inside.y1)
                    scratch[static_cast<std::size_t>(y) * w + x] = 0;
            }
        }
    }
    pixman_image_composite32(PIXMAN_OP_OVER, temp.get(), nullptr, px_->image.get(), 0, 0, 0, 0, v.x0, v.y0, w, h);
}

void Canvas::drawCoverage(const Coverage& coverage, int x, int y, std::uint32_t argb) {
    if (!px_->image || coverage.width == 0 || coverage.height == 0 || (argb >> 24) == 0) return;
    const Span v{std::max(x, 0), std::max(y, 0), std::min(x + coverage.width, width_),
                 std::min(y + coverage.height, height_)};
    if (v.empty()) return;
    PixmanImage mask(pixman_image_create_bits(PIXMAN_a8, coverage.width, coverage.height,
                                              reinterpret_cast<std::uint32_t*>(const_cast<std::uint8_t*>(
                                                  coverage.bytes.data())),
                                              coverage.stride));
    PixmanImage colour = solid(argb);
    if (!mask || !colour) return;
    pixman_image_composite32(PIXMAN_OP_OVER, colour.get(), mask.get(), px_->image.get(), 0, 0, v.x0 - x, v.y0 - y,
                             v.x0, v.y0, v.x1 - v.x0, v.y1 - v.y0);
}

textures::Image32 Canvas::image() const {
    textures::Image32 out;
    if (pixels_.empty()) return out;
    out.width = static_cast<std::uint32_t>(width_);
    out.height = static_cast<std::uint32_t>(height_);
    out.order = textures::ChannelOrder::Bgra;
    out.pixels.resize(pixels_.size() * 4);
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const std::uint32_t p = pixels_[i];
        out.pixels[i * 4] = static_cast<std::uint8_t>(p);
        out.pixels[i * 4 + 1] = static_cast<std::uint8_t>(p >> 8);
        out.pixels[i * 4 + 2] = static_cast<std::uint8_t>(p >> 16);
        out.pixels[i * 4 + 3] = 0xFF;
    }
    return out;
}

}  // namespace render
