// Packing folders of image files into bundles: every input format comes back
// pixel for pixel through the reader and the extraction, the bytes do not
// depend on the number of workers, damaged files are skipped (or fail a
// strict run), and a stopped run leaves nothing behind.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <gtest/gtest.h>

#include "ImageFileWriter.h"
#include "OrtWriter.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"
#include "textures/BundleExtraction.h"
#include "textures/BundlePacking.h"
#include "textures/ImageFiles.h"
#include "textures/OrtReader.h"
#include "textures/PngCodec.h"

using namespace ortwriter;
namespace fs = std::filesystem;

namespace {

// Smooth colours with a few sharp edges, alpha running from 0 to 255.
Image pattern(std::uint32_t w, std::uint32_t h, bool alpha) {
    Image image{w, h, Bytes(static_cast<std::size_t>(w) * h * 4)};
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>(y * 255 / h);
            p[2] = static_cast<std::uint8_t>(x + y < w ? 200 : 40);
            p[3] = alpha ? static_cast<std::uint8_t>((x * 7 + y * 13) % 256) : 255;
        }
    }
    return image;
}

// Few colours, for the palette BMP.
Image posterised(std::uint32_t w, std::uint32_t h) {
    Image image = pattern(w, h, false);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] &= 0xC0;
        image.rgba[i + 1] &= 0xC0;
    }
    return image;
}

// A 6 x 4 animation over four colours: an interlaced full frame with
// transparent pixels, a green square kept, then cleared to the background
// while a blue pixel is drawn.
const std::vector<GifColour> kPalette = {{{255, 0, 0}}, {{0, 255, 0}}, {{0, 0, 255}}, {{255, 255, 255}}};

std::vector<GifFrame> animation() {
    GifFrame first{0, 0, 6, 4, {}, 10, 1, 3, true};
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 6; ++x) first.indices.push_back(static_cast<std::uint8_t>((x + y) % 4));
    const GifFrame square{2, 1, 2, 2, {1, 1, 1, 1}, 20, 2, -1, false};
    const GifFrame dot{0, 0, 1, 1, {2}, 30, 0, -1, false};
    return {first, square, dot};
}

// The three pictures the animation shows, worked out by hand.
std::vector<Bytes> animationPictures() {
    Bytes picture(6 * 4 * 4, 0);
    const auto set = [&picture](std::uint32_t x, std::uint32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                std::uint8_t a) {
        std::uint8_t* p = &picture[(y * 6 + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    };
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 6; ++x) {
            const GifColour& c = kPalette[(x + y) % 4];
            if ((x + y) % 4 != 3) set(x, y, c[0], c[1], c[2], 255);
        }
    }
    std::vector<Bytes> pictures = {picture};
    for (std::uint32_t y = 1; y < 3; ++y)
        for (std::uint32_t x = 2; x < 4; ++x) set(x, y, 0, 255, 0, 255);
    pictures.push_back(picture);
    for (std::uint32_t y = 1; y < 3; ++y)
        for (std::uint32_t x = 2; x < 4; ++x) set(x, y, 0, 0, 0, 0);
    set(0, 0, 0, 0, 255, 255);
    pictures.push_back(picture);
    return pictures;
}

Bytes readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring wide(const fs::path& path) { return text::fromUtf8(path.string()); }

class Media {
public:
    void add(const std::string& name, const Bytes& bytes) {
        const fs::path file = testsupport::nativePath(root_.path()) / "media" / fs::u8path(name);
        fs::create_directories(file.parent_path());
        ASSERT_TRUE(writeFile(file.string(), bytes));
    }
    fs::path folder() const { return testsupport::nativePath(root_.path()) / "media"; }
    fs::path bundle() const { return testsupport::nativePath(root_.path()) / "textures.ort"; }
    textures::PackReport pack(const textures::PackSettings& settings = {}, const base::CancelFlag* cancel = nullptr,
                              textures::PackProgress* progress = nullptr) const {
        return textures::PackFolder(wide(folder()), wide(bundle()), cancel, progress, settings);
    }
    // Whatever the run left beside the bundle.
    std::vector<std::string> strayFiles() const {
        std::vector<std::string> stray;
        for (const auto& item : fs::directory_iterator(testsupport::nativePath(root_.path())))
            if (item.path().filename() != "media" && item.path().filename() != "textures.ort")
                stray.push_back(item.path().filename().string());
        return stray;
    }
    const testsupport::ScratchFolder& root() const { return root_; }

private:
    testsupport::ScratchFolder root_{L"pack"};
};

textures::Image32 decodedPng(const fs::path& file) {
    const Bytes png = readBytes(file);
    textures::Image32 image;
    EXPECT_TRUE(textures::decodePng(png.data(), png.size(), image, textures::ChannelOrder::Rgba)) << file;
    return image;
}

}  // namespace

TEST(PackFolder, EveryFormatComesBackPixelForPixelThroughTheReaderAndTheExtraction) {
    Media media;
    const Image alpha = pattern(37, 21, true), photo = pattern(40, 24, false), bmp24 = pattern(13, 5, false),
                bmp32 = pattern(9, 7, true), bmp8 = posterised(11, 6);
    media.add("alpha.png", pngFile(alpha));
    const Bytes jpeg = jpegFile(photo, 90);
    media.add("photos/photo.JPG", jpeg);
    media.add("anim/spin.gif", gifFile(6, 4, kPalette, animation(), true));
    media.add("bmp/rgb24.bmp", bmpFile(bmp24, BmpLayout::Rgb24BottomUp));
    media.add("bmp/bgra32.bmp", bmpFile(bmp32, BmpLayout::Bgra32TopDown));
    media.add("bmp/palette8.bmp", bmpFile(bmp8, BmpLayout::Palette8BottomUp));
    media.add("readme.txt", Bytes{'h', 'i'});

    const textures::PackReport report = media.pack();
    ASSERT_TRUE(report.written) << text::toUtf8(report.error);
    EXPECT_EQ(report.found, 6u);
    EXPECT_EQ(report.entries, 6u);
    EXPECT_EQ(report.frames, 8u);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_TRUE(media.strayFiles().empty());

    // JPEG is lossy: the packed pixels are the decoder's, close to the source
    // on average (edges ring), and opaque.
    textures::Image32 jpegPixels;
    std::string reason;
    ASSERT_TRUE(textures::decodeJpeg(jpeg.data(), jpeg.size(), jpegPixels, reason, textures::ChannelOrder::Rgba));
    ASSERT_EQ(jpegPixels.pixels.size(), photo.rgba.size());
    double difference = 0;
    for (std::size_t i = 0; i < photo.rgba.size(); ++i) {
        if (i % 4 == 3) {
            ASSERT_EQ(jpegPixels.pixels[i], 255);
        }
        difference += std::abs(jpegPixels.pixels[i] - photo.rgba[i]);
    }
    EXPECT_LT(difference / photo.rgba.size(), 3.0);
    const std::vector<Bytes> pictures = animationPictures();
    const std::map<std::string, std::pair<std::uint32_t, Bytes>> expected = {
        {"alpha.png", {37, alpha.rgba}},     {"anim/spin.gif", {6, pictures[0]}},
        {"bmp/bgra32.bmp", {9, bmp32.rgba}}, {"bmp/palette8.bmp", {11, bmp8.rgba}},
        {"bmp/rgb24.bmp", {13, bmp24.rgba}}, {"photos/photo.JPG", {40, jpegPixels.pixels}},
    };

    OrtReader reader;
    ASSERT_TRUE(reader.Open(wide(media.bundle())));
    std::vector<std::string> names;
    for (const OrtEntry& entry : reader.entries()) names.push_back(entry.path);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha.png", "anim/spin.gif", "bmp/bgra32.bmp", "bmp/palette8.bmp",
                                               "bmp/rgb24.bmp", "photos/photo.JPG"}));
    for (const OrtEntry& entry : reader.entries()) {
        const bool animated = entry.path == "anim/spin.gif";
        EXPECT_EQ(entry.loop, animated ? 1u : 0u) << entry.path;
        ASSERT_EQ(entry.frames.size(), animated ? 3u : 1u) << entry.path;
        for (std::size_t i = 0; i < entry.frames.size(); ++i) {
            const OrtFrame& frame = entry.frames[i];
            EXPECT_EQ(frame.format, 16u);
            EXPECT_EQ(frame.duration, animated ? 100u * (i + 1) : 0u);
            EXPECT_EQ(frame.unpackedSize, std::uint64_t{frame.width} * frame.height * 4);
            OrtReader::FrameBytes stored, pixels;
            textures::Image32 image;
            ASSERT_TRUE(reader.ReadStoredBytes(frame, stored));
            ASSERT_TRUE(OrtReader::Unpack(frame, stored, pixels));
            ASSERT_TRUE(textures::decodeFrame(16, frame.width, frame.height, pixels.data.get(), pixels.size, image));
            textures::convertOrder(image, textures::ChannelOrder::Rgba);
            const Bytes& want = animated ? pictures[i] : expected.at(entry.path).second;
            EXPECT_EQ(frame.width, expected.at(entry.path).first) << entry.path;
            EXPECT_TRUE(image.pixels == want) << entry.path << " frame " << i;
        }
    }
    reader.Close();

    // The extraction writes each entry's first picture as it went in.
    const fs::path out = testsupport::nativePath(media.root().path()) / "out";
    fs::create_directories(out);
    textures::ExtractionSettings quiet;
    quiet.diagnostics = false;
    const textures::ExtractionReport extracted =
        textures::ExtractBundle(wide(media.bundle()), wide(out) + L"\\", nullptr, nullptr, quiet);
    EXPECT_EQ(extracted.written, 6);
    for (const auto& [name, want] : expected) {
        const textures::Image32 image = decodedPng(out / fs::u8path(name));
        EXPECT_EQ(image.width, want.first) << name;
        EXPECT_TRUE(image.pixels == want.second) << name;
    }
}

TEST(PackFolder, TheSameFolderGivesTheSameBytesWhateverTheWorkersInTheReadersLayout) {
    Media media;
    for (int i = 0; i < 24; ++i)
        media.add("f" + std::to_string(i % 5) + "/" + std::to_string(i) + ".png", pngFile(pattern(20 + i, 9, i % 2)));
    media.add("z.gif", gifFile(6, 4, kPalette, animation(), true));
    textures::PackSettings one, three;
    one.workers = 1;
    three.workers = 3;
    ASSERT_TRUE(media.pack(one).written);
    const Bytes first = readBytes(media.bundle());
    ASSERT_TRUE(media.pack(three).written);
    EXPECT_TRUE(readBytes(media.bundle()) == first);

    // One opaque 1 x 1 image, byte by byte: the header, one entry, one raw
    // frame (compressing 4 bytes gains nothing) right after the header.
    Media single;
    single.add("a.bmp", bmpFile(Image{1, 1, {10, 20, 30, 255}}, BmpLayout::Rgb24BottomUp));
    ASSERT_TRUE(single.pack().written);
    Bytes want = {'O', 'R', 'T', 'F', '2', 1, 0, 0, 0, 'a', '.', 'b', 'm', 'p'};
    want.resize(9 + 256, 0);
    const std::uint32_t record[] = {0, 1, 1, 1, 16, 4, 0, 4, 0, 0, 9 + 264 + 40, 0};
    for (const std::uint32_t v : record)
        for (int i = 0; i < 4; ++i) want.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    want.insert(want.end(), {30, 20, 10, 255});
    EXPECT_TRUE(readBytes(single.bundle()) == want);
}

TEST(PackFolder, DamagedFilesAreReportedAndSkippedAndAStrictRunWritesNothing) {
    Media media;
    const Bytes png = pngFile(pattern(16, 16, true));
    const Bytes jpeg = jpegFile(pattern(32, 32, false), 80);
    const Bytes gif = gifFile(6, 4, kPalette, animation(), false);
    const Bytes bmp = bmpFile(pattern(8, 8, false), BmpLayout::Rgb24BottomUp);
    media.add("good.png", png);
    media.add("cut.png", Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2)));
    media.add("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2)));
    media.add("cut.gif", Bytes(gif.begin(), gif.begin() + 40));
    media.add("cut.bmp", Bytes(bmp.begin(), bmp.end() - 20));
    media.add("text.jpg", Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});

    const textures::PackReport report = media.pack();
    ASSERT_TRUE(report.written);
    EXPECT_EQ(report.found, 6u);
    EXPECT_EQ(report.entries, 1u);
    std::vector<std::wstring> files;
    for (const textures::PackProblem& problem : report.skipped) {
        files.push_back(problem.file);
        EXPECT_FALSE(problem.reason.empty());
    }
    EXPECT_EQ(files, (std::vector<std::wstring>{L"cut.bmp", L"cut.gif", L"cut.jpg", L"cut.png", L"text.jpg"}));
    EXPECT_EQ(report.skipped.back().reason, L"not a PNG, JPEG, GIF or BMP image");
    const std::wstring summary = textures::packSummary(report, L"t.ort", 2);
    EXPECT_NE(summary.find(L"Packed 1 image (1 frame) into t.ort"), std::wstring::npos);
    EXPECT_NE(summary.find(L"5 files were skipped:\r\ncut.bmp: "), std::wstring::npos);
    EXPECT_NE(summary.find(L"\r\n..."), std::wstring::npos);

    const Bytes before = readBytes(media.bundle());
    textures::PackSettings strict;
    strict.strict = true;
    strict.workers = 2;
    const textures::PackReport refused = media.pack(strict);
    EXPECT_FALSE(refused.written);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_FALSE(refused.skipped.empty());
    EXPECT_TRUE(readBytes(media.bundle()) == before) << "the bundle there stays as it was";
    EXPECT_TRUE(media.strayFiles().empty());
}

TEST(PackFolder, ACancelledRunLeavesTheOldBundleAndNoPendingFiles) {
    Media media;
    for (int i = 0; i < 60; ++i) media.add(std::to_string(i) + ".png", pngFile(pattern(64, 64, true)));
    ASSERT_TRUE(media.pack().written);
    const Bytes before = readBytes(media.bundle());

    class StopAtFifth : public textures::PackProgress {
    public:
        explicit StopAtFifth(base::CancelFlag& flag) : flag_(flag) {}
        void begin(std::size_t total) override { total_ = total; }
        void itemStarted(const std::wstring&) override {
            if (++started_ == 5) flag_.cancel();
        }
        void itemDone(std::size_t) override {}
        std::size_t total_ = 0;

    private:
        base::CancelFlag& flag_;
        std::atomic<int> started_{0};
    };
    base::CancelFlag cancel;
    StopAtFifth progress(cancel);
    media.add("new.png", pngFile(pattern(8, 8, false)));
    const textures::PackReport report = media.pack({}, &cancel, &progress);
    EXPECT_EQ(progress.total_, 61u);
    EXPECT_TRUE(report.cancelled);
    EXPECT_FALSE(report.written);
    EXPECT_TRUE(readBytes(media.bundle()) == before);
    EXPECT_TRUE(media.strayFiles().empty());
}
