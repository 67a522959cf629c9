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

// Most scans a JPEG file may have. Progressive files have about ten; each
// scan passes over the whole image again, so a small damaged file with
// thousands of them would take minutes to decode.
constexpr int kMostJpegScans = 1000;

struct DecodedImage {
    ImageKind kind = ImageKind::Unknown;
    std::vector<ImageFrame> frames;
};

// Decodes any of the four kinds into frames of the given order. False, with
// a short reason in words ("not a PNG, JPEG, GIF or BMP image", "damaged
// JPEG data: ...", tooLargeReason's), when the file cannot be decoded whole.
// A file claiming a size beyond withinImageLimits (all of a GIF's frames
// together), or a JPEG of more than kMostJpegScans scans, is refused before
// anything is allocated for its pixels.
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
