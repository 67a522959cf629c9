// Media lookup on the real file system: the model of a skin in a folder named
// outside the ANSI code page lists its includes, bundle entries and image
// files, with non-ASCII names intact, and the bundle finds them.
#include "PreviewSupport.h"

#include "OrtWriter.h"
#include "skin/DirectoryReader.h"
#include "skin/SkinModel.h"
#include "skin/SkinResources.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace previewtest;

namespace {

TEST(SkinOnDisk, ListsIncludesBundleEntriesAndImagesUnderAnyFolderName) {
    TempFolder folder;
    const std::wstring skin = folder.path() + L"\\skin";
    ASSERT_TRUE(copyTree(sampleSkinFolder(), skin));
    const std::wstring accented = skin + L"\\media\\b\u00fcttons";
    ASSERT_TRUE(::CreateDirectoryW(accented.c_str(), nullptr));
    ASSERT_TRUE(
        ::CopyFileW((skin + L"\\media\\buttons\\focus.png").c_str(), (accented + L"\\\u4e2d.png").c_str(), FALSE));

    ortwriter::BundleSpec spec;
    for (const char* name : {"icons/a.png", "icons/\xC3\xA9t\xC3\xA9.png"}) {
        ortwriter::EntrySpec entry;
        entry.path = name;
        entry.frames.push_back(
            ortwriter::frame(ortwriter::kBgra32, 2, 2, ortwriter::patternPixels(ortwriter::kBgra32, 2, 2, 1)));
        spec.entries.push_back(entry);
    }
    const ortwriter::Bytes bytes = ortwriter::build(spec);
    ASSERT_TRUE(writeFile(skin + L"\\media\\textures.ort", std::string(bytes.begin(), bytes.end())));

    // The panels' names, from the skin's model.
    const std::unique_ptr<DirectoryLister> lister = makePlatformDirectoryLister();
    skin::SkinModel model(*lister, skin::ReadWholeFile, skin::ReadBundleInfo, {});
    model.refresh(skin + L"\\720p");
    EXPECT_EQ((std::vector<std::string>{"FadeIn", "CommonShadow", "HomeMenuButton", "HomeClock", "LayoutMargins"}),
              model.includeNames());
    const std::vector<std::wstring> names = model.imageNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(L"icons/a.png", names[0]);
    EXPECT_EQ(L"icons/\u00e9t\u00e9.png", names[1]);
    auto position = [&](const std::wstring& name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    const auto size = static_cast<std::ptrdiff_t>(names.size());
    EXPECT_LT(position(L"buttons\\focus.png"), size);
    EXPECT_LT(position(L"b\u00fcttons\\\u4e2d.png"), size);
    // PNG files before JPEG files before BMP files.
    EXPECT_LT(position(L"backgrounds\\large.png"), position(L"backgrounds\\home.jpg"));
    EXPECT_LT(position(L"backgrounds\\home.jpg"), position(L"misc\\arrow.bmp"));
    EXPECT_LT(position(L"misc\\logo.bmp"), size);

    // The bundle entry with the accented name is found under the name it is listed with.
    SkinResources resources;
    EXPECT_TRUE(resources.FindTexture(skin + L"\\media\\icons\\\u00e9t\u00e9.png"));
    EXPECT_TRUE(resources.LoadBundleTexture(names[1]));
}

}  // namespace
