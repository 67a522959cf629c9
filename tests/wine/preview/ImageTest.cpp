// The GDI/GDI+ image class: loading by extension, depth choice, resources,
// copying bitmaps and drawing.
#include "PreviewSupport.h"

#include "Host.h"
#include "preview/BitmapImage_win.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace previewtest;

namespace {

std::wstring sampleMedia(const wchar_t* name) { return sampleSkinFolder() + L"\\media\\" + name; }

TEST(BitmapImage, LoadsByExtensionIntoTheDepthTheFileNeeds) {
    BitmapImage image;
    ASSERT_TRUE(image.Load(sampleMedia(L"buttons\\focus.png")));  // has alpha
    EXPECT_EQ(64, image.Width());
    EXPECT_EQ(32, image.Height());
    EXPECT_EQ(32, image.ColorBits());
    EXPECT_NE(nullptr, image.GetHandle());
    // The fading corner keeps its alpha; the middle is opaque.
    EXPECT_EQ(80, image.GetBits(0, 0)[3]);
    EXPECT_EQ(255, image.GetBits(32, 16)[3]);

    ASSERT_TRUE(image.Load(sampleMedia(L"misc\\logo.bmp")));
    EXPECT_EQ(47, image.Width());
    EXPECT_EQ(24, image.ColorBits());
    // The top left stripe is orange: rows come out from the top.
    const std::uint8_t* p = image.GetBits(0, 0);
    EXPECT_EQ(0, p[0]);
    EXPECT_EQ(160, p[1]);
    EXPECT_EQ(255, p[2]);

    ASSERT_TRUE(image.Load(sampleMedia(L"backgrounds\\home.jpg")));
    EXPECT_EQ(128, image.Width());
    EXPECT_EQ(24, image.ColorBits());
}

TEST(BitmapImage, NamesWithoutACodecOrUnreadableFilesFailAndKeepTheImage) {
    TempFolder folder;
    const std::wstring copy = folder.path() + L"\\photo.JPEG";
    ASSERT_TRUE(::CopyFileW(sampleMedia(L"backgrounds\\home.jpg").c_str(), copy.c_str(), FALSE));
    BitmapImage image;
    EXPECT_TRUE(image.Load(copy));  // upper-case extension, folder outside the ANSI code page
    EXPECT_EQ(72, image.Height());

    const std::wstring tga = folder.path() + L"\\a.tga";
    ASSERT_TRUE(::CopyFileW(sampleMedia(L"misc\\arrow.bmp").c_str(), tga.c_str(), FALSE));
    EXPECT_FALSE(image.Load(tga));
    EXPECT_FALSE(image.Load(folder.path() + L"\\noextension"));
    EXPECT_FALSE(image.Load(folder.path() + L"\\missing.png"));
    const std::string junk = "not a picture";
    ASSERT_TRUE(writeFile(folder.path() + L"\\junk.png", junk));
    EXPECT_FALSE(image.Load(folder.path() + L"\\junk.png"));
    EXPECT_EQ(128, image.Width());  // failed loads leave the last image alone
}

TEST(BitmapImage, BackgroundResourceAndBitmapCopiesKeepTheirPixelsUpright) {
    const HMODULE plugin = ::LoadLibraryW((host::exeFolder() + L"\\plugins\\Quorrel\\Quorrel.dll").c_str());
    ASSERT_NE(nullptr, plugin);
    BitmapImage image;
    ASSERT_TRUE(image.LoadBitmapResource(plugin, 128));
    EXPECT_EQ(16, image.Width());
    EXPECT_EQ(24, image.ColorBits());
    const std::uint8_t* p = image.GetBits(15, 15);
    EXPECT_EQ(200, p[0]);
    EXPECT_EQ(208, p[1]);
    EXPECT_EQ(212, p[2]);
    EXPECT_FALSE(image.LoadBitmapResource(plugin, 4242));
    EXPECT_FALSE(image.HasPixels());
    ::FreeLibrary(plugin);

    // A 32-bit top-down DIB: copied as it is, first row first.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, dib);
    const std::uint32_t pixels[4] = {0x80102030, 0x01020304, 0xFF405060, 0x00000000};
    std::memcpy(bits, pixels, sizeof pixels);
    ASSERT_TRUE(image.CopyFromBitmap(dib));
    EXPECT_EQ(32, image.ColorBits());
    std::uint32_t got = 0;
    std::memcpy(&got, image.GetBits(0, 0), 4);
    EXPECT_EQ(0x80102030u, got);
    std::memcpy(&got, image.GetBits(0, 1), 4);
    EXPECT_EQ(0xFF405060u, got);
    ::DeleteObject(dib);
}

TEST(BitmapImage, DrawBlends32BitImagesAndStretches24BitOnesOpaque) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP target = ::CreateCompatibleBitmap(screen, 8, 4);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, target);
    RECT all{0, 0, 8, 4};
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::FillRect(dc, &all, white);

    // Half-transparent red, premultiplied: over white it gives pink.
    BitmapImage translucent;
    ASSERT_TRUE(translucent.Create(1, 1, 32));
    std::uint8_t* p = translucent.GetBits(0, 0);
    p[0] = 0;
    p[1] = 0;
    p[2] = 255;
    p[3] = 128;
    preview::PremultiplyAlpha premultiply;
    translucent.ApplyEffect(premultiply);
    translucent.Draw(dc, 0, 0, 4, 4);
    const COLORREF blended = ::GetPixel(dc, 1, 1);
    EXPECT_NEAR(255, GetRValue(blended), 2);
    EXPECT_NEAR(127, GetGValue(blended), 2);

    // The same bytes at 24 bits: the alpha byte means nothing, stretched over 4 x 4.
    BitmapImage opaque;
    ASSERT_TRUE(opaque.Create(1, 1, 24));
    p = opaque.GetBits(0, 0);
    p[0] = 0;
    p[1] = 0;
    p[2] = 255;
    opaque.Draw(dc, 4, 0, 8, 4);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(dc, 7, 3));

    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);
}

}  // namespace
