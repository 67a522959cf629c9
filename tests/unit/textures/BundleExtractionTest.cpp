#include "textures/BundleExtraction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using textures::isSafeEntryName;

TEST(SafeEntryName, AcceptsOrdinaryRelativePaths) {
    const std::wstring good[] = {
        L"a.png",
        L"buttons/focus.png",
        L"deep/er/still/x.jpg",
        L"with blank/na me.png",
        L"back\\slash.png",
        L".hidden.png",
        L"console.png",
        L"com10.png",
        L"lpt.png",
        L"\u00E9t\u00E9.png",
        L"a..b.png",
        L"nul_/x.png",
    };
    for (const std::wstring& name : good) {
        EXPECT_TRUE(isSafeEntryName(name)) << std::string(name.begin(), name.end());
    }
}

TEST(SafeEntryName, RejectsNamesThatLeaveTheFolderOrBreakWindows) {
    const std::wstring bad[] = {
        L"",
        L"/etc/passwd",
        L"\\Windows\\x.png",
        L"C:\\Windows\\x.png",
        L"C:x.png",
        L"c:/x.png",
        L"\\\\server\\share\\x.png",
        L"//server/share/x.png",
        L"\\\\?\\C:\\x.png",
        L"\\\\.\\PhysicalDrive0",
        L"../x.png",
        L"a/../../x.png",
        L"a/..",
        L"..",
        L"./x.png",
        L"a//b.png",
        L"a/",
        L"file.png:stream",
        L"file.png::$DATA",
        L"CON",
        L"nul.png",
        L"dir/Com1.png",
        L"LPT9",
        L"aux .png",
        L"CONOUT$",
        L"COM\u00B9.png",
        L"a<b.png",
        L"a>b.png",
        L"a|b.png",
        L"a?.png",
        L"a*.png",
        L"a\"b.png",
        L"tab\there.png",
        std::wstring(L"nul\0byte.png", 12),
        L"trailing.",
        L"trailing ",
        L"dir./x.png",
    };
    for (const std::wstring& name : bad) {
        EXPECT_FALSE(isSafeEntryName(name)) << std::string(name.begin(), name.end());
    }
}

TEST(ExtractionPlan, MirrorsEntryPathsInsideTheFolderAndSkipsUnsafeOnes) {
    const std::vector<std::wstring> names = {L"buttons/focus.png", L"a.png", L"../evil.png", L"icons/sub/b.jpg",
                                             L"a.png"};
    const auto plan = textures::planExtraction(names, L"D:\\my skins\\out\\");
    ASSERT_EQ(plan.size(), names.size());
    EXPECT_TRUE(plan[0].safe);
    EXPECT_EQ(plan[0].folder, L"D:\\my skins\\out\\buttons");
    EXPECT_EQ(plan[0].fullPath, L"D:\\my skins\\out\\buttons\\focus.png");
    EXPECT_EQ(plan[1].folder, L"");
    EXPECT_EQ(plan[1].fullPath, L"D:\\my skins\\out\\a.png");
    EXPECT_FALSE(plan[2].safe);
    EXPECT_EQ(plan[2].fullPath, L"");
    EXPECT_EQ(plan[2].folder, L"");
    EXPECT_EQ(plan[3].folder, L"D:\\my skins\\out\\icons\\sub");
    EXPECT_EQ(plan[3].fullPath, L"D:\\my skins\\out\\icons\\sub\\b.jpg");
    EXPECT_EQ(plan[4].name, L"a.png");
    EXPECT_EQ(plan[4].fullPath, plan[1].fullPath);
}

TEST(ExtractionPlan, ReportsSkippedEntriesOnceWithTheFirstNames) {
    EXPECT_EQ(textures::skippedEntriesMessage({}), L"");
    EXPECT_EQ(textures::skippedEntriesMessage({L"../x.png"}), L"1 entry of the bundle was not written:\r\n../x.png");
    std::vector<std::wstring> many;
    for (int i = 0; i < 12; ++i) {
        many.push_back(L"n" + std::to_wstring(i));
    }
    const std::wstring message = textures::skippedEntriesMessage(many, 3);
    EXPECT_EQ(message, L"12 entries of the bundle were not written:\r\nn0\r\nn1\r\nn2\r\n...");
}

// --- the run ---------------------------------------------------------------

#include "OrtWriter.h"
#include "base/Files.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"
#include "textures/PixelImage.h"
#include "textures/PixelLayout.h"
#include "textures/PngCodec.h"

#include <atomic>
#include <filesystem>

namespace {

std::wstring folderOf(const testsupport::ScratchFolder& temp, const char* name) {
    const std::wstring path = temp.file(text::fromUtf8(name));
    std::filesystem::create_directories(testsupport::nativePath(path));
    return path + L"\\";
}

std::wstring writeBundle(const testsupport::ScratchFolder& temp, const char* name, const ortwriter::Bytes& bytes) {
    const std::wstring path = temp.file(text::fromUtf8(name));
    EXPECT_TRUE(testsupport::writeFile(path, std::string(bytes.begin(), bytes.end())));
    return path;
}

// Every file below the folder, relative, with forward slashes, sorted.
std::vector<std::string> filesBelow(const std::wstring& folder) {
    std::vector<std::string> names;
    const std::filesystem::path root = text::toUtf8(folder.substr(0, folder.size() - 1));
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        if (item.is_regular_file()) names.push_back(std::filesystem::relative(item.path(), root).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ortwriter::FrameSpec patterned(std::uint32_t code, std::uint32_t w, std::uint32_t h, std::uint32_t seed) {
    return ortwriter::frame(code, w, h, ortwriter::patternPixels(code, w, h, seed), seed % 2 == 0);
}

// A progress that stops the run after `stopAfter` entries are done.
class Stopper : public textures::ExtractionProgress {
public:
    Stopper(base::CancelFlag& cancel, std::size_t stopAfter) : cancel_(cancel), stopAfter_(stopAfter) {}
    void begin(std::size_t total) override { total_ = total; }
    void itemStarted(const std::wstring&) override { ++started_; }
    void itemDone(std::size_t done) override {
        if (done >= stopAfter_) cancel_.cancel();
    }
    std::size_t total_ = 0;
    std::atomic<std::size_t> started_{0};

private:
    base::CancelFlag& cancel_;
    std::size_t stopAfter_;
};

}  // namespace

TEST(ExtractBundle, WritesEveryEntryAsAPngOfItsDecodedPixelsOnSeveralWorkers) {
    using namespace ortwriter;
    testsupport::ScratchFolder temp{L"tex"};
    BundleSpec spec;
    const std::pair<const char*, FrameSpec> entries[] = {
        {"a.png", patterned(kBgra32, 33, 17, 1)},         {"buttons/dxt1.png", patterned(kDxt1, 30, 30, 2)},
        {"buttons/dxt3.png", patterned(kDxt3, 16, 8, 3)}, {"deep/er/dxt5.png", patterned(kDxt5, 20, 12, 4)},
        {"alpha/a8.png", patterned(kAlpha8, 13, 7, 5)},   {"rgb/r.jpg", patterned(kRgb24, 5, 3, 6)},
        {"existing.png", patterned(kBgra32, 4, 4, 7)},    {"weird/unknown.png", patterned(64, 4, 4, 8)},
        {"../escape.png", patterned(kBgra32, 4, 4, 9)},   {"Twice.png", patterned(kBgra32, 4, 4, 10)},
        {"twice.png", patterned(kBgra32, 4, 4, 11)},
    };
    for (const auto& e : entries) spec.entries.push_back({e.first, 0, {e.second}});
    const std::wstring bundle = writeBundle(temp, "skin.ort", build(spec));
    const std::wstring out = folderOf(temp, "out folder");
    const std::uint8_t old[] = {'o', 'l', 'd'};
    ASSERT_TRUE(files::writeWhole(out + L"existing.png", old, 3, false));

    textures::ExtractionSettings settings;
    settings.workers = 3;
    const textures::ExtractionReport report = textures::ExtractBundle(bundle, out, nullptr, nullptr, settings);
    EXPECT_TRUE(report.opened);
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(report.total, std::size(entries));
    EXPECT_EQ(report.written, 7);
    EXPECT_EQ(report.kept, 2) << "the existing file, and the second entry of one target";
    EXPECT_EQ(report.failed, (std::vector<std::wstring>{L"weird/unknown.png", L"../escape.png"}));
    EXPECT_EQ(filesBelow(out),
              (std::vector<std::string>{"Twice.png", "a.png", "alpha/a8.png", "buttons/dxt1.png", "buttons/dxt3.png",
                                        "deep/er/dxt5.png", "existing.png", "rgb/r.jpg"}));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(files::readAll(out + L"existing.png", bytes));
    EXPECT_EQ(bytes.size(), 3u);

    for (const auto& e : entries) {
        const std::string name = e.first;
        if (name == "existing.png" || name == "weird/unknown.png" || name == "../escape.png" || name == "twice.png")
            continue;
        SCOPED_TRACE(name);
        ASSERT_TRUE(files::readAll(out + text::fromUtf8(name), bytes));
        textures::Image32 written;
        ASSERT_TRUE(textures::decodePng(bytes.data(), bytes.size(), written, textures::ChannelOrder::Bgra));
        textures::Image32 expected;
        ASSERT_TRUE(textures::decodeFrame(e.second.format, e.second.width, e.second.height, e.second.pixels.data(),
                                          e.second.pixels.size(), expected));
        textures::convertOrder(expected, textures::ChannelOrder::Bgra);
        EXPECT_EQ(written.width, e.second.width);
        EXPECT_EQ(written.height, e.second.height);
        EXPECT_TRUE(written.pixels == expected.pixels);
    }
}

TEST(ExtractBundle, CancellingStopsTheRunAndLeavesOnlyCompleteFiles) {
    using namespace ortwriter;
    testsupport::ScratchFolder temp{L"tex"};
    BundleSpec spec;
    for (int i = 0; i < 60; ++i)
        spec.entries.push_back({"f/" + std::to_string(i) + ".png", 0, {patterned(kBgra32, 300, 200, i)}});
    const std::wstring bundle = writeBundle(temp, "big.ort", build(spec));

    // Stopped after a few entries: the report says how many were written.
    const std::wstring out = folderOf(temp, "out");
    base::CancelFlag cancel;
    Stopper stopper(cancel, 5);
    textures::ExtractionSettings settings;
    settings.workers = 2;
    const textures::ExtractionReport report = textures::ExtractBundle(bundle, out, &cancel, &stopper, settings);
    EXPECT_EQ(stopper.total_, 60u);
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(report.failed.empty()) << "a stop is no failure";
    EXPECT_GE(report.written, 4);
    EXPECT_LT(report.written, 60);
    EXPECT_LE(stopper.started_.load(), 8u);
    const std::vector<std::string> written = filesBelow(out);
    EXPECT_EQ(written.size(), static_cast<std::size_t>(report.written));
    for (const std::string& name : written) {
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        std::vector<std::uint8_t> bytes;
        textures::Image32 image;
        ASSERT_TRUE(files::readAll(out + text::fromUtf8(name), bytes));
        EXPECT_TRUE(textures::decodePng(bytes.data(), bytes.size(), image)) << name;
    }
    EXPECT_NE(
        textures::cancelledRunMessage(report).find(std::to_wstring(report.written) + L" of 60 entries were written"),
        std::wstring::npos);

    // Cancelled before it began: nothing at all.
    const std::wstring none = folderOf(temp, "none");
    base::CancelFlag already;
    already.cancel();
    const textures::ExtractionReport nothing = textures::ExtractBundle(bundle, none, &already);
    EXPECT_TRUE(nothing.cancelled);
    EXPECT_EQ(nothing.written, 0);
    EXPECT_TRUE(filesBelow(none).empty());
}
