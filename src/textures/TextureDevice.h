// The seam between the portable texture objects and the display device.
// The Win32 side implements it with Direct3D 9 (the display device's own);
// unit tests hand texture objects a fake. While there is no device the
// largest texture sizes are 0, so every texture is sized 0 by 0 and none
// reaches a device; a texture object given no texture device at all is the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct IDirect3DTexture9;

namespace textures {

struct TextureLimits {
    std::uint32_t maxWidth = 0;
    std::uint32_t maxHeight = 0;
};

// Level 0 of a device texture, locked for writing.
struct LockedLevel {
    std::uint8_t* bits = nullptr;
    std::size_t pitch = 0;   // bytes from one row (of pixels or of blocks) to the next
    std::uint64_t rows = 0;  // rows the locked level really has
};

// One texture on the display device.
class DeviceTexture {
public:
    virtual ~DeviceTexture() = default;
    // Locks level 0 whole (discarding its contents when the texture is dynamic).
    virtual bool lockLevel0(LockedLevel& out) = 0;
    // Also called after a failed lock.
    virtual void unlockLevel0() = 0;
    // Releases the texture; the result is what the release reported, 0 when
    // nothing was held.
    virtual unsigned long release() = 0;
    virtual IDirect3DTexture9* handle() const = 0;
};

class TextureDevice {
public:
    virtual ~TextureDevice() = default;
    // A dynamic texture of one level in the given Direct3D format; null on failure.
    virtual std::unique_ptr<DeviceTexture> makeTexture(std::uint32_t width, std::uint32_t height,
                                                       std::uint32_t d3dFormat) = 0;
    // An image file decoded straight into a texture; null on failure.
    virtual std::unique_ptr<DeviceTexture> readImageFile(const std::wstring& path) = 0;
    // Sets the texture on a stage with linear filtering and clamped addressing.
    virtual bool bind(std::uint32_t stage, DeviceTexture* texture) = 0;
    // The largest texture the device makes; zero while there is no device.
    virtual TextureLimits limits() const = 0;
};

}  // namespace textures
