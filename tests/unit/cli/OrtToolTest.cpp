// The bundle commands of quorrel as a build pipeline runs them: what each prints,
// where, and the exit status.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "ImageFileWriter.h"
#include "OrtWriter.h"
#include "cli/OrtTool.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"

using namespace ortwriter;
namespace fs = std::filesystem;

namespace {

struct Captured : cli::Console {
    std::vector<std::wstring> outLines, errLines;
    void out(const std::wstring& line) override { outLines.push_back(line); }
    void err(const std::wstring& line) override { errLines.push_back(line); }
};

class OrtTool : public ::testing::Test {
protected:
    int run(const std::vector<std::string>& args) {
        console = Captured{};
        std::vector<std::wstring> wide;
        for (const std::string& a : args) wide.push_back(text::fromUtf8(a));
        return cli::runOrtTool(wide, console);
    }
    std::string path(const std::string& name) const { return (testsupport::nativePath(folder.path()) / name).string(); }
    void add(const std::string& name, const Bytes& bytes) const {
        fs::create_directories(fs::path(path(name)).parent_path());
        ASSERT_TRUE(writeFile(path(name), bytes));
    }
    static Image image(std::uint32_t w, std::uint32_t h, std::uint8_t shade) {
        Image i{w, h, Bytes(static_cast<std::size_t>(w) * h * 4, shade)};
        for (std::size_t p = 3; p < i.rgba.size(); p += 4) i.rgba[p] = 255;
        return i;
    }

    testsupport::ScratchFolder folder{L"ort-tool"};
    Captured console;
};

}  // namespace

TEST_F(OrtTool, PackListVerifyAndExtractAsAPipelineWould) {
    add("media/b/two.bmp", bmpFile(image(3, 2, 90), BmpLayout::Rgb24BottomUp));
    add("media/a.png", pngFile(image(64, 16, 200)));
    add("media/broken.png", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});

    EXPECT_EQ(run({"pack", path("media"), path("t.ort")}), cli::kDone);
    ASSERT_EQ(console.errLines.size(), 1u);
    EXPECT_EQ(console.errLines[0], text::fromUtf8(path("media") + "/broken.png: damaged or unsupported PNG data"));
    ASSERT_EQ(console.outLines.size(), 1u);
    EXPECT_EQ(console.outLines[0].rfind(L"Packed 2 images (2 frames) into ", 0), 0u);

    EXPECT_EQ(run({"pack", "--strict", path("media"), path("strict.ort")}), cli::kFailed);
    EXPECT_EQ(console.errLines.back(),
              text::fromUtf8(path("strict.ort")) + L": not written, as a file cannot be packed");
    EXPECT_FALSE(fs::exists(path("strict.ort")));

    EXPECT_EQ(run({"list", path("t.ort")}), cli::kDone);
    ASSERT_EQ(console.outLines.size(), 2u);
    EXPECT_EQ(console.outLines[0].rfind(L"a.png\t1\t64x16\tA8R8G8B8\t", 0), 0u);  // then packed and unpacked bytes
    EXPECT_EQ(console.outLines[0].substr(console.outLines[0].rfind(L'\t')), L"\t4096");
    EXPECT_EQ(console.outLines[1], L"b/two.bmp\t1\t3x2\tA8R8G8B8\t24\t24");

    EXPECT_EQ(run({"verify", path("t.ort")}), cli::kDone);
    EXPECT_TRUE(console.errLines.empty());

    // Existing files are kept unless asked otherwise.
    EXPECT_EQ(run({"extract", path("t.ort"), path("out")}), cli::kDone);
    EXPECT_TRUE(fs::exists(path("out/b/two.bmp")));
    add("out/a.png", Bytes{'o', 'l', 'd'});
    EXPECT_EQ(run({"extract", path("t.ort"), path("out")}), cli::kDone);
    EXPECT_NE(console.outLines[0].find(L"2 existing files kept"), std::wstring::npos);
    EXPECT_EQ(fs::file_size(path("out/a.png")), 3u);
    EXPECT_EQ(run({"extract", "--overwrite", path("t.ort"), path("out")}), cli::kDone);
    EXPECT_GT(fs::file_size(path("out/a.png")), 3u);
}

TEST_F(OrtTool, VerifyNamesEveryBrokenFrameAndUsageErrorsExitWithTwo) {
    BundleSpec spec;
    FrameSpec good = frame(kBgra32, 2, 2, patternPixels(kBgra32, 2, 2, 1), true);
    FrameSpec corrupt = good;
    corrupt.stored = compressLzo(Bytes(64, 0x41));
    corrupt.unpackedSize = 16;
    spec.entries.push_back({"ok.png", 0, {good}});
    spec.entries.push_back({"anim.gif", 1, {good, corrupt}});
    ASSERT_TRUE(writeFile(path("damaged.ort"), build(spec)));
    EXPECT_EQ(run({"verify", path("damaged.ort")}), cli::kFailed);
    EXPECT_EQ(console.errLines, std::vector<std::wstring>{text::fromUtf8(path("damaged.ort")) +
                                                          L": anim.gif: frame 2 does not decompress to its size"});

    add("junk.ort", Bytes{'n', 'o'});
    EXPECT_EQ(run({"list", path("junk.ort")}), cli::kFailed);
    EXPECT_EQ(console.errLines.size(), 1u);
    EXPECT_EQ(run({"verify", path("missing.ort")}), cli::kFailed);
    EXPECT_EQ(console.errLines, std::vector<std::wstring>{text::fromUtf8(path("missing.ort")) + L": no such file"});

    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{},
                                               {"unpack", "a"},
                                               {"list"},
                                               {"pack", "a"},
                                               {"pack", "--overwrite", "a", "b"},
                                               {"extract", "a", "b", "c"}}) {
        EXPECT_EQ(run(wrong), cli::kUsage);
        EXPECT_FALSE(console.errLines.empty());
        EXPECT_TRUE(console.outLines.empty());
    }
}
