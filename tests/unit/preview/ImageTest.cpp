#include "preview/ImageMath.h"
#include "preview/ImagePixels.h"

#include <gtest/gtest.h>

using namespace preview;

TEST(ImageType, ExtensionDecidesCaseInsensitivelyAndOnlyAfterTheLastDot) {
    EXPECT_EQ(IMG_JPG, TypeFromFileName(L"C:\\skin\\photo.JPEG"));
    EXPECT_EQ(IMG_JPG, TypeFromFileName(L"a.jfif"));
    EXPECT_EQ(IMG_TIF, TypeFromFileName(L"a.tiff"));
    EXPECT_EQ(IMG_PNG, TypeFromFileName(L"dir.jpg\\focus.Png"));
    EXPECT_EQ(IMG_UNKNOWN, TypeFromFileName(L"noextension"));
    EXPECT_EQ(IMG_UNKNOWN, TypeFromFileName(L"a.png.bak"));
    EXPECT_EQ(IMG_UNKNOWN, TypeFromFileName(L"trailing."));
    EXPECT_EQ(IMG_TGA, TypeFromFileName(L"a.tga"));
    // Types without a GDI+ codec cannot be loaded.
    EXPECT_FALSE(HasGdiplusCodec(TypeFromFileName(L"a.tga")));
    EXPECT_FALSE(HasGdiplusCodec(TypeFromFileName(L"noextension")));
    EXPECT_FALSE(HasGdiplusCodec(99));
    for (ImageType t : {IMG_BMP, IMG_JPG, IMG_GIF, IMG_TIF, IMG_PNG, IMG_ICO}) {
        EXPECT_TRUE(HasGdiplusCodec(t)) << t;
    }
}

TEST(FitInto, ShrinksKeepingAspectAndCentresButNeverEnlarges) {
    EXPECT_EQ((ImageRect{0, 10, 40, 30}), FitInto(100, 50, 0, 0, 40, 40));
    EXPECT_EQ((ImageRect{10, 15, 30, 25}), FitInto(20, 10, 0, 0, 40, 40));
    // Offset frame, tall image.
    EXPECT_EQ((ImageRect{119, 200, 120, 300}), FitInto(10, 1000, 100, 200, 140, 300));
    // A sliver never collapses to nothing.
    EXPECT_EQ((ImageRect{0, 4, 10, 5}), FitInto(10000, 1, 0, 0, 10, 10));
    // Empty picture or frame.
    EXPECT_EQ(ImageRect{}, FitInto(0, 10, 0, 0, 40, 40));
    EXPECT_EQ(ImageRect{}, FitInto(10, 10, 5, 0, 5, 40));
    EXPECT_EQ(ImageRect{}, FitInto(10, 10, 0, 40, 40, 0));
    // Frames spanning most of the int range do not overflow.
    const ImageRect wide = FitInto(10, 10, -2000000000, 0, 2000000000, 10);
    EXPECT_EQ(-5, wide.left);
    EXPECT_EQ(5, wide.right);
}

TEST(ImagePixels, CreateAcceptsOnlyPositiveSizesAndDepths8_24_32) {
    ImagePixels img;
    ASSERT_TRUE(img.Create(4, 4, 24));
    EXPECT_FALSE(img.Create(0, 10, 24));
    EXPECT_FALSE(img.HasPixels());
    EXPECT_EQ(0, img.Width());
    EXPECT_EQ(0, img.ColorBits());
    EXPECT_FALSE(img.Create(10, 10, 16));
    EXPECT_FALSE(img.HasPixels());
    EXPECT_FALSE(img.Create(10, -1, 32));
    // Sizes whose byte count does not fit a bitmap fail instead of wrapping.
    EXPECT_FALSE(img.Create(0x7FFFFFFF, 0x7FFFFFFF, 32));
    EXPECT_FALSE(img.Create(20000, 30000, 32));
    EXPECT_FALSE(img.HasPixels());
}

TEST(ImagePixels, RowsCountFromTheTopOverPaddedBottomUpZeroedStorage) {
    ImagePixels img;
    ASSERT_TRUE(img.Create(3, 2, 24));
    EXPECT_EQ(12u, img.Stride());  // 9 bytes padded to 32 bits
    EXPECT_EQ(img.GetMemStart() + 12, img.GetBits(0));
    EXPECT_EQ(img.GetMemStart(), img.GetBits(1));
    EXPECT_EQ(img.GetBits(0) + 6, img.GetBits(2, 0));
    EXPECT_EQ(nullptr, img.GetBits(2));
    EXPECT_EQ(nullptr, img.GetBits(3, 0));
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(0, img.GetMemStart()[i]);
    }
    EXPECT_EQ(nullptr, img.Palette());

    ASSERT_TRUE(img.Create(5, 1, 8));
    EXPECT_EQ(8u, img.Stride());
    ASSERT_NE(nullptr, img.Palette());
    EXPECT_EQ(0x80, img.Palette()[0x80 * 4 + 0]);
    EXPECT_EQ(0x80, img.Palette()[0x80 * 4 + 2]);
    EXPECT_EQ(255, img.Palette()[0x80 * 4 + 3]);
}

TEST(Premultiply, ScalesColoursByAlphaRoundingDownOnly32BitImages) {
    std::uint8_t px[4] = {200, 100, 50, 128};
    PremultiplyPixel(px);
    EXPECT_EQ(100, px[0]);
    EXPECT_EQ(50, px[1]);
    EXPECT_EQ(25, px[2]);
    EXPECT_EQ(128, px[3]);

    ImagePixels img;
    ASSERT_TRUE(img.Create(2, 2, 32));
    const std::uint8_t pixels[4][4] = {{10, 20, 30, 255}, {10, 20, 30, 0}, {255, 255, 255, 1}, {99, 98, 97, 254}};
    for (int i = 0; i < 4; ++i) {
        std::copy(pixels[i], pixels[i] + 4, img.GetBits(i % 2, i / 2));
    }
    PremultiplyAlpha effect;
    img.ApplyEffect(effect);
    const std::uint8_t want[4][4] = {{10, 20, 30, 255}, {0, 0, 0, 0}, {1, 1, 1, 1}, {98, 97, 96, 254}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(std::equal(want[i], want[i] + 4, img.GetBits(i % 2, i / 2))) << i;
    }

    ImagePixels rgb;
    ASSERT_TRUE(rgb.Create(1, 1, 24));
    rgb.GetBits(0)[0] = 200;
    EXPECT_FALSE(effect.Accepts(rgb));
    rgb.ApplyEffect(effect);
    EXPECT_EQ(200, rgb.GetBits(0)[0]);
    ImagePixels empty;
    EXPECT_FALSE(effect.Accepts(empty));
}
