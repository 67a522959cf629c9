// PNG files to and from 32-bit pixels (libpng over zlib), in memory: the
// caller decides where the bytes come from and go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "textures/PixelImage.h"

namespace textures {

struct PngSettings {
    // zlib's level, 0 (stored) to 9; libpng's own default is 6.
    int compressionLevel = 6;
    // Row filters as libpng's PNG_FILTER_* bits; 0 lets libpng choose
    // (adaptive over all five for 32-bit images).
    int filters = 0;
};

// What extraction writes: a faster setting than libpng's default whose files
// stay close to its size (measured on skin-like images in bench/).
PngSettings fastPngSettings();

// Encodes the image as an 8-bit RGBA PNG. `keepGoing`, when given, is asked
// between rows; answering false abandons the encoding. False when the image
// is empty, encoding was abandoned or memory ran out.
bool encodePng(const Image32& image, std::vector<std::uint8_t>& png, const PngSettings& settings = {},
               const std::function<bool()>& keepGoing = {}) noexcept;

// Decodes any PNG (every colour type and depth, transparency chunks
// applied) into 8-bit pixels of the given order. False when the bytes are
// not a PNG libpng can read, or the size its header claims is beyond
// withinImageLimits (refused before libpng allocates anything).
bool decodePng(const std::uint8_t* data, std::size_t size, Image32& image,
               ChannelOrder order = ChannelOrder::Rgba) noexcept;
// The same, with the reason in words when it fails (tooLargeReason's, or
// "damaged or unsupported PNG data").
bool decodePng(const std::uint8_t* data, std::size_t size, Image32& image, std::string& reason,
               ChannelOrder order = ChannelOrder::Rgba) noexcept;

}  // namespace textures
