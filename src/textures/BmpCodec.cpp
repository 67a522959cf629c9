// Windows bitmap files into 32-bit pixels: the core (OS/2) and the info
// headers of every version, palettes of 1, 4 and 8 bits, 16-, 24- and 32-bit
// pixels with the default layouts or with channel masks, rows bottom-up or
// top-down. A 32-bit file whose fourth bytes are all zero is opaque (that
// byte was long only padding); otherwise they are its alpha. Compressed
// bitmaps (run-length, embedded JPEG or PNG) are refused.
#include <algorithm>
#include <cstring>

#include "textures/ImageFiles.h"

namespace textures {
namespace {

constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t le16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

// One channel of a masked pixel, scaled to 8 bits.
class Channel {
public:
    Channel() = default;
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        if (mask == 0) return;
        while (((mask >> shift_) & 1) == 0) ++shift_;
        max_ = mask >> shift_;
    }
    bool present() const { return mask_ != 0; }
    // Masks must be one run of bits.
    bool valid() const { return mask_ == 0 || (max_ & (max_ + 1)) == 0; }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (max_ == 0) return 0;
        const std::uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
    }

private:
    std::uint32_t mask_ = 0;
    unsigned shift_ = 0;
    std::uint32_t max_ = 0;
};

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows from the top
    std::uint32_t bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool hasMasks = false;
    std::size_t paletteAt = 0;
    std::size_t paletteEntryBytes = 4;
    std::uint32_t paletteCount = 0;
};

const char* readLayout(const std::uint8_t* data, std::size_t size, Layout& layout) {
    if (size < 14 + 12) return "damaged BMP data: the header ends early";
    const std::uint32_t headerBytes = le32(data + 14);
    const std::uint8_t* h = data + 14;
    if (headerBytes == 12) {  // OS/2 core header
        layout.width = le16(h + 4);
        layout.height = le16(h + 6);
        layout.bits = le16(h + 10);
        layout.paletteEntryBytes = 3;
    } else if (headerBytes >= 40 && headerBytes <= size - 14) {
        layout.width = static_cast<std::int32_t>(le32(h + 4));
        layout.height = static_cast<std::int32_t>(le32(h + 8));
        layout.bits = le16(h + 14);
        layout.compression = le32(h + 16);
        layout.paletteCount = le32(h + 32);
        if (layout.compression == kBitFields || layout.compression == kAlphaBitFields) {
            // Masks inside a longer header, or right after the 40-byte one.
            const std::size_t count = layout.compression == kAlphaBitFields ? 4 : 3;
            const std::size_t inside = headerBytes >= 56 ? 4 : headerBytes >= 52 ? 3 : 0;
            const std::size_t after = headerBytes == 40 ? count : 0;
            if (14 + 40 + std::max(inside, after) * 4 > size) return "damaged BMP data: the header ends early";
            for (std::size_t i = 0; i < std::max(inside, after); ++i) layout.masks[i] = le32(h + 40 + 4 * i);
            layout.hasMasks = true;
            layout.paletteAt = 14 + headerBytes + after * 4;
        }
    } else {
        return "damaged BMP data: unknown header size";
    }
    if (layout.paletteAt == 0) layout.paletteAt = 14 + headerBytes;
    if (layout.compression != kRgb && layout.compression != kBitFields && layout.compression != kAlphaBitFields)
        return "unsupported BMP compression";
    switch (layout.bits) {
    case 1:
    case 4:
    case 8:
        if (layout.compression != kRgb) return "damaged BMP data: masks on a palette image";
        if (layout.paletteCount == 0 || layout.paletteCount > (1u << layout.bits))
            layout.paletteCount = 1u << layout.bits;
        break;
    case 16:
    case 24:
    case 32:
        if (layout.bits == 24 && layout.compression != kRgb) return "damaged BMP data: masks on 24-bit pixels";
        layout.paletteCount = 0;
        break;
    default:
        return "unsupported BMP pixel depth";
    }
    if (!layout.hasMasks) {
        if (layout.bits == 16) {
            layout.masks[0] = 0x7C00, layout.masks[1] = 0x03E0, layout.masks[2] = 0x001F;
        } else if (layout.bits == 32) {
            layout.masks[0] = 0x00FF0000, layout.masks[1] = 0x0000FF00, layout.masks[2] = 0x000000FF;
            layout.masks[3] = 0xFF000000;
        }
    }
    if (layout.width <= 0 || layout.height == 0) return "damaged BMP data: an empty image";
    return nullptr;
}

}  // namespace

bool decodeBmp(const std::uint8_t* data, std::size_t size, Image32& image, std::string& reason,
               ChannelOrder order) noexcept {
    image = Image32{};
    try {
        if (data == nullptr || size < 2 || data[0] != 'B' || data[1] != 'M') {
            reason = "not a BMP image";
            return false;
        }
        Layout layout;
        if (const char* why = readLayout(data, size, layout)) {
            reason = why;
            return false;
        }
        const bool topDown = layout.height < 0;
        const std::int64_t rows = topDown ? -layout.height : layout.height;
        if (!withinImageLimits(static_cast<std::uint64_t>(layout.width), static_cast<std::uint64_t>(rows))) {
            reason = tooLargeReason(static_cast<std::uint64_t>(layout.width), static_cast<std::uint64_t>(rows));
            return false;
        }
        const std::uint32_t width = static_cast<std::uint32_t>(layout.width);
        const std::uint32_t height = static_cast<std::uint32_t>(rows);
        const std::size_t stride = (static_cast<std::size_t>(width) * layout.bits + 31) / 32 * 4;
        const std::size_t pixelsAt = le32(data + 10);
        const std::size_t paletteEnd = layout.paletteAt + layout.paletteCount * layout.paletteEntryBytes;
        if (paletteEnd > size) {
            reason = "damaged BMP data: the palette ends early";
            return false;
        }
        if (pixelsAt > size || (size - pixelsAt) / stride < height) {
            reason = "damaged BMP data: the pixels end early";
            return false;
        }
        if (!allocate(image, width, height, order)) {
            reason = "out of memory";
            return false;
        }
        const std::size_t red = order == ChannelOrder::Bgra ? 2 : 0, blue = 2 - red;
        const Channel channels[4] = {Channel(layout.masks[0]), Channel(layout.masks[1]), Channel(layout.masks[2]),
                                     Channel(layout.masks[3])};
        for (const Channel& channel : channels) {
            if (!channel.valid()) {
                image = Image32{};
                reason = "damaged BMP data: a channel mask with gaps";
                return false;
            }
        }
        const std::uint8_t* palette = data + layout.paletteAt;
        bool anyAlpha = false;
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = data + pixelsAt + stride * (topDown ? y : height - 1 - y);
            std::uint8_t* out = image.pixels.data() + image.stride() * y;
            for (std::uint32_t x = 0; x < width; ++x, out += 4) {
                switch (layout.bits) {
                case 1:
                case 4:
                case 8: {
                    const std::size_t bit = static_cast<std::size_t>(x) * layout.bits;
                    const unsigned shift = 8 - layout.bits - static_cast<unsigned>(bit % 8);
                    const std::uint32_t index = (row[bit / 8] >> shift) & ((1u << layout.bits) - 1);
                    if (index < layout.paletteCount) {
                        const std::uint8_t* entry = palette + index * layout.paletteEntryBytes;
                        out[blue] = entry[0], out[1] = entry[1], out[red] = entry[2];
                    } else {
                        out[0] = out[1] = out[2] = 0;
                    }
                    out[3] = 255;
                    break;
                }
                case 24: {
                    const std::uint8_t* p = row + static_cast<std::size_t>(x) * 3;
                    out[blue] = p[0], out[1] = p[1], out[red] = p[2], out[3] = 255;
                    break;
                }
                default: {
                    const std::uint32_t pixel = layout.bits == 16 ? le16(row + static_cast<std::size_t>(x) * 2)
                                                                  : le32(row + static_cast<std::size_t>(x) * 4);
                    out[red] = channels[0](pixel);
                    out[1] = channels[1](pixel);
                    out[blue] = channels[2](pixel);
                    out[3] = channels[3].present() ? channels[3](pixel) : 255;
                    anyAlpha = anyAlpha || out[3] != 0;
                    break;
                }
                }
            }
        }
        if (layout.bits >= 16 && channels[3].present() && !anyAlpha) {
            for (std::size_t i = 3; i < image.pixels.size(); i += 4) image.pixels[i] = 255;
        }
        return true;
    } catch (...) {
        image = Image32{};
        reason = "out of memory";
        return false;
    }
}

}  // namespace textures
