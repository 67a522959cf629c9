// JPEG files into 32-bit pixels with libjpeg-turbo: greyscale and colour
// files straight into the wanted channel order, CMYK and YCCK ones (as
// print workflows write them) converted here.
#include <csetjmp>
#include <cstdio>
#include <limits>

#include <jpeglib.h>
#include <jerror.h>

#include "textures/ImageFiles.h"

namespace textures {
namespace {

// libjpeg reports errors by calling error_exit, which must not return: it
// jumps back to the setjmp of the decoding call. Everything that lives across
// that setjmp is plain data owned outside it, so no destructor is skipped.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool tooLarge;  // the message is a whole reason of its own, not damage
};

// The library's largest buffers for a progressive file hold every
// coefficient of the image (two bytes a sample): enough here for the largest
// image allowed in three full-resolution channels, and room for its smaller
// buffers. A file whose components would need more is refused instead of
// allocated.
constexpr long kMostLibraryBytes = static_cast<long>(kLargestImagePixels * 3 * 2 + (std::uint64_t{16} << 20));

[[noreturn]] void stopDecoding(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (info->err->msg_code == JERR_NO_BACKING_STORE) {
        // What the library says when its memory limit is reached.
        std::snprintf(errors->message, sizeof errors->message,
                      "image too large: its channels need more than %ld MiB to decode", kMostLibraryBytes >> 20);
        errors->tooLarge = true;
    } else {
        (*info->err->format_message)(info, errors->message);
    }
    std::longjmp(errors->jump, 1);
}

// Warnings about recoverable oddities (extra bytes between markers) are let
// pass; data that ends before the image does is damage, as is any warning
// about corrupt data that the library would paint over with grey.
void judgeWarning(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC) stopDecoding(info);
    ++info->err->num_warnings;
}

// Called by the library while it reads the file, before every row of blocks:
// the place to stop a file with more scans than any real one has.
void countScans(j_common_ptr info) {
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number <= kMostJpegScans) return;
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMostJpegScans);
    std::longjmp(errors->jump, 1);
}

std::uint8_t scaled(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

struct Decoder {
    jpeg_decompress_struct info;
    JpegErrors errors;
    jpeg_progress_mgr progress;
    bool created = false;
    bool tooLarge = false;  // the size in the header, below, is beyond the limits
    std::uint32_t width = 0, height = 0;
    const char* failure = nullptr;  // a reason of our own, when the library reported none
};

// The part that may be left by longjmp: only plain locals.
bool decodeInto(Decoder& d, const std::uint8_t* data, std::size_t size, Image32& image, ChannelOrder order) {
    if (setjmp(d.errors.jump)) return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    d.info.mem->max_memory_to_use = kMostLibraryBytes;
    d.progress.progress_monitor = countScans;
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    if (!withinImageLimits(d.info.image_width, d.info.image_height)) {
        d.tooLarge = true;
        d.width = d.info.image_width;
        d.height = d.info.image_height;
        return false;
    }
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : order == ChannelOrder::Bgra ? JCS_EXT_BGRA : JCS_EXT_RGBA;
    jpeg_start_decompress(&d.info);
    if (!allocate(image, d.info.output_width, d.info.output_height, order)) {
        d.failure = "out of memory";
        return false;
    }
    // Four bytes per pixel either way: C, M, Y, K are converted in place.
    const std::size_t stride = image.stride();
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = image.pixels.data() + static_cast<std::size_t>(d.info.output_scanline) * stride;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1) {
            d.failure = "damaged JPEG data";
            return false;
        }
    }
    jpeg_finish_decompress(&d.info);
    if (cmyk) {
        // Adobe's files store the inks inverted (0 is full ink).
        const bool inverted = d.info.saw_Adobe_marker != 0;
        const std::size_t red = order == ChannelOrder::Bgra ? 2 : 0, blue = 2 - red;
        std::uint8_t* p = image.pixels.data();
        for (std::size_t i = 0; i < image.pixels.size(); i += 4, p += 4) {
            unsigned c = p[0], m = p[1], y = p[2], k = p[3];
            if (!inverted) {
                c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
            }
            p[red] = scaled(c, k);
            p[1] = scaled(m, k);
            p[blue] = scaled(y, k);
            p[3] = 255;
        }
    }
    return true;
}

}  // namespace

bool decodeJpeg(const std::uint8_t* data, std::size_t size, Image32& image, std::string& reason,
                ChannelOrder order) noexcept {
    image = Image32{};
    if (data == nullptr || size == 0 || size > std::numeric_limits<unsigned long>::max()) {
        reason = "not a JPEG image";
        return false;
    }
    Decoder d{};
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = stopDecoding;
    d.errors.manager.emit_message = judgeWarning;
    d.errors.message[0] = '\0';
    d.errors.tooLarge = false;
    const bool decoded = decodeInto(d, data, size, image, order);
    if (d.created) jpeg_destroy_decompress(&d.info);
    if (decoded) return true;
    image = Image32{};
    try {
        if (d.tooLarge)
            reason = tooLargeReason(d.width, d.height);
        else if (d.errors.tooLarge)
            reason = d.errors.message;
        else
            reason = d.failure != nullptr ? d.failure : std::string("damaged JPEG data: ") + d.errors.message;
    } catch (...) {
    }
    return false;
}

}  // namespace textures
