// Pixel format codes of texture bundles and the row layout of their pixel
// data. Sizes are 64-bit so that no pitch or buffer size can wrap on a 32-bit
// build, whatever a bundle claims about its frames.
#pragma once

#include <cstdint>
#include <optional>

namespace textures {

namespace format {
constexpr std::uint32_t kDxt1 = 1;
constexpr std::uint32_t kDxt3 = 2;
constexpr std::uint32_t kDxt5 = 4;
constexpr std::uint32_t kDxt5Alt = 8;  // stored by some packers; laid out as kDxt5
constexpr std::uint32_t kBgra32 = 16;
constexpr std::uint32_t kAlpha8 = 32;
constexpr std::uint32_t kRgb24 = 128;
// The bits that mark a block-compressed code.
constexpr std::uint32_t kBlockBits = 0x0F;
}  // namespace format

// Direct3D 9 format codes the texture codes map to (the values of D3DFORMAT).
namespace d3dformat {
constexpr std::uint32_t fourCc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}
constexpr std::uint32_t kA8R8G8B8 = 21;
constexpr std::uint32_t kA8 = 28;
constexpr std::uint32_t kDxt1 = fourCc('D', 'X', 'T', '1');
constexpr std::uint32_t kDxt3 = fourCc('D', 'X', 'T', '3');
constexpr std::uint32_t kDxt5 = fourCc('D', 'X', 'T', '5');
}  // namespace d3dformat

constexpr bool isBlockFormat(std::uint32_t code) { return (code & format::kBlockBits) != 0; }

// Bytes of one row: a row of 4x4 blocks for the DXT codes, a row of pixels otherwise.
constexpr std::uint64_t RowPitch(std::uint32_t code, std::uint32_t width) {
    const std::uint64_t w = width;
    switch (code) {
    case format::kDxt1:
        return (w + 3) / 4 * 8;
    case format::kDxt3:
    case format::kDxt5:
    case format::kDxt5Alt:
        return (w + 3) / 4 * 16;
    case format::kAlpha8:
        return w;
    case format::kRgb24:
        return (w * 3 + 3) / 4 * 4;
    default:
        return w * 4;
    }
}

// Number of rows: block rows for the DXT codes, pixel rows otherwise.
constexpr std::uint64_t RowCount(std::uint32_t code, std::uint32_t height) {
    const std::uint64_t h = height;
    switch (code) {
    case format::kDxt1:
    case format::kDxt3:
    case format::kDxt5:
    case format::kDxt5Alt:
        return (h + 3) / 4;
    default:
        return h;
    }
}

// RowPitch x RowCount, or nothing when the product does not fit 64 bits.
std::optional<std::uint64_t> imageBytes(std::uint32_t code, std::uint32_t width, std::uint32_t height);

// The Direct3D format a texture of this code is made in; nothing for codes
// that cannot be shown.
std::optional<std::uint32_t> deviceFormatFor(std::uint32_t code);

}  // namespace textures
