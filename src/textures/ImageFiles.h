// Image files as a skin's media folder holds them (PNG, JPEG, GIF and BMP),
// decoded from memory into 32-bit frames: what the bundle packer stores.
// The kind is told by the file's first bytes, not by its name. A GIF gives
// every frame of its animation, each one the whole picture as it stands
// after that frame was drawn, with the frame's display time. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "textures/PixelImage.h"

namespace textures {

enum class ImageKind : std::uint8_t { Unknown, Png, Jpeg, Gif, Bmp };

ImageKind sniffImage(const std::uint8_t* data, std::size_t size) noexcept;

struct ImageFrame {
    Image32 image;
    std::uint32_t durationMs = 0;  // GIF frames: the frame's delay; otherwise 0
};

struct DecodedImage {
    ImageKind kind = ImageKind::Unknown;
    std::vector<ImageFrame> frames;
};

// Most pixels one file may decode to, all frames together (256 MiB of
// 32-bit pixels): a damaged or hostile file claiming more is refused rather
// than allocated.
constexpr std::uint64_t kLargestImagePixels = std::uint64_t{64} << 20;

// Decodes any of the four kinds into frames of the given order. False, with
// a short reason in words ("not a PNG, JPEG, GIF or BMP image", "damaged
// JPEG data: ..."), when the file cannot be decoded whole.
bool decodeImageFile(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason,
                     ChannelOrder order = ChannelOrder::Bgra) noexcept;

// The decoders one by one, with the same contract.
bool decodeJpeg(const std::uint8_t* data, std::size_t size, Image32& image, std::string& reason,
                ChannelOrder order = ChannelOrder::Bgra) noexcept;
bool decodeGif(const std::uint8_t* data, std::size_t size, std::vector<ImageFrame>& frames, std::string& reason,
               ChannelOrder order = ChannelOrder::Bgra) noexcept;
bool decodeBmp(const std::uint8_t* data, std::size_t size, Image32& image, std::string& reason,
               ChannelOrder order = ChannelOrder::Bgra) noexcept;

}  // namespace textures
