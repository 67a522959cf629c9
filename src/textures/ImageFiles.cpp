#include "textures/ImageFiles.h"

#include <cstring>

#include "textures/PngCodec.h"

namespace textures {

ImageKind sniffImage(const std::uint8_t* data, std::size_t size) noexcept {
    if (data == nullptr) return ImageKind::Unknown;
    const auto startsWith = [data, size](const char* magic, std::size_t length) {
        return size >= length && std::memcmp(data, magic, length) == 0;
    };
    if (startsWith("\x89PNG\r\n\x1A\n", 8)) return ImageKind::Png;
    if (startsWith("\xFF\xD8\xFF", 3)) return ImageKind::Jpeg;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) return ImageKind::Gif;
    if (startsWith("BM", 2)) return ImageKind::Bmp;
    return ImageKind::Unknown;
}

bool decodeImageFile(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason,
                     ChannelOrder order) noexcept {
    image.frames.clear();
    image.kind = sniffImage(data, size);
    try {
        if (image.kind == ImageKind::Gif) return decodeGif(data, size, image.frames, reason, order);
        ImageFrame frame;
        bool decoded = false;
        switch (image.kind) {
        case ImageKind::Png:
            decoded = decodePng(data, size, frame.image, reason, order);
            break;
        case ImageKind::Jpeg:
            decoded = decodeJpeg(data, size, frame.image, reason, order);
            break;
        case ImageKind::Bmp:
            decoded = decodeBmp(data, size, frame.image, reason, order);
            break;
        default:
            reason = "not a PNG, JPEG, GIF or BMP image";
            break;
        }
        if (decoded) image.frames.push_back(std::move(frame));
        return decoded;
    } catch (...) {
        image.frames.clear();
        reason = "out of memory";
        return false;
    }
}

}  // namespace textures
