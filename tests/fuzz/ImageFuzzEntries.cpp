#include "ImageFuzzEntries.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "textures/ImageFiles.h"
#include "textures/PixelImage.h"
#include "textures/PngCodec.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// What was decoded survives a PNG round trip unchanged.
void checkRoundTrip(const textures::Image32& image) {
    check(image.pixels.size() == image.stride() * image.height, "the pixels fill the image");
    std::vector<std::uint8_t> png;
    check(textures::encodePng(image, png, textures::fastPngSettings()), "a decoded image encodes");
    textures::Image32 back;
    check(textures::decodePng(png.data(), png.size(), back, image.order), "an encoded image decodes");
    check(back.width == image.width && back.height == image.height && back.pixels == image.pixels,
          "the round trip keeps every pixel");
}

// A decoded image file: sized as it says, and (when small) a round trip.
void checkDecoded(const textures::Image32& image) {
    check(!image.empty() && textures::withinImageLimits(image.width, image.height),
          "decoded images have a size within the limits");
    if (static_cast<std::size_t>(image.width) * image.height <= 64 * 64)
        checkRoundTrip(image);
    else
        check(image.pixels.size() == image.stride() * image.height, "the pixels fill the image");
}

}  // namespace

int fuzzFrameDecoding(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    static const std::uint32_t kCodes[] = {1, 2, 4, 8, 16, 32, 128, 64};
    const std::uint32_t code = kCodes[data[0] % 8];
    const std::uint32_t width = (data[1] | (data[2] & 0x0F) << 8);
    const std::uint32_t height = (data[3] | (data[4] & 0x0F) << 8);
    textures::Image32 image;
    if (textures::decodeFrame(code, width, height, data + 6, size - 6, image)) {
        check(image.width == width && image.height == height, "frames decode at their own size");
        if (static_cast<std::size_t>(width) * height <= 64 * 64) checkRoundTrip(image);
    }
    return 0;
}

int fuzzPngDecoding(const std::uint8_t* data, std::size_t size) {
    textures::Image32 image;
    if (textures::decodePng(data, size, image, textures::ChannelOrder::Rgba) &&
        static_cast<std::size_t>(image.width) * image.height <= 256 * 256)
        checkRoundTrip(image);
    return 0;
}

int fuzzJpegDecoding(const std::uint8_t* data, std::size_t size) {
    textures::Image32 image;
    std::string reason;
    if (textures::decodeJpeg(data, size, image, reason, textures::ChannelOrder::Rgba))
        checkDecoded(image);
    else
        check(!reason.empty() && image.pixels.empty(), "a refused JPEG says why and leaves nothing");
    return 0;
}

int fuzzGifDecoding(const std::uint8_t* data, std::size_t size) {
    std::vector<textures::ImageFrame> frames;
    std::string reason;
    if (textures::decodeGif(data, size, frames, reason, textures::ChannelOrder::Rgba)) {
        check(!frames.empty(), "a decoded GIF has frames");
        std::uint64_t pixels = 0;
        for (const textures::ImageFrame& frame : frames) {
            check(frame.image.width == frames.front().image.width && frame.image.height == frames.front().image.height,
                  "every frame is the whole picture");
            pixels += std::uint64_t{frame.image.width} * frame.image.height;
        }
        check(pixels <= textures::kLargestImagePixels, "the frames stay within the pixel limit");
        checkDecoded(frames.back().image);
    } else {
        check(!reason.empty() && frames.empty(), "a refused GIF says why and leaves nothing");
    }
    return 0;
}

int fuzzBmpDecoding(const std::uint8_t* data, std::size_t size) {
    textures::Image32 image;
    std::string reason;
    if (textures::decodeBmp(data, size, image, reason, textures::ChannelOrder::Rgba))
        checkDecoded(image);
    else
        check(!reason.empty() && image.pixels.empty(), "a refused BMP says why and leaves nothing");
    return 0;
}
