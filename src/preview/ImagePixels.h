// The pixel side of an in-memory image: size, depth, rows counted from the
// top over bottom-up storage, the grey palette of 8-bit images, and per-pixel
// effects. Where the pixel memory comes from is a seam: plain heap memory
// here, a GDI DIB section in the Windows image class built on this one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace preview {

// One image's pixel memory, released by its destructor.
class ImageMemory {
public:
    virtual ~ImageMemory() = default;
    virtual std::uint8_t* bits() const = 0;
};

// Makes zero-filled pixel memory of `size` bytes for a bottom-up image; the
// palette (256 B, G, R, x entries) is given for 8-bit images only. Null on failure.
using ImageMemoryFactory = std::unique_ptr<ImageMemory> (*)(int width, int height, int bpp, std::size_t size,
                                                            const std::uint8_t* palette);

std::unique_ptr<ImageMemory> HeapImageMemory(int width, int height, int bpp, std::size_t size,
                                             const std::uint8_t* palette);

class ImageEffect;

class ImagePixels {
public:
    explicit ImagePixels(ImageMemoryFactory factory = HeapImageMemory) : factory_(factory) {}
    virtual ~ImagePixels() = default;
    ImagePixels(const ImagePixels&) = delete;
    ImagePixels& operator=(const ImagePixels&) = delete;

    // Empties the image, then allocates width x height at 8, 24 or 32 bits per
    // pixel. Anything else, or memory that cannot be had, leaves it empty.
    bool Create(int width, int height, int bpp);
    void Destroy();

    bool HasPixels() const { return bits_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int ColorBits() const { return bpp_; }
    std::size_t Stride() const { return stride_; }
    // Row y counted from the top; null outside the image.
    std::uint8_t* GetBits(int y) const;
    // Pixel (x, y), or null outside the image.
    std::uint8_t* GetBits(int x, int y) const;
    // Lowest address of the pixel memory (the bottom row).
    std::uint8_t* GetMemStart() const { return bits_; }
    // 1024 bytes for 8-bit images, else null.
    const std::uint8_t* Palette() const { return palette_.empty() ? nullptr : palette_.data(); }

    // Exchanges the pixels (size, depth, memory, rows, palette) with another image.
    void SwapPixels(ImagePixels& other) noexcept;

    void ApplyEffect(ImageEffect& effect);

protected:
    ImageMemory* memory() const { return memory_.get(); }

private:
    ImageMemoryFactory factory_;
    std::unique_ptr<ImageMemory> memory_;
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 0;
    std::size_t stride_ = 0;
    std::uint8_t* bits_ = nullptr;
    std::vector<std::uint8_t*> rows_;
    std::vector<std::uint8_t> palette_;
};

class ImageEffect {
public:
    virtual ~ImageEffect() = default;
    // Images with pixels and at least 24 bits per pixel.
    virtual bool Accepts(const ImagePixels& image) const;
    // 1: PixelStep over every pixel; 0: one WholeImageStep.
    virtual int Mode() const { return 1; }
    virtual void Begin(ImagePixels&) {}
    virtual void PixelStep(ImagePixels&, int /*x*/, int /*y*/, std::uint8_t* /*pixel*/) {}
    virtual void WholeImageStep(ImagePixels&, void* /*progress*/) {}
};

// Scales colours by alpha, as per-pixel alpha blending expects them.
class PremultiplyAlpha : public ImageEffect {
public:
    bool Accepts(const ImagePixels& image) const override;
    void PixelStep(ImagePixels& image, int x, int y, std::uint8_t* pixel) override;
};

}  // namespace preview
