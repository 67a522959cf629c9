#include "textures/DXTexture.h"

#include <algorithm>
#include <limits>
#include <new>

using namespace textures;

DXTexture::~DXTexture() { DropDeviceTexture(); }

bool DXTexture::MakeDeviceTexture() {
    const auto d3dFormat = deviceFormatFor(format_);
    TextureDevice* device = device_;
    // D3DX reads a zero side as "default size"; a texture sized 0 (no device
    // when it was filled) must not become a 256 x 256 one.
    if (!d3dFormat || !device || textureWidth_ == 0 || textureHeight_ == 0) return false;
    DropDeviceTexture();
    deviceFormat_ = *d3dFormat;
    try {
        deviceTexture_ = device->makeTexture(textureWidth_, textureHeight_, deviceFormat_);
    } catch (const std::bad_alloc&) {
        deviceTexture_.reset();
    }
    return deviceTexture_ != nullptr;
}

unsigned long DXTexture::DropDeviceTexture() {
    if (!deviceTexture_) return 0;
    const unsigned long count = deviceTexture_->release();
    deviceTexture_.reset();
    return count;
}

void DXTexture::SendPixelsToDevice() {
    if (pixels_.empty()) return;
    if (!deviceTexture_ && !MakeDeviceTexture()) return;

    LockedLevel level;
    if (deviceTexture_->lockLevel0(level) && level.bits) {
        const auto sourcePitch = static_cast<std::size_t>(RowPitch(format_, textureWidth_));
        // The device may have made a smaller texture than asked for; never
        // write past the level it locked, nor read past the buffer.
        std::uint64_t rows = std::min(RowCount(format_, textureHeight_), level.rows);
        if (sourcePitch != 0) rows = std::min<std::uint64_t>(rows, pixels_.size() / sourcePitch);
        if (format_ == format::kRgb24) {
            const std::uint32_t width =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(textureWidth_, level.pitch / 4));
            widenRgbRows(pixels_.data(), sourcePitch, level.bits, level.pitch, width, rows);
        } else {
            copyRows(pixels_.data(), sourcePitch, level.bits, level.pitch, rows);
        }
    }
    deviceTexture_->unlockLevel0();
    pixels_.clear();
}

bool DXTexture::ReadImageFile(const std::wstring& path) {
    TextureDevice* device = device_;
    if (!device) return false;
    DropDeviceTexture();
    try {
        deviceTexture_ = device->readImageFile(path);
    } catch (const std::bad_alloc&) {
        deviceTexture_.reset();
    }
    return deviceTexture_ != nullptr;
}

IDirect3DTexture9* DXTexture::DeviceTexture() const { return deviceTexture_ ? deviceTexture_->handle() : nullptr; }

bool DXTexture::BindForDrawing(std::uint32_t stage) {
    TextureDevice* device = device_;
    return device && device->bind(stage, deviceTexture_.get());
}
