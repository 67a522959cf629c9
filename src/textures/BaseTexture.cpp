#include "textures/BaseTexture.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "textures/PixelLayout.h"

namespace textures {

bool PixelBuffer::growTo(std::size_t bytes) noexcept {
    if (bytes <= capacity_) {
        size_ = std::max(size_, bytes);
        return true;
    }
    std::unique_ptr<std::uint8_t[]> fresh(new (std::nothrow) std::uint8_t[bytes]);
    if (!fresh) return false;
    data_ = std::move(fresh);
    size_ = capacity_ = bytes;
    return true;
}

void copyRows(const std::uint8_t* source, std::size_t sourcePitch, std::uint8_t* target, std::size_t targetPitch,
              std::uint64_t rows) noexcept {
    if (rows == 0) return;
    if (sourcePitch == targetPitch) {
        std::memcpy(target, source, static_cast<std::size_t>(sourcePitch * rows));
        return;
    }
    const std::size_t bytes = std::min(sourcePitch, targetPitch);
    for (std::uint64_t row = 0; row < rows; ++row) {
        std::memcpy(target, source, bytes);
        source += sourcePitch;
        target += targetPitch;
    }
}

void widenRgbRows(const std::uint8_t* source, std::size_t sourcePitch, std::uint8_t* target, std::size_t targetPitch,
                  std::uint32_t width, std::uint64_t rows) noexcept {
    for (std::uint64_t row = 0; row < rows; ++row) {
        const std::uint8_t* in = source;
        std::uint8_t* out = target;
        for (std::uint32_t x = 0; x < width; ++x) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 0xFF;
            in += 3;
            out += 4;
        }
        source += sourcePitch;
        target += targetPitch;
    }
}

}  // namespace textures

using namespace textures;

BaseTexture::~BaseTexture() = default;

std::uint64_t BaseTexture::textureBytes() const noexcept {
    // A product beyond 64 bits counts as more than any buffer can hold.
    return imageBytes(format_, textureWidth_, textureHeight_).value_or(std::numeric_limits<std::uint64_t>::max());
}

bool BaseTexture::PrepareBuffer(std::uint32_t width, std::uint32_t height, std::uint32_t format,
                                const TextureLimits& limits) noexcept {
    format_ = format;
    std::uint64_t textureWidth = width;
    std::uint64_t textureHeight = height;
    if (isBlockFormat(format)) {
        textureWidth = (textureWidth + 3) / 4 * 4;
        textureHeight = (textureHeight + 3) / 4 * 4;
    }
    textureWidth_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(textureWidth, limits.maxWidth));
    textureHeight_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(textureHeight, limits.maxHeight));
    imageWidth_ = std::min(width, textureWidth_);
    imageHeight_ = std::min(height, textureHeight_);

    const std::uint64_t needed = textureBytes();
    if (needed > std::numeric_limits<std::size_t>::max()) return false;
    return pixels_.growTo(static_cast<std::size_t>(needed));
}

bool BaseTexture::CopyPixels(std::uint32_t width, std::uint32_t height, std::uint32_t format, const std::uint8_t* data,
                             std::size_t dataSize, const TextureLimits& limits) noexcept {
    if (!data || width == 0 || height == 0) return false;
    const auto sourceBytes = imageBytes(format, width, height);
    if (!sourceBytes || *sourceBytes > dataSize) return false;
    if (!PrepareBuffer(width, height, format, limits)) return false;

    const std::uint64_t sourceRows = RowCount(format, height);
    const std::uint64_t targetRows = RowCount(format, textureHeight_);
    // Both pitches fit size_t: the source one is bounded by dataSize, the
    // target one by the buffer PrepareBuffer could allocate.
    const auto sourcePitch = static_cast<std::size_t>(RowPitch(format, width));
    const auto targetPitch = static_cast<std::size_t>(RowPitch(format, textureWidth_));
    copyRows(data, sourcePitch, pixels_.data(), targetPitch, std::min(sourceRows, targetRows));
    return true;
}
