// A texture's pixels in memory, laid out as its pixel format stores them
// (rows of 4x4 blocks for DXT, rows of pixels otherwise) and sized for the
// display device, ready to be moved into a device texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "textures/TextureDevice.h"

namespace textures {

// A byte buffer that grows without zero-filling (every byte the textures use
// is written before it is read) and keeps its storage when emptied.
class PixelBuffer {
public:
    // Makes the buffer at least `bytes` long; its contents are not kept when
    // it has to reallocate. False when the memory cannot be had.
    bool growTo(std::size_t bytes) noexcept;
    void clear() noexcept { size_ = 0; }

    std::uint8_t* data() noexcept { return data_.get(); }
    const std::uint8_t* data() const noexcept { return data_.get(); }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Copies `rows` rows between buffers of different pitches, min(pitches) bytes a row.
void copyRows(const std::uint8_t* source, std::size_t sourcePitch, std::uint8_t* target, std::size_t targetPitch,
              std::uint64_t rows) noexcept;

// Widens rows of R, G, B pixels to B, G, R, 0xFF (the device's A8R8G8B8 byte order).
void widenRgbRows(const std::uint8_t* source, std::size_t sourcePitch, std::uint8_t* target, std::size_t targetPitch,
                  std::uint32_t width, std::uint64_t rows) noexcept;

}  // namespace textures

class BaseTexture {
public:
    BaseTexture() = default;
    BaseTexture(const BaseTexture&) = delete;
    BaseTexture& operator=(const BaseTexture&) = delete;
    virtual ~BaseTexture();

    virtual bool MakeDeviceTexture() = 0;
    // What releasing the device texture reported; 0 when there was none.
    virtual unsigned long DropDeviceTexture() = 0;
    virtual void SendPixelsToDevice() = 0;
    virtual bool ReadImageFile(const std::wstring& path) = 0;
    virtual IDirect3DTexture9* DeviceTexture() const = 0;
    virtual bool BindForDrawing(std::uint32_t stage) = 0;

    // Sets the image and texture sizes for a frame of this size and format on
    // a device with the given largest texture size, and grows the buffer to
    // hold them. False (sizes set, buffer unchanged) when the memory cannot be had.
    bool PrepareBuffer(std::uint32_t width, std::uint32_t height, std::uint32_t format,
                       const textures::TextureLimits& limits) noexcept;

    // Fills the buffer from a frame's pixel data (RowCount(format, height) rows
    // of RowPitch(format, width) bytes), cut to the texture size. Fails without
    // reading anything when the data is missing, shorter than that, or the
    // frame is empty.
    bool CopyPixels(std::uint32_t width, std::uint32_t height, std::uint32_t format, const std::uint8_t* data,
                    std::size_t dataSize, const textures::TextureLimits& limits) noexcept;

    std::uint32_t imageWidth() const noexcept { return imageWidth_; }
    std::uint32_t imageHeight() const noexcept { return imageHeight_; }
    std::uint32_t textureWidth() const noexcept { return textureWidth_; }
    std::uint32_t textureHeight() const noexcept { return textureHeight_; }
    std::uint32_t format() const noexcept { return format_; }
    const textures::PixelBuffer& pixels() const noexcept { return pixels_; }

    // Bytes of the texture-sized image: RowPitch(format, textureWidth) x RowCount(format, textureHeight).
    std::uint64_t textureBytes() const noexcept;

protected:
    std::uint32_t imageWidth_ = 0;
    std::uint32_t imageHeight_ = 0;
    std::uint32_t textureWidth_ = 0;
    std::uint32_t textureHeight_ = 0;
    std::uint32_t format_ = 0;
    textures::PixelBuffer pixels_;
};
