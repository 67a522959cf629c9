#include "textures/PixelImage.h"

#include <cstring>
#include <new>

#include <squish.h>

#include "textures/PixelLayout.h"

namespace textures {

bool withinImageLimits(std::uint64_t width, std::uint64_t height) noexcept {
    return width <= kLargestSide && height <= kLargestSide && width * height <= kLargestImagePixels;
}

std::string tooLargeReason(std::uint64_t width, std::uint64_t height) {
    return "image too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels (at most " +
           std::to_string(kLargestSide) + " per side and " + std::to_string(kLargestImagePixels) + " in all)";
}

bool allocate(Image32& image, std::uint32_t width, std::uint32_t height, ChannelOrder order) noexcept {
    if (width == 0 || height == 0 || !withinImageLimits(width, height)) return false;
    try {
        image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.order = order;
    return true;
}

void convertOrder(Image32& image, ChannelOrder order) noexcept {
    if (image.order == order) return;
    // Both orders differ only in the first and third byte.
    std::uint8_t* p = image.pixels.data();
    const std::size_t count = image.pixels.size() / 4;
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        const std::uint8_t first = p[0];
        p[0] = p[2];
        p[2] = first;
    }
    image.order = order;
}

bool decodeFrame(std::uint32_t code, std::uint32_t width, std::uint32_t height, const std::uint8_t* data,
                 std::size_t size, Image32& out) noexcept {
    if (!data) return false;
    const auto needed = imageBytes(code, width, height);
    if (!needed || *needed > size) return false;
    const std::size_t pitch = static_cast<std::size_t>(RowPitch(code, width));

    switch (code) {
    case format::kDxt1:
    case format::kDxt3:
    case format::kDxt5:
    case format::kDxt5Alt: {
        if (!allocate(out, width, height, ChannelOrder::Rgba)) return false;
        const int flags = code == format::kDxt1 ? squish::kDxt1 : code == format::kDxt3 ? squish::kDxt3 : squish::kDxt5;
        squish::DecompressImage(out.pixels.data(), static_cast<int>(width), static_cast<int>(height),
                                static_cast<int>(out.stride()), data, flags);
        return true;
    }
    case format::kBgra32: {
        if (!allocate(out, width, height, ChannelOrder::Bgra)) return false;
        std::memcpy(out.pixels.data(), data, out.pixels.size());
        return true;
    }
    case format::kAlpha8: {
        if (!allocate(out, width, height, ChannelOrder::Bgra)) return false;
        std::uint8_t* target = out.pixels.data();
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = data + y * pitch;
            for (std::uint32_t x = 0; x < width; ++x, target += 4) {
                target[0] = target[1] = target[2] = 0;
                target[3] = row[x];
            }
        }
        return true;
    }
    case format::kRgb24: {
        if (!allocate(out, width, height, ChannelOrder::Rgba)) return false;
        std::uint8_t* target = out.pixels.data();
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = data + y * pitch;
            for (std::uint32_t x = 0; x < width; ++x, target += 4, row += 3) {
                target[0] = row[0];
                target[1] = row[1];
                target[2] = row[2];
                target[3] = 0xFF;
            }
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace textures
