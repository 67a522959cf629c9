// Image files for tests and benchmarks of the packer, written from pixels
// the caller knows: PNG (libpng), JPEG (libjpeg-turbo's encoder), GIF with
// animation frames (giflib's encoder) and BMP (written here, byte by byte).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "OrtWriter.h"

namespace ortwriter {

// An 8-bit RGBA PNG of the image.
Bytes pngFile(const Image& image);

// Other PNG layouts, with libpng's PNG_COLOR_TYPE_* and a bit depth that
// type allows. Grey takes the red channel; a palette file's indices are the
// red channel's top bits over a grey ramp. `transparency` adds a tRNS chunk:
// an alpha ramp over the palette, or the first pixel's colour made
// transparent in grey and RGB files.
struct PngLayout {
    int colourType = 6;
    int bitDepth = 8;
    bool interlaced = false;
    bool transparency = false;
};
Bytes pngFile(const Image& image, const PngLayout& layout);
// A colour JPEG of the image's colours (alpha dropped), baseline or progressive.
Bytes jpegFile(const Image& image, int quality, bool progressive = false);

// BMP layouts.
enum class BmpLayout {
    Rgb24BottomUp,     // the classic: 24-bit rows from the bottom
    Bgra32TopDown,     // 32-bit with the alpha in the fourth byte, rows from the top
    Palette8BottomUp,  // 8-bit indices into a palette (the image's colours must be few)
};
Bytes bmpFile(const Image& image, BmpLayout layout);

using GifColour = std::array<std::uint8_t, 3>;

struct GifFrame {
    std::uint32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // width x height, rows from the top
    std::uint32_t delay = 0;            // hundredths of a second
    int disposal = 0;                   // 0 unspecified, 1 keep, 2 background, 3 previous
    int transparent = -1;               // index shown as transparent, or -1
    bool interlaced = false;
};

// A GIF89a of these frames over one global palette (its size a power of two
// from 2 to 256), looping forever when `loop` is set.
Bytes gifFile(std::uint32_t width, std::uint32_t height, const std::vector<GifColour>& palette,
              const std::vector<GifFrame>& frames, bool loop);

// Small files of every kind and layout above (PNG files of every colour type
// and bit depth, interlaced or not), for fuzzing the decoders;
// names are "<kind>/<file>" (kinds png, jpeg, gif, bmp, and frame: bundle
// frames as fuzz_frame_decoders reads them).
std::vector<std::pair<std::string, Bytes>> imageSeeds();

}  // namespace ortwriter
