#include "skin/MediaPaths.h"
#include "skin/SkinResources.h"

#include "OrtWriter.h"
#include "base/Files.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"
#include "textures/DXTexture.h"

#include <gtest/gtest.h>


using preview::BundleFor;
using preview::DecodeSkinText;
using preview::ImagePathFor;
using preview::MediaFolderOf;

TEST(MediaPaths, SkinAndMediaFoldersAndImagePaths) {
    EXPECT_EQ(L"C:\\skins\\mine\\", preview::SkinFolderOf(L"C:\\skins\\mine\\720p"));
    EXPECT_EQ(L"C:\\skins\\mine\\", preview::SkinFolderOf(L"C:\\skins\\mine\\"));
    EXPECT_EQ(L"", preview::SkinFolderOf(L"nowhere"));
    EXPECT_EQ(L"C:\\skins\\mine\\media\\", MediaFolderOf(L"C:\\skins\\mine\\720p"));
    EXPECT_EQ(L"media\\", MediaFolderOf(L""));
    EXPECT_EQ(L"C:\\s\\media\\buttons\\focus.png", ImagePathFor(L"C:\\s\\media\\", L"buttons/focus.png"));
}

TEST(MediaPaths, ImagePathMapsToTheBundleBesideItAndAnEntryName) {
    auto where = BundleFor(L"C:\\skins\\mine\\media\\buttons\\focus.png");
    EXPECT_EQ(L"C:\\skins\\mine\\media\\textures.ort", where.bundlePath);
    EXPECT_EQ(L"buttons/focus.png", where.entryName);
    // The first "\media\" decides; deeper ones belong to the name.
    where = BundleFor(L"D:\\a\\media\\media\\x.png");
    EXPECT_EQ(L"D:\\a\\media\\textures.ort", where.bundlePath);
    EXPECT_EQ(L"media/x.png", where.entryName);
    // Without a media folder the path itself is taken for the bundle.
    where = BundleFor(L"C:\\elsewhere\\x.png");
    EXPECT_EQ(L"C:\\elsewhere\\x.png", where.bundlePath);
    where = BundleFor(L"\\media\\x.png");
    EXPECT_EQ(L"\\media\\x.png", where.bundlePath);
    EXPECT_EQ(L"x.png", where.entryName);
}

TEST(MediaPaths, SkinTextIsUtf8WithBytesAsFallbackBothWays) {
    EXPECT_EQ(L"plain", DecodeSkinText("plain"));
    EXPECT_EQ(L"\u00e9toile", DecodeSkinText("\xC3\xA9toile"));
    EXPECT_EQ(L"\u00e9", DecodeSkinText("\xE9"));  // not UTF-8: one byte, one character
    for (const std::string bytes : {"plain", "\xC3\xA9toile", "\xE9", "\xE2\x82\xAC"}) {
        const auto forms = preview::SkinTextEncodings(DecodeSkinText(bytes));
        EXPECT_NE(forms.end(), std::find(forms.begin(), forms.end(), bytes)) << bytes;
    }
    EXPECT_EQ(1u, preview::SkinTextEncodings(L"plain").size());
    // "Ã©" read as bytes would be valid UTF-8 for "é": it is not a second form.
    EXPECT_EQ(1u, preview::SkinTextEncodings(L"\u00c3\u00a9").size());
}

namespace {

// Bundles are real files (the reader opens them by path). Paths keep their
// Windows backslashes, which the file functions read as separators here too.
class SkinResourcesBundle : public ::testing::Test {
protected:
    void SetUp() override { skin_ = tmp_.path() + L"/skin"; }

    std::wstring writeBundle(const std::wstring& folder, const std::vector<std::string>& names, std::uint32_t seed) {
        ortwriter::BundleSpec spec;
        for (const std::string& name : names) {
            ortwriter::EntrySpec entry;
            entry.path = name;
            // Raw and compressed frames alike.
            entry.frames.push_back(ortwriter::frame(
                ortwriter::kBgra32, 2, 1, ortwriter::patternPixels(ortwriter::kBgra32, 2, 1, seed), seed % 2 == 0));
            ++seed;
            spec.entries.push_back(entry);
        }
        const std::wstring path = folder + L"\\textures.ort";
        const ortwriter::Bytes bytes = ortwriter::build(spec);
        EXPECT_TRUE(files::createFolders(folder));
        EXPECT_TRUE(files::writeWhole(path, bytes.data(), bytes.size(), false));
        return path;
    }

    struct NoDevice : textures::TextureDevice {
        std::unique_ptr<textures::DeviceTexture> makeTexture(std::uint32_t, std::uint32_t, std::uint32_t) override {
            return nullptr;
        }
        std::unique_ptr<textures::DeviceTexture> readImageFile(const std::wstring&) override { return nullptr; }
        bool bind(std::uint32_t, textures::DeviceTexture*) override { return false; }
        textures::TextureLimits limits() const override { return {4096, 4096}; }
    } device_;
    testsupport::ScratchFolder tmp_{L"skin-resources"};
    std::wstring skin_;
};

std::vector<std::uint8_t> pixelsOf(const DXTexture& t) {
    return std::vector<std::uint8_t>(t.pixels().data(), t.pixels().data() + t.pixels().size());
}

}  // namespace

TEST_F(SkinResourcesBundle, EveryListedBundleNameFindsItsTexture) {
    const std::wstring media = skin_ + L"\\media";
    writeBundle(media, {"icons/star.png", "sub/\xC3\xA9t\xC3\xA9.png"}, 5);
    SkinResources res;
    res.bundle().useDevice(&device_);
    auto star = res.FindTexture(media + L"\\icons\\star.png");
    ASSERT_TRUE(star);
    EXPECT_EQ(2u, star->imageWidth());
    EXPECT_EQ(ortwriter::patternPixels(ortwriter::kBgra32, 2, 1, 5), pixelsOf(*star));
    // The UTF-8 name as listed.
    std::vector<std::wstring> names;
    ASSERT_TRUE(res.ListBundle(media + L"\\textures.ort", names));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], L"sub/\u00e9t\u00e9.png");
    auto accented = res.LoadBundleTexture(names[1]);
    ASSERT_TRUE(accented);
    EXPECT_EQ(ortwriter::patternPixels(ortwriter::kBgra32, 2, 1, 6), pixelsOf(*accented));
}

TEST_F(SkinResourcesBundle, FindTextureMatchesExactNamesOnlyAndFailsWithoutABundle) {
    const std::wstring media = skin_ + L"\\media";
    // Latin-1 bytes in an older bundle: listed one byte per character and found under that name.
    writeBundle(media, {"buttons/focus.png", "Buttons/Big.png", "old/\xE9.png"}, 7);
    SkinResources res;
    res.bundle().useDevice(&device_);

    auto focus = res.FindTexture(media + L"\\buttons\\focus.png");
    ASSERT_TRUE(focus);
    EXPECT_EQ(ortwriter::patternPixels(ortwriter::kBgra32, 2, 1, 7), pixelsOf(*focus));
    EXPECT_FALSE(res.FindTexture(media + L"\\buttons\\Focus.png"));
    EXPECT_FALSE(res.FindTexture(media + L"\\buttons\\big.png"));
    EXPECT_TRUE(res.FindTexture(media + L"\\Buttons\\Big.png"));
    EXPECT_TRUE(res.FindTexture(media + L"\\old\\\u00e9.png"));
    EXPECT_TRUE(res.LoadBundleTexture(L"old/\u00e9.png"));
    EXPECT_FALSE(res.LoadBundleTexture(L"old/\u00c3\u00a9.png"));

    // Another skin without a bundle: closed, nothing found, and the first
    // skin's bundle is opened again when asked for.
    EXPECT_FALSE(res.FindTexture(skin_ + L"2\\media\\buttons\\focus.png"));
    EXPECT_FALSE(res.bundle().IsOpen());
    EXPECT_FALSE(res.LoadBundleTexture(L"buttons/focus.png"));
    EXPECT_FALSE(res.FindTexture(L"C:\\no-media-part\\focus.png"));
    EXPECT_TRUE(res.FindTexture(media + L"\\buttons\\focus.png"));
}

TEST_F(SkinResourcesBundle, AHeldBundleIsLetGoWhileReplacedAndOpenedAgainAsItNowIs) {
    const std::wstring media = skin_ + L"\\media";
    writeBundle(media, {"a.png"}, 3);
    SkinResources res;
    res.bundle().useDevice(&device_);
    ASSERT_TRUE(res.FindTexture(media + L"\\a.png"));

    res.HoldBundle(media + L"/TEXTURES.ORT");  // the same file, as a save dialog may spell it
    EXPECT_FALSE(res.bundle().IsOpen());
    EXPECT_FALSE(res.FindTexture(media + L"\\a.png"));
    writeBundle(media, {"a.png", "b.png"}, 9);
    res.ReleaseBundle();
    EXPECT_TRUE(res.bundle().IsOpen());
    auto a = res.FindTexture(media + L"\\a.png");
    ASSERT_TRUE(a);
    EXPECT_EQ(ortwriter::patternPixels(ortwriter::kBgra32, 2, 1, 9), pixelsOf(*a));
    EXPECT_TRUE(res.FindTexture(media + L"\\b.png"));
}
