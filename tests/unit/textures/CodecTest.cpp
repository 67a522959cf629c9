// Frame decoding against pixels worked out by hand from the block rules, and
// PNG encoding read back through the same library.
#include "textures/PixelImage.h"
#include "textures/PixelLayout.h"
#include "textures/PngCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <vector>

using namespace textures;

namespace {

using Rgba = std::array<int, 4>;

Rgba pixelAt(const Image32& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    if (image.order == ChannelOrder::Bgra) return {p[2], p[1], p[0], p[3]};
    return {p[0], p[1], p[2], p[3]};
}

// Interpolated block colours may be rounded either way by a conforming decoder.
void expectNear(const Rgba& got, const Rgba& want, int tolerance, const char* what) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(got[c], want[c], tolerance) << what << " channel " << c;
}

// A colour block with the four indices 0, 1, 2, 3 along every row.
std::vector<std::uint8_t> colourBlock(std::uint16_t c0, std::uint16_t c1) {
    return {static_cast<std::uint8_t>(c0),
            static_cast<std::uint8_t>(c0 >> 8),
            static_cast<std::uint8_t>(c1),
            static_cast<std::uint8_t>(c1 >> 8),
            0xE4,
            0xE4,
            0xE4,
            0xE4};
}

constexpr std::uint16_t kRed = 0xF800;
constexpr std::uint16_t kBlue = 0x001F;

}  // namespace

TEST(FrameDecoding, Dxt1InBothModesDxt3AndDxt5FollowTheBlockRules) {
    Image32 image;
    // DXT1, c0 > c1: four opaque colours, two of them interpolated in thirds.
    std::vector<std::uint8_t> block = colourBlock(kRed, kBlue);
    ASSERT_TRUE(decodeFrame(format::kDxt1, 4, 4, block.data(), block.size(), image));
    expectNear(pixelAt(image, 0, 2), {255, 0, 0, 255}, 0, "c0");
    expectNear(pixelAt(image, 1, 2), {0, 0, 255, 255}, 0, "c1");
    expectNear(pixelAt(image, 2, 2), {170, 0, 85, 255}, 1, "2/3 c0 + 1/3 c1");
    expectNear(pixelAt(image, 3, 2), {85, 0, 170, 255}, 1, "1/3 c0 + 2/3 c1");

    // DXT1, c0 <= c1: three colours and transparent black (the 1-bit alpha mode).
    block = colourBlock(kBlue, kRed);
    ASSERT_TRUE(decodeFrame(format::kDxt1, 4, 4, block.data(), block.size(), image));
    expectNear(pixelAt(image, 0, 0), {0, 0, 255, 255}, 0, "c0");
    expectNear(pixelAt(image, 2, 0), {127, 0, 127, 255}, 1, "half way");
    expectNear(pixelAt(image, 3, 0), {0, 0, 0, 0}, 0, "transparent");

    // DXT3: explicit 4-bit alpha, and the colour block always in four-colour mode.
    std::vector<std::uint8_t> dxt3 = {0xF0, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<std::uint8_t> colours = colourBlock(kBlue, kRed);
    dxt3.insert(dxt3.end(), colours.begin(), colours.end());
    ASSERT_TRUE(decodeFrame(format::kDxt3, 4, 4, dxt3.data(), dxt3.size(), image));
    expectNear(pixelAt(image, 0, 0), {0, 0, 255, 0}, 0, "alpha 0");
    expectNear(pixelAt(image, 1, 0), {255, 0, 0, 255}, 0, "alpha 15");
    expectNear(pixelAt(image, 2, 0), {85, 0, 170, 136}, 1, "alpha 8, a third of the way");
    expectNear(pixelAt(image, 3, 0), {170, 0, 85, 0}, 1, "no transparent colour in DXT3");

    // DXT5: interpolated alpha, eight steps (a0 > a1) and six steps plus 0 and 255.
    const auto dxt5Block = [&](std::uint8_t a0, std::uint8_t a1, std::uint32_t firstFourIndices) {
        std::vector<std::uint8_t> b = {
            a0, a1, static_cast<std::uint8_t>(firstFourIndices), static_cast<std::uint8_t>(firstFourIndices >> 8), 0, 0,
            0,  0};
        b.insert(b.end(), colours.begin(), colours.end());
        return b;
    };
    // Indices 0, 1, 2, 7 for the first four pixels (3 bits each).
    std::vector<std::uint8_t> dxt5 = dxt5Block(210, 0, 0 | 1 << 3 | 2 << 6 | 7 << 9);
    ASSERT_TRUE(decodeFrame(format::kDxt5, 4, 4, dxt5.data(), dxt5.size(), image));
    EXPECT_EQ(pixelAt(image, 0, 0)[3], 210);
    EXPECT_EQ(pixelAt(image, 1, 0)[3], 0);
    EXPECT_EQ(pixelAt(image, 2, 0)[3], 180);
    EXPECT_EQ(pixelAt(image, 3, 0)[3], 30);
    EXPECT_EQ(pixelAt(image, 0, 1)[3], 210) << "index 0 elsewhere";
    // Indices 2, 5, 6, 7 with a0 <= a1.
    dxt5 = dxt5Block(0, 200, 2 | 5 << 3 | 6 << 6 | 7 << 9);
    ASSERT_TRUE(decodeFrame(format::kDxt5Alt, 4, 4, dxt5.data(), dxt5.size(), image));
    EXPECT_NEAR(pixelAt(image, 0, 0)[3], 40, 1);
    EXPECT_NEAR(pixelAt(image, 1, 0)[3], 160, 1);
    EXPECT_EQ(pixelAt(image, 2, 0)[3], 0);
    EXPECT_EQ(pixelAt(image, 3, 0)[3], 255);
}

TEST(FrameDecoding, PlainFormatsOddSizesAndBadFrames) {
    Image32 image;
    // 32-bit B G R A, copied as is.
    const std::vector<std::uint8_t> bgra = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(decodeFrame(format::kBgra32, 2, 1, bgra.data(), bgra.size(), image));
    expectNear(pixelAt(image, 1, 0), {7, 6, 5, 8}, 0, "bgra");
    // Alpha only: black with that alpha.
    const std::vector<std::uint8_t> alpha = {0x10, 0x80, 0, 0, 0xFF, 0x01, 0, 0};
    ASSERT_TRUE(decodeFrame(format::kAlpha8, 2, 2, alpha.data(), alpha.size() - 2, image));
    expectNear(pixelAt(image, 1, 0), {0, 0, 0, 0x80}, 0, "a8");
    expectNear(pixelAt(image, 0, 1), {0, 0, 0, 0x00}, 0, "a8 second row");
    // R G B rows padded to 4 bytes: opaque.
    const std::vector<std::uint8_t> rgb = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                           10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    EXPECT_FALSE(decodeFrame(format::kRgb24, 3, 2, rgb.data(), rgb.size() - 1, image))
        << "the last row's padding counts";
    ASSERT_TRUE(decodeFrame(format::kRgb24, 3, 2, rgb.data(), rgb.size(), image));
    expectNear(pixelAt(image, 2, 0), {7, 8, 9, 255}, 0, "rgb");
    expectNear(pixelAt(image, 0, 1), {10, 11, 12, 255}, 0, "rgb after the padding");
    // A DXT frame whose sides are not whole blocks keeps only its own pixels.
    std::vector<std::uint8_t> blocks;
    for (int i = 0; i < 4; ++i) {
        const std::vector<std::uint8_t> b = colourBlock(i % 2 ? kRed : kBlue, 0);
        blocks.insert(blocks.end(), b.begin(), b.end());
    }
    ASSERT_TRUE(decodeFrame(format::kDxt1, 5, 7, blocks.data(), blocks.size(), image));
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 7u);
    expectNear(pixelAt(image, 4, 6), {255, 0, 0, 255}, 0, "last pixel from the fourth block");

    // Unknown codes, short data, empty and oversized frames fail.
    EXPECT_FALSE(decodeFrame(64, 2, 1, bgra.data(), bgra.size(), image));
    EXPECT_FALSE(decodeFrame(format::kBgra32, 2, 1, bgra.data(), bgra.size() - 1, image));
    EXPECT_FALSE(decodeFrame(format::kBgra32, 0, 1, bgra.data(), bgra.size(), image));
    EXPECT_FALSE(decodeFrame(format::kAlpha8, kLargestSide + 1, 1, std::vector<std::uint8_t>(kLargestSide + 1).data(),
                             kLargestSide + 1, image));
}

TEST(PngCodec, WrittenImagesReadBackIdenticalInEitherOrderAndAtEitherSetting) {
    std::mt19937 random(7);
    Image32 image;
    ASSERT_TRUE(allocate(image, 61, 37, ChannelOrder::Bgra));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        // Smooth runs with noise: every filter has something to do.
        image.pixels[i] = static_cast<std::uint8_t>((i / 4) % 61 * 3 + (random() % 5));
    }
    for (const PngSettings& settings : {PngSettings{}, fastPngSettings()}) {
        for (const ChannelOrder order : {ChannelOrder::Bgra, ChannelOrder::Rgba}) {
            Image32 source = image;
            convertOrder(source, order);
            std::vector<std::uint8_t> png;
            ASSERT_TRUE(encodePng(source, png, settings));
            ASSERT_GT(png.size(), 8u);
            EXPECT_EQ(png[1], 'P');
            Image32 back;
            ASSERT_TRUE(decodePng(png.data(), png.size(), back, ChannelOrder::Bgra));
            EXPECT_EQ(back.width, image.width);
            EXPECT_EQ(back.height, image.height);
            EXPECT_EQ(back.pixels, image.pixels);
        }
    }
    // Abandoned between rows: no bytes.
    std::vector<std::uint8_t> png;
    EXPECT_FALSE(encodePng(image, png, {}, [] { return false; }));
    EXPECT_TRUE(png.empty());
    EXPECT_FALSE(encodePng(Image32{}, png));
    // Not a PNG, or a damaged one.
    ASSERT_TRUE(encodePng(image, png));
    Image32 back;
    EXPECT_FALSE(decodePng(png.data(), png.size() / 2, back));
    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 0, 0};
    EXPECT_FALSE(decodePng(junk, sizeof junk, back));
}
