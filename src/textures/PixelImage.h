// Images as 32-bit pixels in memory, and the decoding of bundle frames into
// them. Every codec of the plugin meets here: frames decode to an Image32,
// PNG files are written from one and read into one, and the device textures
// are filled from one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace textures {

// Byte order of one pixel.
enum class ChannelOrder : std::uint8_t {
    Bgra,  // B, G, R, A: the order of Direct3D's and Windows' 32-bit pixels
    Rgba,  // R, G, B, A: the order of PNG files
};

// width x height pixels of 4 bytes, rows from the top, no gap between rows.
struct Image32 {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ChannelOrder order = ChannelOrder::Bgra;
    std::vector<std::uint8_t> pixels;

    std::size_t stride() const noexcept { return static_cast<std::size_t>(width) * 4; }
    bool empty() const noexcept { return width == 0 || height == 0; }
};

// Largest side an image may have here: what the widest Direct3D 9 device
// takes, and far beyond any skin image. A frame claiming more is refused
// rather than allocated.
constexpr std::uint32_t kLargestSide = 16384;

// Most pixels one image may have (256 MiB of 32-bit pixels), and one image
// file all its frames together: a damaged or hostile file claiming more is
// refused rather than allocated.
constexpr std::uint64_t kLargestImagePixels = std::uint64_t{64} << 20;

// Whether an image of this size may be decoded: neither side beyond
// kLargestSide and no more than kLargestImagePixels in all. Every decoder
// asks this of the size a file claims before it allocates for it.
bool withinImageLimits(std::uint64_t width, std::uint64_t height) noexcept;

// The reason given for an image beyond those limits, with its size:
// "image too large: 20000 x 300 pixels (at most 16384 per side and 67108864
// in all)".
std::string tooLargeReason(std::uint64_t width, std::uint64_t height);

// Sets the size and order and makes room for the pixels (left undefined).
// False when the size is 0, beyond the limits above, or memory cannot be had.
bool allocate(Image32& image, std::uint32_t width, std::uint32_t height, ChannelOrder order) noexcept;

// Reorders the pixels in place to the given order.
void convertOrder(Image32& image, ChannelOrder order) noexcept;

// Decodes a bundle frame's pixel data (laid out as its format code says:
// DXT1, DXT3, DXT5 blocks, B G R A, alpha only, or R G B rows) into 32-bit
// pixels at the frame's own size. Block formats follow the standard
// decoding, DXT1's transparent three-colour mode included; an alpha-only
// frame becomes black with that alpha; R G B frames become opaque. False for
// an unknown format code, an empty or oversized frame, data shorter than the
// layout needs, or no memory. The resulting order is the one cheapest for
// the format.
bool decodeFrame(std::uint32_t code, std::uint32_t width, std::uint32_t height, const std::uint8_t* data,
                 std::size_t size, Image32& out) noexcept;

}  // namespace textures
