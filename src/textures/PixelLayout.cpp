#include "textures/PixelLayout.h"

#include <limits>

namespace textures {

std::optional<std::uint64_t> imageBytes(std::uint32_t code, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t pitch = RowPitch(code, width);
    const std::uint64_t rows = RowCount(code, height);
    if (pitch != 0 && rows > std::numeric_limits<std::uint64_t>::max() / pitch) return std::nullopt;
    return pitch * rows;
}

std::optional<std::uint32_t> deviceFormatFor(std::uint32_t code) {
    switch (code) {
    case format::kDxt1:
        return d3dformat::kDxt1;
    case format::kDxt3:
        return d3dformat::kDxt3;
    case format::kDxt5:
    case format::kDxt5Alt:
        return d3dformat::kDxt5;
    case format::kBgra32:
    case format::kRgb24:
        return d3dformat::kA8R8G8B8;
    case format::kAlpha8:
        return d3dformat::kA8;
    default:
        return std::nullopt;
    }
}

}  // namespace textures
