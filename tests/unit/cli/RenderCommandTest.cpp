// `quorrel render`: the sample skin's Home window against its golden picture
// (compared with a tolerance: filters and font hinting may round a little
// differently), and the exit statuses. QUORREL_UPDATE_GOLDEN=1 writes the
// golden picture anew from what is drawn.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "base/TextCodec.h"
#include "cli/RenderCommand.h"
#include "support/TestSupport.h"
#include "textures/PngCodec.h"

namespace {

struct Captured : cli::Console {
    std::vector<std::wstring> outLines, errLines;
    void out(const std::wstring& line) override { outLines.push_back(line); }
    void err(const std::wstring& line) override { errLines.push_back(line); }
};

int run(const std::vector<std::string>& args, Captured& console) {
    std::vector<std::wstring> wide;
    for (const std::string& a : args) wide.push_back(text::fromUtf8(a));
    return cli::runRender(wide, console);
}

textures::Image32 decoded(const std::string& bytes) {
    textures::Image32 image;
    textures::decodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), image);
    textures::convertOrder(image, textures::ChannelOrder::Bgra);
    return image;
}

TEST(RenderCommand, TheSampleHomeWindowMatchesItsGoldenPicture) {
    testsupport::ScratchFolder folder(L"render-command");
    const std::string source = QUORREL_SOURCE_DIR;
    const std::string out = testsupport::narrow(folder.path()) + "/Home.png";
    Captured console;
    ASSERT_EQ(run({"--size", "320x180", source + "/samples/skin/720p/Home.xml", out}, console), 0);
    const std::string golden = source + "/tests/unit/cli/golden/Home-320x180.png";
    if (std::getenv("QUORREL_UPDATE_GOLDEN")) {
        testsupport::writeFile(testsupport::widen(golden), testsupport::readFile(testsupport::widen(out)));
    }
    const textures::Image32 drawn = decoded(testsupport::readFile(testsupport::widen(out)));
    const textures::Image32 expected = decoded(testsupport::readFile(testsupport::widen(golden)));
    ASSERT_EQ(drawn.width, 320u);
    ASSERT_EQ(drawn.height, 180u);
    ASSERT_EQ(expected.width, 320u) << "golden picture missing: " << golden;
    ASSERT_EQ(expected.height, 180u);
    double difference = 0;
    for (std::size_t i = 0; i < drawn.pixels.size(); ++i) difference += std::abs(drawn.pixels[i] - expected.pixels[i]);
    EXPECT_LT(difference / static_cast<double>(drawn.pixels.size()), 3.0);
}

TEST(RenderCommand, ExitStatuses) {
    testsupport::ScratchFolder folder(L"render-command");
    const std::string dir = testsupport::narrow(folder.path());
    std::filesystem::create_directories(testsupport::nativePath(folder.path()) / "720p");
    testsupport::writeFile(testsupport::widen(dir + "/720p/Broken.xml"), "<window><controls>");
    testsupport::writeFile(testsupport::widen(dir + "/720p/Dialog.xml"),
                           "<window><controls><control type=\"spincontrolex\"/></controls></window>");
    testsupport::writeFile(testsupport::widen(dir + "/addon.xml"),
                           "<addon><extension><res width=\"640\" height=\"360\" folder=\"720p\"/></extension></addon>");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* errPart;  // in a line of standard error
    };
    const Case cases[] = {
        {{}, 2, "render takes"},
        {{"--size", "0x10", "a.xml", "b.png"}, 2, "--size"},
        {{"--size", "99999x10", "a.xml", "b.png"}, 2, "--size"},
        {{"--size", "8000x8000", "a.xml", "b.png"}, 2, "--size"},
        {{"--bogus", "a.xml", "b.png"}, 2, "unknown option"},
        {{dir + "/720p/Nothing.xml", dir + "/out.png"}, 2, "cannot read"},
        {{dir + "/720p/Broken.xml", dir + "/out.png"}, 0, "not well-formed"},
        {{dir + "/720p/Dialog.xml", dir + "/out.png"}, 0, "spincontrolex"},
        {{dir + "/720p/Dialog.xml", dir + "/no/such/folder/out.png"}, 1, "cannot write"},
    };
    for (const Case& c : cases) {
        Captured console;
        EXPECT_EQ(run(c.args, console), c.status) << c.errPart;
        std::string err;
        for (const std::wstring& line : console.errLines) err += text::toUtf8(line) + "\n";
        EXPECT_NE(err.find(c.errPart), std::string::npos) << err;
    }
    // The skin's resolution from addon.xml.
    const textures::Image32 picture = decoded(testsupport::readFile(testsupport::widen(dir + "/out.png")));
    EXPECT_EQ(picture.width, 640u);
    EXPECT_EQ(picture.height, 360u);
}

}  // namespace
