// Bundle extraction under Wine: a bundle written here with every pixel
// format, nested folders, an existing target and hostile entry names,
// extracted before any display device exists (none is needed); every PNG is
// read back with GDI+ and compared with an independent decoding of the frames.
#include "FrameDecoding.h"
#include "PngReading.h"
#include "TesterTestSupport.h"
#include "textures/BundleExtraction.h"

#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using ScratchFolder = testsupport::LinuxScratchFolder;

namespace {

// Largest difference of one channel over the image; alpha only when `alphaOnly`.
int largestDifference(const framedecoding::Argb& a, const framedecoding::Argb& b, bool alphaOnly) {
    int worst = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            if (alphaOnly && shift != 24) continue;
            // Fully transparent pixels carry no colour worth comparing.
            if (shift != 24 && (a[i] >> 24) == 0 && (b[i] >> 24) == 0) continue;
            const int da = static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF);
            worst = std::max(worst, std::abs(da));
        }
    }
    return worst;
}

struct Expectation {
    ortwriter::FrameSpec frame;
    int tolerance;
};

ortwriter::FrameSpec makeFrame(std::uint32_t width, std::uint32_t height, std::uint32_t format, std::uint32_t seed,
                               bool compress) {
    return ortwriter::frame(format, width, height, ortwriter::patternPixels(format, width, height, seed), compress);
}

}  // namespace

TEST(BundleExtraction, WritesEveryFormatAsPngInMirroredFoldersAndSkipsWhatWouldEscape) {
    using namespace ortwriter;
    using framedecoding::Argb;
    using framedecoding::decode;
    testsupport::GdiplusSession gdiplus;
    ScratchFolder scratch;
    const std::wstring outRoot = scratch / L"my skins";
    ASSERT_TRUE(::CreateDirectoryW(outRoot.c_str(), nullptr));
    const std::wstring out = outRoot + L"\\";

    // Entry path -> frame, with the tolerance of the comparison: block
    // compression leaves decoders free to round the interpolated colours.
    std::map<std::string, Expectation> written = {
        {"buttons/focus.png", {makeFrame(30, 30, kDxt1, 1, true), 2}},
        {"buttons/dxt3.png", {makeFrame(16, 8, kDxt3, 2, false), 2}},
        {"deep/er/dxt5.png", {makeFrame(20, 12, kDxt5, 3, true), 2}},
        {"deep/alt5.png", {makeFrame(8, 8, kDxt5Alt, 4, false), 2}},
        {"bgra.png", {makeFrame(33, 17, kBgra32, 5, true), 0}},
        {"alpha/a8.png", {makeFrame(13, 7, kAlpha8, 6, false), 0}},
        {"rgb/r.jpg", {makeFrame(5, 3, kRgb24, 7, true), 0}},
    };
    const std::vector<std::string> hostile = {
        "../escape.png", "a/../../escape2.png", "/abs-qtst.png", "C:/evil-qtst.png", "nul.png", "stream.png:x"};
    BundleSpec spec;
    for (const auto& item : written) spec.entries.push_back({item.first, 0, {item.second.frame}});
    spec.entries.push_back({"weird/unknown.png", 0, {makeFrame(4, 4, 64, 8, false)}});
    spec.entries.push_back({"existing.png", 0, {makeFrame(4, 4, kBgra32, 9, false)}});
    for (const std::string& name : hostile) spec.entries.push_back({name, 0, {makeFrame(4, 4, kBgra32, 10, false)}});

    const std::wstring bundle = scratch / L"skin bundle.ort";
    ASSERT_TRUE(ortwriter::writeFile(bundle, ortwriter::build(spec)));
    ASSERT_TRUE(testsupport::writeFile(out + L"existing.png", "old content"));

    const textures::ExtractionReport report = textures::ExtractBundle(bundle, out);

    EXPECT_TRUE(report.opened);
    EXPECT_EQ(report.written, static_cast<int>(written.size()));
    EXPECT_EQ(report.kept, 1);
    std::vector<std::wstring> failed = {L"weird/unknown.png"};
    for (const std::string& name : hostile) failed.push_back(testsupport::widen(name));
    EXPECT_EQ(report.failed, failed);

    std::vector<std::wstring> expectedFiles = {L"existing.png"};
    for (const auto& item : written) {
        std::wstring path = testsupport::widen(item.first);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        expectedFiles.push_back(path);
    }
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(testsupport::listFiles(outRoot), expectedFiles);
    // Nothing beside the output folder, nothing at the roots the hostile names point to.
    EXPECT_EQ(testsupport::listFiles(scratch.windowsPath()).size(), expectedFiles.size() + 1);
    EXPECT_FALSE(testsupport::fileExists(L"Z:\\abs-qtst.png"));
    EXPECT_FALSE(testsupport::fileExists(L"C:\\evil-qtst.png"));

    std::string old;
    ASSERT_TRUE(testsupport::readFile(out + L"existing.png", old));
    EXPECT_EQ(old, "old content");

    for (const auto& item : written) {
        std::wstring path = out + testsupport::widen(item.first);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        UINT width = 0, height = 0;
        Argb pixels;
        ASSERT_TRUE(testsupport::readPng(path, width, height, pixels)) << item.first;
        const FrameSpec& frame = item.second.frame;
        EXPECT_EQ(width, frame.width) << item.first;
        EXPECT_EQ(height, frame.height) << item.first;
        if (width != frame.width || height != frame.height) continue;
        EXPECT_LE(largestDifference(pixels, decode(frame), frame.format == kAlpha8), item.second.tolerance)
            << item.first;
    }
}

TEST(BundleExtraction, AMissingOrDamagedBundleWritesNothing) {
    ScratchFolder scratch;
    const std::wstring out = scratch.windowsPath() + L"\\";
    EXPECT_FALSE(textures::ExtractBundle(scratch / L"missing.ort", out).opened);
    ASSERT_TRUE(testsupport::writeFile(scratch / L"bad.ort", "ORTF2\x05\x00\x00\x00short"));
    const auto report = textures::ExtractBundle(scratch / L"bad.ort", out);
    EXPECT_FALSE(report.opened);
    EXPECT_EQ(report.written, 0);
    EXPECT_EQ(testsupport::listFiles(scratch.windowsPath()).size(), 1u);
}
