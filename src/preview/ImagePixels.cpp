#include "preview/ImagePixels.h"

#include "preview/ImageMath.h"

#include <cstring>
#include <limits>
#include <new>

namespace preview {

namespace {

class HeapMemory : public ImageMemory {
public:
    explicit HeapMemory(std::size_t size) : bytes_(new std::uint8_t[size]()) {}
    std::uint8_t* bits() const override { return bytes_.get(); }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
};

}  // namespace

std::unique_ptr<ImageMemory> HeapImageMemory(int, int, int, std::size_t size, const std::uint8_t*) {
    try {
        return std::make_unique<HeapMemory>(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool ImagePixels::Create(int width, int height, int bpp) {
    Destroy();
    if (width <= 0 || height <= 0 || (bpp != 8 && bpp != 24 && bpp != 32)) {
        return false;
    }
    const std::size_t stride = DibStride(width, bpp);
    // The platform addresses a bitmap's bytes with 32-bit signed sizes.
    if (stride == 0 || static_cast<std::size_t>(height) >
                           static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) / stride) {
        return false;
    }
    try {
        std::vector<std::uint8_t> palette;
        if (bpp == 8) {
            palette.resize(256 * 4);
            for (int i = 0; i < 256; ++i) {
                palette[i * 4 + 0] = static_cast<std::uint8_t>(i);
                palette[i * 4 + 1] = static_cast<std::uint8_t>(i);
                palette[i * 4 + 2] = static_cast<std::uint8_t>(i);
                palette[i * 4 + 3] = 255;
            }
        }
        std::vector<std::uint8_t*> rows(static_cast<std::size_t>(height));
        std::unique_ptr<ImageMemory> memory = factory_(width, height, bpp, stride * static_cast<std::size_t>(height),
                                                       palette.empty() ? nullptr : palette.data());
        if (!memory || !memory->bits()) {
            return false;
        }
        std::uint8_t* bits = memory->bits();
        // Bottom-up storage: the top row lies last in memory.
        for (int y = 0; y < height; ++y) {
            rows[static_cast<std::size_t>(y)] = bits + static_cast<std::size_t>(height - 1 - y) * stride;
        }
        memory_ = std::move(memory);
        rows_ = std::move(rows);
        palette_ = std::move(palette);
        width_ = width;
        height_ = height;
        bpp_ = bpp;
        stride_ = stride;
        bits_ = bits;
        return true;
    } catch (const std::bad_alloc&) {
        Destroy();
        return false;
    }
}

void ImagePixels::Destroy() {
    rows_.clear();
    rows_.shrink_to_fit();
    palette_.clear();
    palette_.shrink_to_fit();
    memory_.reset();
    width_ = height_ = bpp_ = 0;
    stride_ = 0;
    bits_ = nullptr;
}

std::uint8_t* ImagePixels::GetBits(int y) const {
    if (!bits_ || y < 0 || y >= height_) {
        return nullptr;
    }
    return rows_[static_cast<std::size_t>(y)];
}

std::uint8_t* ImagePixels::GetBits(int x, int y) const {
    std::uint8_t* row = GetBits(y);
    if (!row || x < 0 || x >= width_) {
        return nullptr;
    }
    return row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp_ / 8);
}

void ImagePixels::SwapPixels(ImagePixels& other) noexcept {
    std::swap(factory_, other.factory_);
    std::swap(memory_, other.memory_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(bpp_, other.bpp_);
    std::swap(stride_, other.stride_);
    std::swap(bits_, other.bits_);
    std::swap(rows_, other.rows_);
    std::swap(palette_, other.palette_);
}

void ImagePixels::ApplyEffect(ImageEffect& effect) {
    if (!effect.Accepts(*this)) {
        return;
    }
    effect.Begin(*this);
    switch (effect.Mode()) {
    case 0:
        effect.WholeImageStep(*this, nullptr);
        break;
    case 1: {
        const std::size_t pixelBytes = static_cast<std::size_t>(bpp_ / 8);
        for (int y = 0; y < height_; ++y) {
            std::uint8_t* row = rows_[static_cast<std::size_t>(y)];
            for (int x = 0; x < width_; ++x) {
                effect.PixelStep(*this, x, y, row + static_cast<std::size_t>(x) * pixelBytes);
            }
        }
        break;
    }
    default:
        break;
    }
}

bool ImageEffect::Accepts(const ImagePixels& image) const { return image.HasPixels() && image.ColorBits() >= 24; }

bool PremultiplyAlpha::Accepts(const ImagePixels& image) const { return image.HasPixels() && image.ColorBits() == 32; }

void PremultiplyAlpha::PixelStep(ImagePixels&, int, int, std::uint8_t* pixel) { PremultiplyPixel(pixel); }

}  // namespace preview
