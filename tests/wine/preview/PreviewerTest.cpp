// The previewer in the stand-in editor with the real plugin: the caret moves
// onto lines of a skin copied into a folder named outside the ANSI code page,
// and the frames the panel presents are compared with the images' pixels.
#include "PreviewSupport.h"

#include "Host.h"
#include "OrtWriter.h"
#include "preview/BitmapImage_win.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cwchar>

using namespace previewtest;

namespace {

// Colours a DXT block keeps exactly (every channel 0 or 255).
constexpr std::uint32_t kBlockColours[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                            0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000};

// A GIF of the block image's colours (one palette index per pixel), written
// by hand: 9-bit codes that are all literals, with a clear code often enough
// that the code size never grows.
std::string blockGif() {
    const std::uint32_t width = 16, height = 8;
    std::string gif = "GIF89a";
    auto put16 = [&gif](std::uint32_t v) {
        gif.push_back(static_cast<char>(v & 0xFF));
        gif.push_back(static_cast<char>(v >> 8));
    };
    put16(width);
    put16(height);
    gif += std::string("\xF7\x00\x00", 3);  // a global table of 256 colours
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = kBlockColours[i % 8];
        gif.push_back(static_cast<char>(c >> 16));
        gif.push_back(static_cast<char>(c >> 8));
        gif.push_back(static_cast<char>(c));
    }
    gif.push_back(',');
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    gif.push_back('\0');
    gif.push_back('\x08');  // minimum code size
    std::string data;
    std::uint32_t bits = 0, count = 0;
    auto code = [&](std::uint32_t c) {
        bits |= c << count;
        count += 9;
        while (count >= 8) {
            data.push_back(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::uint32_t i = 0; i < width * height; ++i) {
        if (i % 200 == 0) code(256);
        const std::uint32_t x = i % width, y = i / width;
        code((x / 4 + (y / 4) * 4) % 8);
    }
    code(257);
    if (count > 0) data.push_back(static_cast<char>(bits & 0xFF));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        gif.push_back(static_cast<char>(block.size()));
        gif += block;
    }
    gif.push_back('\0');
    gif.push_back(';');
    return gif;
}

// The image file's pixels as GDI+ reads them, 0xRRGGBB, rows from the top.
std::vector<std::uint32_t> gdiplusPixels(const std::wstring& file, std::uint32_t& width, std::uint32_t& height) {
    std::vector<std::uint32_t> pixels;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return pixels;
    {
        Gdiplus::Bitmap bitmap(file.c_str());
        width = bitmap.GetWidth();
        height = bitmap.GetHeight();
        Gdiplus::Rect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        Gdiplus::BitmapData data;
        if (bitmap.GetLastStatus() == Gdiplus::Ok &&
            bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
            for (UINT y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(data.Scan0) +
                                                                         static_cast<std::size_t>(y) * data.Stride);
                for (UINT x = 0; x < width; ++x) pixels.push_back(row[x] & 0xFFFFFF);
            }
            bitmap.UnlockBits(&data);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return pixels;
}

// This run stands for a machine without D3DX (the test's registration disables it).
bool d3dxDisabled() {
    wchar_t value[256] = {};
    ::GetEnvironmentVariableW(L"QUORREL_DLL_OVERRIDES", value, 256);
    return std::wcsstr(value, L"d3dx9_43=") != nullptr;
}

constexpr wchar_t kMenu[] = L"&Quorrel";
constexpr wchar_t kItem[] = L"&Ormu Image Previewer";

// 16 x 8 pixels, one colour per 4 x 4 block.
ortwriter::Image blockImage() {
    ortwriter::Image image;
    image.width = 16;
    image.height = 8;
    image.rgba.resize(16 * 8 * 4);
    for (std::uint32_t y = 0; y < 8; ++y) {
        for (std::uint32_t x = 0; x < 16; ++x) {
            const std::uint32_t c = kBlockColours[(x / 4 + (y / 4) * 4) % 8];
            std::uint8_t* p = &image.rgba[(y * 16 + x) * 4];
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
            p[3] = static_cast<std::uint8_t>(0x40 + x);
        }
    }
    return image;
}

struct BundleFormat {
    const char* name;
    std::uint32_t code;
    bool compress;
};
constexpr BundleFormat kFormats[] = {
    {"formats/dxt1.png", ortwriter::kDxt1, false},
    {"formats/dxt3.png", ortwriter::kDxt3, true},
    {"formats/dxt5.png", ortwriter::kDxt5, false},
    {"formats/dxt5alt.png", ortwriter::kDxt5Alt, true},
    {"formats/bgra.png", ortwriter::kBgra32, true},
    {"formats/alpha.png", ortwriter::kAlpha8, false},
    {"formats/rgb.png", ortwriter::kRgb24, true},
    {"formats/unknown.png", 64, false},
    {"formats/\xC3\xA9t\xC3\xA9.png", ortwriter::kBgra32, false},  // UTF-8, as the skin's files are
};

class Previewer : public ::testing::Test {
protected:
    void SetUp() override {
        skin_ = folder_.path() + L"\\skin";
        ASSERT_TRUE(copyTree(sampleSkinFolder(), skin_));
        writeBundle();
        std::string formats = "<window>\n";
        for (const BundleFormat& f : kFormats) {
            formats += std::string("  <texture>") + f.name + "</texture>\n";
        }
        formats += "</window>\n";
        ASSERT_TRUE(writeFile(skin_ + L"\\720p\\Formats.xml", formats));

        host::Options options;
        options.pluginRoot = host::exeFolder() + L"\\plugins";
        options.configFolder = folder_.path() + L"\\config";
        options.plugins = {L"Quorrel"};
        options.show = true;
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_TRUE(host_) << std::string(error.begin(), error.end());
    }
    void TearDown() override { host_.reset(); }

    void writeBundle() {
        ortwriter::BundleSpec spec;
        const ortwriter::Image image = blockImage();
        for (const BundleFormat& f : kFormats) {
            ortwriter::EntrySpec entry;
            entry.path = f.name;
            const std::uint32_t encodeAs = f.code == 64 ? ortwriter::kBgra32 : f.code;
            entry.frames.push_back(
                ortwriter::frame(f.code, image.width, image.height, ortwriter::encode(image, encodeAs), f.compress));
            spec.entries.push_back(entry);
        }
        const ortwriter::Bytes bytes = ortwriter::build(spec);
        ASSERT_TRUE(writeFile(skin_ + L"\\media\\textures.ort", std::string(bytes.begin(), bytes.end())));
    }

    // Opens the document and shows the previewer; returns its panel window.
    HWND openAndShow(const std::wstring& document) {
        EXPECT_TRUE(host_->openFile(document));
        EXPECT_TRUE(host_->runMenu(kMenu, kItem));
        host_->pump(100);
        EXPECT_TRUE(host_->isChecked(kMenu, kItem));
        for (const host::DockingRegistration& r : host_->dockingRegistrations()) {
            if (r.data.dlgID == 2) {
                startCapture(r.data.hClient);
                return r.data.hClient;
            }
        }
        ADD_FAILURE() << "the previewer did not register with the docking manager";
        return nullptr;
    }

    void caretTo(int line, int column = 0) {
        ASSERT_GE(line, 0);
        ASSERT_TRUE(host_->setCaret(line, column));
        host_->pump(150);
    }

    int homeLine(const std::string& needle) { return lineOf(readFile(skin_ + L"\\720p\\Home.xml"), needle); }

    // Compares the frame's top left with the image file's pixels (alpha ignored),
    // and what lies beyond the image (within the frame) with the grey.
    void expectImageAtTopLeft(const Frame& frame, const std::wstring& file, std::uint32_t width, std::uint32_t height) {
        BitmapImage image;
        ASSERT_TRUE(image.Load(file));
        ASSERT_FALSE(frame.pixels.empty());
        int wrong = 0;
        for (std::uint32_t y = 0; y < std::min(height, frame.height); ++y) {
            for (std::uint32_t x = 0; x < std::min(width, frame.width); ++x) {
                const std::uint8_t* p = image.GetBits(static_cast<int>(x), static_cast<int>(y));
                const std::uint32_t want = (p[2] << 16) | (p[1] << 8) | p[0];
                if (frame.rgb(x, y) != want && ++wrong <= 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << frame.rgb(x, y) << " not "
                                  << want;
                }
            }
        }
        EXPECT_EQ(0, wrong);
        if (width < frame.width) {
            EXPECT_EQ(kGrey, frame.rgb(width, 0));
        }
        if (height < frame.height) {
            EXPECT_EQ(kGrey, frame.rgb(0, height));
        }
    }

    TempFolder folder_;
    std::wstring skin_;
    std::unique_ptr<host::Host> host_;
};

TEST_F(Previewer, ShowsTheSampleSkinsImagesFromAFolderOutsideTheAnsiCodePage) {
    const HWND panel = openAndShow(skin_ + L"\\720p\\Home.xml");
    ASSERT_NE(panel, nullptr);

    caretTo(homeLine("<texturefocus>buttons/focus.png<"));
    Frame frame = readFrame(panel);
    EXPECT_EQ(1u, frame.presents);
    expectImageAtTopLeft(frame, skin_ + L"\\media\\buttons\\focus.png", 64, 32);

    caretTo(homeLine("misc/logo.bmp"));
    expectImageAtTopLeft(readFrame(panel), skin_ + L"\\media\\misc\\logo.bmp", 47, 24);

    // Moving within the line does nothing at all.
    const Frame before = readFrame(panel);
    caretTo(homeLine("misc/logo.bmp"), 40);
    caretTo(homeLine("misc/logo.bmp"), 30);
    const Frame after = readFrame(panel);
    EXPECT_EQ(before.presents, after.presents);
    EXPECT_EQ(before.clears, after.clears);

    // A line without a tag value leaves the picture as it is.
    caretTo(homeLine("<controls>"));
    EXPECT_EQ(after.presents, readFrame(panel).presents);

    // A missing image leaves the panel grey.
    caretTo(homeLine("missing/nothing.png"));
    frame = readFrame(panel);
    EXPECT_EQ(after.clears + 1, frame.clears);
    ASSERT_FALSE(frame.pixels.empty());
    for (std::uint32_t i = 0; i < frame.pixels.size(); i += 97) {
        ASSERT_EQ(kGrey, frame.pixels[i] & 0xFFFFFF) << i;
    }
}

TEST_F(Previewer, ResizingRedrawsAndALargeImageShowsOnlyWhatFitsAtItsOwnSize) {
    const HWND panel = openAndShow(skin_ + L"\\720p\\Home.xml");
    ASSERT_NE(panel, nullptr);
    caretTo(homeLine("backgrounds/large.png"));
    const std::uint32_t presents = readFrame(panel).presents;

    RECT window{};
    RECT client{};
    ::GetWindowRect(panel, &window);
    ::GetClientRect(panel, &client);
    const int extraW = (window.right - window.left) - client.right;
    const int extraH = (window.bottom - window.top) - client.bottom;
    // The frame is read before the docking container gets a say in the size.
    ::SetWindowPos(panel, nullptr, 0, 0, 300 + extraW, 200 + extraH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const Frame frame = readFrame(panel);
    EXPECT_GT(frame.presents, presents);
    ASSERT_EQ(300u, frame.width);
    ASSERT_EQ(200u, frame.height);
    expectImageAtTopLeft(frame, skin_ + L"\\media\\backgrounds\\large.png", 300, 200);
}

TEST_F(Previewer, NamesOnlyInTheBundleShowTheBundlesImageInEveryPixelFormat) {
    const HWND panel = openAndShow(skin_ + L"\\720p\\Formats.xml");
    ASSERT_NE(panel, nullptr);
    const ortwriter::Image image = blockImage();
    int line = 1;
    for (const BundleFormat& f : kFormats) {
        SCOPED_TRACE(f.name);
        caretTo(line++);
        const Frame frame = readFrame(panel);
        ASSERT_FALSE(frame.pixels.empty());
        for (std::uint32_t y = 0; y < image.height; ++y) {
            for (std::uint32_t x = 0; x < image.width; ++x) {
                const std::uint8_t* p = &image.rgba[(y * image.width + x) * 4];
                std::uint32_t want = (p[0] << 16) | (p[1] << 8) | p[2];
                if (f.code == ortwriter::kAlpha8) {
                    want = 0;  // alpha only: no colour to show
                } else if (f.code == 64) {
                    want = kGrey;  // no texture for an unknown format
                }
                ASSERT_EQ(want, frame.rgb(x, y)) << x << "," << y;
            }
        }
        EXPECT_EQ(kGrey, frame.rgb(image.width, 0));
        EXPECT_EQ(kGrey, frame.rgb(0, image.height));
    }
}

TEST_F(Previewer, NonAsciiNamesInAUtf8DocumentFindLooseFilesAndBundleEntries) {
    const std::wstring folder = skin_ + L"\\media\\b\u00fcttons";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(
        ::CopyFileW((skin_ + L"\\media\\buttons\\focus.png").c_str(), (folder + L"\\f\u00f6cus.png").c_str(), FALSE));
    const std::string document =
        "<window>\n"
        "  <texture>b\xC3\xBCttons/f\xC3\xB6"
        "cus.png</texture>\n"
        "  <texture>formats/\xC3\xA9t\xC3\xA9.png</texture>\n"
        "</window>\n";
    ASSERT_TRUE(writeFile(skin_ + L"\\720p\\Unicode.xml", document));
    const HWND panel = openAndShow(skin_ + L"\\720p\\Unicode.xml");
    ASSERT_NE(panel, nullptr);

    caretTo(1);
    expectImageAtTopLeft(readFrame(panel), folder + L"\\f\u00f6cus.png", 64, 32);

    caretTo(2);
    const Frame frame = readFrame(panel);
    ASSERT_FALSE(frame.pixels.empty());
    const ortwriter::Image image = blockImage();
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.rgba[(y * image.width + x) * 4];
            ASSERT_EQ(static_cast<std::uint32_t>((p[0] << 16) | (p[1] << 8) | p[2]), frame.rgb(x, y)) << x << "," << y;
        }
    }
}

TEST_F(Previewer, PngJpegGifAndBmpFilesPreviewAndAnUnreadableOneLeavesThePanelGrey) {
    if (d3dxDisabled()) {
        // The plugin loaded (SetUp) on a machine where D3DX cannot be had.
        EXPECT_EQ(::LoadLibraryW(L"d3dx9_43.dll"), nullptr);
    }
    const std::wstring media = skin_ + L"\\media\\";
    ASSERT_TRUE(writeFile(media + L"blocks.gif", blockGif()));
    ASSERT_TRUE(writeFile(media + L"broken.png", "\x89PNG\r\n\x1a\nnot really"));
    ASSERT_TRUE(writeFile(skin_ + L"\\720p\\Files.xml",
                          "<window>\n"
                          "  <texture>buttons/focus.png</texture>\n"
                          "  <texture>backgrounds/home.jpg</texture>\n"
                          "  <texture>blocks.gif</texture>\n"
                          "  <texture>misc/logo.bmp</texture>\n"
                          "  <texture>broken.png</texture>\n"
                          "</window>\n"));
    const HWND panel = openAndShow(skin_ + L"\\720p\\Files.xml");
    ASSERT_NE(panel, nullptr);
    const struct {
        const wchar_t* file;
        std::uint32_t width, height;
    } files[] = {{L"buttons\\focus.png", 64, 32},
                 {L"backgrounds\\home.jpg", 128, 72},
                 {L"blocks.gif", 16, 8},
                 {L"misc\\logo.bmp", 47, 24}};
    int line = 1;
    for (const auto& f : files) {
        SCOPED_TRACE(std::string(f.file, f.file + std::wcslen(f.file)));
        caretTo(line++);
        const Frame frame = readFrame(panel);
        std::uint32_t width = 0, height = 0;
        std::vector<std::uint32_t> want;
        if (std::wcscmp(f.file, L"blocks.gif") == 0) {
            width = 16;
            height = 8;
            for (std::uint32_t i = 0; i < width * height; ++i)
                want.push_back(kBlockColours[(i % width / 4 + (i / width / 4) * 4) % 8]);
        } else {
            want = gdiplusPixels(media + f.file, width, height);
        }
        ASSERT_EQ(width, f.width);
        ASSERT_EQ(height, f.height);
        ASSERT_EQ(want.size(), static_cast<std::size_t>(width) * height);
        ASSERT_FALSE(frame.pixels.empty());
        int wrong = 0;
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                if (frame.rgb(x, y) != want[y * width + x] && ++wrong <= 3)
                    ADD_FAILURE() << x << "," << y << ": " << std::hex << frame.rgb(x, y) << " not "
                                  << want[y * width + x];
            }
        }
        EXPECT_EQ(kGrey, frame.rgb(width, 0));
        EXPECT_EQ(kGrey, frame.rgb(0, height));
    }
    caretTo(line);
    const Frame frame = readFrame(panel);
    ASSERT_FALSE(frame.pixels.empty());
    for (std::uint32_t i = 0; i < frame.pixels.size(); i += 53) {
        ASSERT_EQ(kGrey, frame.pixels[i] & 0xFFFFFF) << i;
    }
}

}  // namespace
