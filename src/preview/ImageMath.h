// Arithmetic of the image layer that needs no operating system: what a file
// name's extension means, where a picture goes inside a frame, and alpha
// premultiplication of one pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace preview {

enum ImageType : int {
    IMG_UNKNOWN = 0,
    IMG_BMP = 1,
    IMG_PCX = 2,
    IMG_JPG = 3,
    IMG_GIF = 4,
    IMG_TGA = 5,
    IMG_TIF = 6,
    IMG_PNG = 7,
    IMG_PSD = 8,
    IMG_ICO = 9,
    IMG_XPM = 10,
    IMG_OXO = 11,
};

// By the text after the last '.', ASCII letters folded; no dot means unknown.
ImageType TypeFromFileName(std::wstring_view path);

// Whether the GDI+ codec reads files of this type (the others get no codec).
bool HasGdiplusCodec(int type);

struct ImageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ImageRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Shrinks (never enlarges) a w x h picture to fit the frame, keeping its
// aspect, and centres it. All zero when the picture or the frame is empty.
ImageRect FitInto(int w, int h, int left, int top, int right, int bottom);

// Bytes per row of a bottom-up DIB: rows padded to 32 bits. 0 when the size
// does not fit the 32-bit arithmetic the platform uses for bitmaps.
std::size_t DibStride(int width, int bpp);

// Colours of a B, G, R, A pixel scaled by its alpha (rounding down).
void PremultiplyPixel(std::uint8_t* bgra);

}  // namespace preview
