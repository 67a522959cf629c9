// The bounds every decoder keeps on damaged or hostile files: a size claimed
// beyond the limits is refused with its reason before anything is allocated
// for it, and a JPEG with more scans than any real one is refused.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>

#include <gtest/gtest.h>

#include "ImageFileWriter.h"
#include "OrtWriter.h"
#include "textures/ImageFiles.h"

using namespace ortwriter;

// AddressSanitizer's hooks on every allocation; absent in a build without it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*)) __attribute__((weak));

namespace {

std::atomic<std::size_t> largestAllocation{0};

void noteAllocation(const volatile void*, std::size_t size) {
    std::size_t seen = largestAllocation.load();
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
}

void ignoreFree(const volatile void*) {}

bool watchAllocations() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                                  __sanitizer_install_malloc_and_free_hooks(noteAllocation, ignoreFree) != 0;
    largestAllocation = 0;
    return installed;
}

void putBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * (count - 1 - i)));
}

void putLittleEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where a JPEG marker (0xFF, code) starts.
std::size_t findMarker(const Bytes& jpeg, std::uint8_t code, bool last = false) {
    std::size_t found = jpeg.size();
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            found = i;
            if (!last) break;
        }
    }
    return found;
}

Image picture(std::uint32_t w, std::uint32_t h) {
    Image image{w, h, Bytes(static_cast<std::size_t>(w) * h * 4)};
    for (std::size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = static_cast<std::uint8_t>(i * 29);
    return image;
}

// A small file of each kind whose header claims the given size.
std::vector<std::pair<std::string, Bytes>> filesClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes png = pngFile(picture(4, 3));
    putBigEndian(png, 16, width, 4);  // IHDR, right after the signature
    putBigEndian(png, 20, height, 4);
    Bytes jpeg = jpegFile(picture(8, 8), 80);
    const std::size_t frame = findMarker(jpeg, 0xC0);  // SOF0: length, precision, height, width
    putBigEndian(jpeg, frame + 5, height, 2);
    putBigEndian(jpeg, frame + 7, width, 2);
    Bytes gif = gifFile(3, 2, {{{0, 0, 0}}, {{255, 255, 255}}}, {GifFrame{0, 0, 3, 2, {0, 1, 0, 1, 0, 1}}}, false);
    putLittleEndian(gif, 6, width, 2);  // the logical screen
    putLittleEndian(gif, 8, height, 2);
    Bytes bmp = bmpFile(picture(4, 3), BmpLayout::Rgb24BottomUp);
    putLittleEndian(bmp, 18, width, 4);
    putLittleEndian(bmp, 22, height, 4);
    return {{"PNG", png}, {"JPEG", jpeg}, {"GIF", gif}, {"BMP", bmp}};
}

}  // namespace

TEST(ImageLimits, HeadersClaimingAHugeSizeAreRefusedWithTheReasonBeforeAnyLargeAllocation) {
    const bool watched = watchAllocations();
    // One side too long; then sides within bounds but 1 GiB of pixels.
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{16385, 1}, {16384, 16384}};
    for (const auto& [width, height] : sizes) {
        for (const auto& [kind, bytes] : filesClaiming(width, height)) {
            SCOPED_TRACE(kind + " of " + std::to_string(width) + " x " + std::to_string(height));
            textures::DecodedImage image;
            std::string reason;
            largestAllocation = 0;
            EXPECT_FALSE(textures::decodeImageFile(bytes.data(), bytes.size(), image, reason));
            const std::size_t largest = largestAllocation;
            EXPECT_EQ(reason, textures::tooLargeReason(width, height));
            EXPECT_TRUE(image.frames.empty());
            if (watched) {
                EXPECT_LT(largest, std::size_t{1} << 20) << "nothing of the claimed size is allocated";
            }
        }
    }
    EXPECT_EQ(textures::tooLargeReason(16385, 1),
              "image too large: 16385 x 1 pixels (at most 16384 per side and 67108864 in all)");
    if (!watched) GTEST_SKIP() << "allocations are only watched under AddressSanitizer";
}

TEST(ImageLimits, AJpegWithMoreScansThanTheLimitIsRefused) {
    // A progressive file whose first scan (the DC values, which read no
    // earlier scan's bits) is repeated: each repeat is one more pass over
    // the whole image for the decoder.
    const Bytes jpeg = jpegFile(picture(17, 8), 60, true);
    const std::size_t firstScan = findMarker(jpeg, 0xDA), end = findMarker(jpeg, 0xD9, true);
    std::size_t scanEnd = firstScan + 2;
    while (scanEnd + 1 < end &&
           !(jpeg[scanEnd] == 0xFF && jpeg[scanEnd + 1] != 0 && (jpeg[scanEnd + 1] < 0xD0 || jpeg[scanEnd + 1] > 0xD7)))
        ++scanEnd;
    ASSERT_LT(scanEnd, end);
    Bytes many(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    for (int i = 0; i < textures::kMostJpegScans; ++i)
        many.insert(many.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(firstScan),
                    jpeg.begin() + static_cast<std::ptrdiff_t>(scanEnd));
    many.insert(many.end(), {0xFF, 0xD9});

    textures::Image32 image;
    std::string reason;
    EXPECT_FALSE(textures::decodeJpeg(many.data(), many.size(), image, reason));
    EXPECT_EQ(reason, "damaged JPEG data: more than 1000 scans");
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(textures::decodeJpeg(jpeg.data(), jpeg.size(), image, reason)) << reason;
}
