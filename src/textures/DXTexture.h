// A texture object that moves its pixels into a texture of the display
// device it is given, or has an image file decoded straight into one. Callers
// create it with new (or make_unique) and delete it through BaseTexture.
#pragma once

#include <memory>

#include "textures/BaseTexture.h"
#include "textures/PixelLayout.h"

class DXTexture : public BaseTexture {
public:
    // The device is not owned and must outlive the texture; without one the
    // texture never reaches a device.
    explicit DXTexture(textures::TextureDevice* device = nullptr) : device_(device) {}
    ~DXTexture() override;

    // Makes the device texture for the format at the texture size; nothing
    // for a format that cannot be shown or when there is no device.
    bool MakeDeviceTexture() override;
    unsigned long DropDeviceTexture() override;
    // Moves the pixels into the device texture (made first when needed) and
    // empties the buffer; keeps the pixels when no device texture can be made.
    void SendPixelsToDevice() override;
    bool ReadImageFile(const std::wstring& path) override;
    IDirect3DTexture9* DeviceTexture() const override;
    bool BindForDrawing(std::uint32_t stage) override;

    bool hasDeviceTexture() const noexcept { return deviceTexture_ != nullptr; }
    // The Direct3D format the device texture was (or will be) asked for.
    std::uint32_t deviceFormat() const noexcept { return deviceFormat_; }

private:
    textures::TextureDevice* device_;
    std::unique_ptr<textures::DeviceTexture> deviceTexture_;
    std::uint32_t deviceFormat_ = textures::d3dformat::kA8R8G8B8;
};
