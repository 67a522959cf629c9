// When include names are loaded and where a chosen image is looked for, over
// in-memory include files and a stand-in editor.
#include "controls/ControlCatalogue.h"
#include "controls/SkinChoices.h"
#include "skin/SkinResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using controls::SkinChoiceEnvironment;
using controls::SkinChoices;

namespace {

using Names = std::vector<std::wstring>;

class FakeEditor : public SkinChoiceEnvironment {
public:
    bool offerImages() const override { return images; }
    bool offerIncludes() const override { return includes; }
    std::wstring documentFolder() override { return folder; }
    bool previewImage(const std::wstring& imagePath) override {
        previews.push_back(imagePath);
        if (whileDrawing) whileDrawing();
        return true;
    }
    void clearPreview() override { ++clears; }
    controls::FileStamp stamp(const std::wstring& path) override {
        const auto found = stamps.find(path);
        return found == stamps.end() ? controls::FileStamp{} : found->second;
    }

    bool images = false;
    bool includes = false;
    std::wstring folder;
    Names previews;
    int clears = 0;
    std::function<void()> whileDrawing;
    std::map<std::wstring, controls::FileStamp> stamps;
};

// Counts the listings of folders; there is nothing in them.
class CountingLister : public DirectoryLister {
public:
    explicit CountingLister(int& count) : count_(count) {}
    bool list(const std::wstring&, std::vector<DirItem>&) override {
        ++count_;
        return false;
    }
    FileStamp stamp(const std::wstring&) override { return {}; }

private:
    int& count_;
};

class SkinChoicesTest : public ::testing::Test {
protected:
    SkinChoicesTest() {
        resources_ = std::make_unique<SkinResources>(std::make_unique<CountingLister>(listings_),
                                                     [this](const std::wstring& path, std::string& bytes) {
                                                         reads_.push_back(path);
                                                         const auto found = files_.find(path);
                                                         if (found == files_.end()) return false;
                                                         bytes = found->second;
                                                         return true;
                                                     });
        choices_ = std::make_unique<SkinChoices>(editor_, *resources_);
    }

    void addIncludes(const std::wstring& folder, const std::string& names) {
        files_[folder + L"\\includes.xml"] = "<includes>" + names + "</includes>";
    }

    FakeEditor editor_;
    int listings_ = 0;
    std::map<std::wstring, std::string> files_;
    Names reads_;
    std::unique_ptr<SkinResources> resources_;
    std::unique_ptr<SkinChoices> choices_;
};

TEST_F(SkinChoicesTest, IncludesLoadForEachNewFolderAndWhenTheirFilesChange) {
    addIncludes(L"C:\\skins\\demo\\720p", "<include name=\"FadeIn\"/><include name=\"Shadow\"/>");
    addIncludes(L"C:\\skins\\other\\720p", "<include name=\"Elsewhere\"/>");

    // Off: nothing is read and the folder is not remembered ...
    editor_.folder = L"C:\\skins\\demo\\720p";
    choices_->documentActivated();
    EXPECT_TRUE(reads_.empty());
    EXPECT_EQ(choices_->lastFolder(), L"");

    // ... so switching on and activating the same document loads its includes.
    editor_.includes = true;
    choices_->documentActivated();
    EXPECT_EQ(reads_, Names{L"C:\\skins\\demo\\720p\\includes.xml"});
    EXPECT_EQ(resources_->includeNames(), (Names{L"FadeIn", L"Shadow"}));
    EXPECT_EQ(choices_->lastFolder(), L"C:\\skins\\demo\\720p");

    // The same folder spelt in another case, its files unchanged, is not read again.
    editor_.folder = L"c:\\SKINS\\Demo\\720P";
    choices_->documentActivated();
    EXPECT_EQ(reads_.size(), 1u);
    EXPECT_EQ(choices_->rowFor(L"include").options, (Names{L"FadeIn", L"Shadow"}));
    EXPECT_EQ(reads_.size(), 1u);

    // A second skin's document: its own names.
    editor_.folder = L"C:\\skins\\other\\720p";
    choices_->documentActivated();
    EXPECT_EQ(choices_->lastFolder(), L"C:\\skins\\other\\720p");
    EXPECT_EQ(resources_->includeNames(), Names{L"Elsewhere"});

    // includes.xml changed on disk: read again when the row is built.
    addIncludes(L"C:\\skins\\other\\720p", "<include name=\"Elsewhere\"/><include name=\"New\"/>");
    editor_.stamps[L"C:\\skins\\other\\720p\\includes.xml"] = {true, 70, 2};
    EXPECT_EQ(choices_->rowFor(L"include").options, (Names{L"Elsewhere", L"New"}));

    // A document without a folder (never saved) changes nothing.
    editor_.folder.clear();
    choices_->documentActivated();
    EXPECT_EQ(choices_->lastFolder(), L"C:\\skins\\other\\720p");
}

TEST_F(SkinChoicesTest, ImagesAreListedForEachSkinAndWhenTheMediaOrTheBundleChange) {
    editor_.images = true;
    editor_.folder = L"C:\\skins\\demo\\720p";
    choices_->rowFor(L"texture");
    const int once = listings_;
    ASSERT_GT(once, 0);
    choices_->rowFor(L"texturefocus");
    editor_.folder = L"C:\\skins\\demo\\1080i";  // the same skin
    choices_->rowFor(L"texture");
    EXPECT_EQ(listings_, once);

    editor_.stamps[L"C:\\skins\\demo\\media\\textures.ort"] = {true, 4096, 7};
    choices_->rowFor(L"texture");
    EXPECT_EQ(listings_, 2 * once);
    editor_.stamps[L"C:\\skins\\demo\\media\\"] = {true, 0, 9};
    choices_->rowFor(L"texture");
    EXPECT_EQ(listings_, 3 * once);

    editor_.folder = L"C:\\skins\\second\\720p";
    choices_->rowFor(L"texture");
    EXPECT_EQ(listings_, 4 * once);
}

TEST_F(SkinChoicesTest, AFolderWithoutReadableIncludesLeavesTheNextFolderItsTurn) {
    editor_.includes = true;
    editor_.folder = L"C:\\skins\\broken\\720p";
    files_[L"C:\\skins\\broken\\720p\\includes.xml"] = "<includes><include name=\"x\">";  // not well-formed
    choices_->documentActivated();
    EXPECT_TRUE(resources_->includeNames().empty());

    editor_.folder = L"C:\\skins\\none\\720p";  // no includes.xml at all
    choices_->documentActivated();
    EXPECT_TRUE(resources_->includeNames().empty());

    addIncludes(L"C:\\skins\\good\\720p", "<include name=\"Good\"/>");
    editor_.folder = L"C:\\skins\\good\\720p";
    choices_->documentActivated();
    EXPECT_EQ(resources_->includeNames(), Names{L"Good"});
    EXPECT_EQ(reads_.size(), 3u);
}

TEST_F(SkinChoicesTest, AChoiceIsLookedForOnlyUnderASkinsMediaFolder) {
    editor_.folder = L"C:\\skins\\demo\\";  // already the skin folder
    choices_->choiceMade(L"texture", L"buttons/focus.png");
    EXPECT_EQ(editor_.previews, Names{L"C:\\skins\\demo\\media\\buttons\\focus.png"});

    // A document never saved has no skin: nothing is looked for relative to
    // whatever the current folder is; the previewer is only cleared.
    for (const wchar_t* folder : {L"", L"untitled"}) {
        editor_.folder = folder;
        choices_->choiceMade(L"texture", L"buttons/focus.png");
    }
    EXPECT_EQ(editor_.previews.size(), 1u);
    EXPECT_EQ(editor_.clears, 2);
}

TEST_F(SkinChoicesTest, AChoiceArrivingWhileAPreviewDrawsIsDropped) {
    editor_.folder = L"C:\\skins\\demo\\720p";
    int nested = 0;
    editor_.whileDrawing = [&] {
        EXPECT_TRUE(choices_->previewing());
        if (nested++ == 0) choices_->choiceMade(L"texture", L"second.png");
    };
    choices_->choiceMade(L"texture", L"first.png");
    EXPECT_EQ(editor_.previews, Names{L"C:\\skins\\demo\\media\\first.png"});
    EXPECT_FALSE(choices_->previewing());

    // The guard is released also when drawing fails with an exception.
    editor_.whileDrawing = [] { throw std::bad_alloc(); };
    EXPECT_THROW(choices_->choiceMade(L"texture", L"third.png"), std::bad_alloc);
    EXPECT_FALSE(choices_->previewing());
}

}  // namespace

TEST(ImageElementNames, AreTheCataloguesTextureTagsButTheConditionOne) {
    const std::vector<std::wstring> names = controls::imageElementNames(ControlCatalogue());
    for (const wchar_t* tag :
         {L"texture", L"bordertexture", L"texturefocus", L"textureradioon", L"alttexturenofocus"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), tag), names.end()) << tag;
    }
    for (const wchar_t* tag : {L"usealttexture", L"imagepath", L"include", L"label"}) {
        EXPECT_EQ(std::find(names.begin(), names.end(), tag), names.end()) << tag;
    }
}

TEST(CompletionCatalogue, HoldsEveryTypeOnceWithItsElementsAsSpelt) {
    const skin::CompletionCatalogue catalogue = controls::completionCatalogue(ControlCatalogue());
    const auto has = [](const std::vector<std::string>& names, const char* name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    ASSERT_TRUE(has(catalogue.controlTypes, "button") && has(catalogue.controlTypes, "label"));
    std::vector<std::string> types = catalogue.controlTypes;
    std::sort(types.begin(), types.end());
    EXPECT_EQ(std::adjacent_find(types.begin(), types.end()), types.end());
    const std::vector<std::string>& select = catalogue.elementsByType.at("selectbutton");
    EXPECT_TRUE(has(select, "font") && has(select, "alignY"));
    EXPECT_FALSE(has(select, "type"));
    EXPECT_TRUE(has(catalogue.imageElements, "texturefocus"));
}
