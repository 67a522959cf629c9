#include "textures/PngCodec.h"

#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

namespace textures {
namespace {

// libpng reports errors by longjmp to the setjmp of the call that began the
// work. Everything that lives across that setjmp is plain data owned outside
// it, so no destructor is ever skipped.
struct Sink {
    std::vector<std::uint8_t>* bytes;
    bool failed;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    try {
        sink->bytes->insert(sink->bytes->end(), data, data + length);
    } catch (...) {
        sink->failed = true;
    }
    if (sink->failed) png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

void quietWarning(png_structp, png_const_charp) {}

struct Writer {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Writer() { png_destroy_write_struct(&png, &info); }
};

// The part that may be left by longjmp: only plain locals.
bool writeRows(Writer& w, Sink& sink, const Image32& image, const PngSettings& settings,
               const std::function<bool()>* keepGoing, bool& abandoned) {
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_set_write_fn(w.png, &sink, appendBytes, flushNothing);
    png_set_IHDR(w.png, w.info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(w.png, settings.compressionLevel);
    if (settings.filters != 0) png_set_filter(w.png, PNG_FILTER_TYPE_BASE, settings.filters);
    png_write_info(w.png, w.info);
    if (image.order == ChannelOrder::Bgra) png_set_bgr(w.png);
    const std::size_t stride = image.stride();
    for (std::uint32_t y = 0; y < image.height; ++y) {
        // Asked every few rows: often enough to stop within milliseconds.
        if (keepGoing && (y % 32) == 0 && !(*keepGoing)()) {
            abandoned = true;
            return false;
        }
        png_write_row(w.png, const_cast<png_bytep>(image.pixels.data() + y * stride));
    }
    png_write_end(w.png, nullptr);
    return true;
}

std::uint32_t bigEndian32(const std::uint8_t* p) noexcept {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The size in the header chunk, which must follow the signature: read here
// so that a file claiming a huge one is refused before libpng starts.
bool headerSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width, std::uint32_t& height) noexcept {
    if (data == nullptr || size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
    width = bigEndian32(data + 16);
    height = bigEndian32(data + 20);
    return true;
}

// Every chunk's length must fit in what is left of the bytes: libpng would
// otherwise allocate whatever a damaged length claims (up to 2 GiB; its own
// limit on ancillary chunks is only a warning under the simplified reader)
// before it finds the data missing. Walks the chunks up to the end marker,
// down to the last header libpng would read: a length and a type need only
// eight bytes, so fewer than twelve left is a chunk that cannot fit.
bool chunksFit(const std::uint8_t* data, std::size_t size) noexcept {
    constexpr std::size_t kSignature = 8, kHeader = 8, kFraming = 12;  // length, type; CRC
    for (std::size_t at = kSignature; size - at >= kHeader;) {
        const std::uint32_t length = bigEndian32(data + at);
        if (size - at < kFraming || length > size - at - kFraming) return false;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0) break;
        at += kFraming + length;
    }
    return true;
}

bool readPng(const std::uint8_t* data, std::size_t size, Image32& image, ChannelOrder order) noexcept {
    if (!data || size == 0) return false;
    png_image header;
    std::memset(&header, 0, sizeof header);
    header.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&header, data, size)) return false;
    header.format = order == ChannelOrder::Bgra ? PNG_FORMAT_BGRA : PNG_FORMAT_RGBA;
    if (!allocate(image, header.width, header.height, order)) {
        png_image_free(&header);
        return false;
    }
    if (!png_image_finish_read(&header, nullptr, image.pixels.data(), static_cast<png_int_32>(image.stride()),
                               nullptr)) {
        png_image_free(&header);
        return false;
    }
    return true;
}

}  // namespace

PngSettings fastPngSettings() {
    PngSettings settings;
    settings.compressionLevel = 3;
    settings.filters = PNG_FILTER_SUB | PNG_FILTER_UP | PNG_FILTER_PAETH;
    return settings;
}

bool encodePng(const Image32& image, std::vector<std::uint8_t>& png, const PngSettings& settings,
               const std::function<bool()>& keepGoing) noexcept {
    png.clear();
    if (image.empty() || image.pixels.size() < image.stride() * image.height) return false;
    try {
        // A typical skin image packs to well under half its raw size.
        png.reserve(image.pixels.size() / 3 + 1024);
    } catch (const std::bad_alloc&) {
        return false;
    }
    Writer w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    if (!w.png) return false;
    w.info = png_create_info_struct(w.png);
    if (!w.info) return false;
    Sink sink{&png, false};
    bool abandoned = false;
    const bool ok = writeRows(w, sink, image, settings, keepGoing ? &keepGoing : nullptr, abandoned);
    if (!ok || abandoned || sink.failed) {
        png.clear();
        return false;
    }
    return true;
}

bool decodePng(const std::uint8_t* data, std::size_t size, Image32& image, std::string& reason,
               ChannelOrder order) noexcept {
    image = Image32{};
    try {
        std::uint32_t width = 0, height = 0;
        if (headerSize(data, size, width, height) && !withinImageLimits(width, height)) {
            reason = tooLargeReason(width, height);
            return false;
        }
        if (data != nullptr && size > 8 && !chunksFit(data, size)) {
            reason = "damaged PNG data: a chunk claims more bytes than the file holds";
            return false;
        }
        if (readPng(data, size, image, order)) return true;
        reason = "damaged or unsupported PNG data";
    } catch (...) {
        reason = "out of memory";
    }
    image = Image32{};
    return false;
}

bool decodePng(const std::uint8_t* data, std::size_t size, Image32& image, ChannelOrder order) noexcept {
    try {
        std::string reason;
        return decodePng(data, size, image, reason, order);
    } catch (...) {
        return false;
    }
}

}  // namespace textures
