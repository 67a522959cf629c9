#include "preview/ImageMath.h"

#include <algorithm>
#include <limits>
#include <string>

namespace preview {

ImageType TypeFromFileName(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        return IMG_UNKNOWN;
    }
    std::wstring ext(path.substr(dot + 1));
    for (wchar_t& c : ext) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    struct Known {
        const wchar_t* ext;
        ImageType type;
    };
    static constexpr Known kKnown[] = {
        {L"jpg", IMG_JPG}, {L"jpeg", IMG_JPG}, {L"jpe", IMG_JPG}, {L"jfif", IMG_JPG}, {L"gif", IMG_GIF},
        {L"bmp", IMG_BMP}, {L"png", IMG_PNG},  {L"tga", IMG_TGA}, {L"tif", IMG_TIF},  {L"tiff", IMG_TIF},
        {L"ico", IMG_ICO}, {L"psd", IMG_PSD},  {L"pcx", IMG_PCX}, {L"xpm", IMG_XPM},  {L"oxo", IMG_OXO},
    };
    for (const Known& k : kKnown) {
        if (ext == k.ext) {
            return k.type;
        }
    }
    return IMG_UNKNOWN;
}

bool HasGdiplusCodec(int type) {
    switch (type) {
    case IMG_BMP:
    case IMG_JPG:
    case IMG_GIF:
    case IMG_TIF:
    case IMG_PNG:
    case IMG_ICO:
        return true;
    default:
        return false;
    }
}

ImageRect FitInto(int w, int h, int left, int top, int right, int bottom) {
    // 64-bit intermediates: frame sizes come from window rectangles that may
    // be far apart, and a subtraction of two ints may not fit an int.
    const long long frameW = static_cast<long long>(right) - left;
    const long long frameH = static_cast<long long>(bottom) - top;
    if (w <= 0 || h <= 0 || frameW <= 0 || frameH <= 0) {
        return {};
    }
    long long newW = w;
    long long newH = h;
    if (w > frameW || h > frameH) {
        const double scale = std::min(static_cast<double>(frameW) / w, static_cast<double>(frameH) / h);
        newW = std::max(1LL, static_cast<long long>(w * scale));
        newH = std::max(1LL, static_cast<long long>(h * scale));
    }
    ImageRect r;
    r.left = static_cast<int>(left + (frameW - newW) / 2);
    r.top = static_cast<int>(top + (frameH - newH) / 2);
    r.right = static_cast<int>(r.left + newW);
    r.bottom = static_cast<int>(r.top + newH);
    return r;
}

std::size_t DibStride(int width, int bpp) {
    if (width <= 0 || bpp <= 0) {
        return 0;
    }
    const unsigned long long bits = static_cast<unsigned long long>(width) * static_cast<unsigned>(bpp);
    const unsigned long long stride = (bits + 31) / 32 * 4;
    if (stride > static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max())) {
        return 0;
    }
    return static_cast<std::size_t>(stride);
}

void PremultiplyPixel(std::uint8_t* bgra) {
    const unsigned alpha = bgra[3];
    bgra[2] = static_cast<std::uint8_t>(bgra[2] * alpha / 255);
    bgra[1] = static_cast<std::uint8_t>(bgra[1] * alpha / 255);
    bgra[0] = static_cast<std::uint8_t>(bgra[0] * alpha / 255);
}

}  // namespace preview
