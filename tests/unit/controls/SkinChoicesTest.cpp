// The skin's names as row choices and the preview of a chosen image, over an
// in-memory skin and a stand-in editor.
#include "controls/SkinChoices.h"
#include "preview/SkinResources.h"

#include "../preview/FakeFileSystem.h"

#include <gtest/gtest.h>

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
    std::wstring documentFolder() override {
        ++folderQuestions;
        return folder;
    }
    bool previewImage(const std::wstring& imagePath) override {
        previews.push_back(imagePath);
        if (whileDrawing) whileDrawing();
        return true;
    }
    void clearPreview() override { ++clears; }

    bool images = false;
    bool includes = false;
    std::wstring folder;
    int folderQuestions = 0;
    Names previews;
    int clears = 0;
    std::function<void()> whileDrawing;
};

class SkinChoicesTest : public ::testing::Test {
protected:
    SkinChoicesTest() {
        auto lister = std::make_unique<FakeFileSystem>();
        disk_ = lister.get();
        resources_ = std::make_unique<SkinResources>(std::move(lister),
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
    FakeFileSystem* disk_ = nullptr;
    std::map<std::wstring, std::string> files_;
    Names reads_;
    std::unique_ptr<SkinResources> resources_;
    std::unique_ptr<SkinChoices> choices_;
};

TEST_F(SkinChoicesTest, RowKindsFollowTheFlagsWithTexturesTestedFirstAndCaseCounting) {
    editor_.folder = L"C:\\skins\\demo\\720p";
    disk_->addFile(L"C:\\skins\\demo\\media\\buttons\\focus.png");
    disk_->addFile(L"C:\\skins\\demo\\media\\misc\\logo.bmp");
    addIncludes(editor_.folder, "<include name=\"FadeIn\"/>");
    editor_.includes = true;
    choices_->documentActivated();
    editor_.includes = false;

    // Both off: every row is typed in.
    for (const wchar_t* tag : {L"texture", L"include", L"usealttexture", L"posx"}) {
        EXPECT_EQ(choices_->rowFor(tag).kind, RowKind::Text) << tag;
    }
    EXPECT_EQ(disk_->searches, 0);  // nothing listed while images are not offered

    editor_.images = true;
    const RowChoice texture = choices_->rowFor(L"texture");
    EXPECT_EQ(texture.kind, RowKind::ImageDropDown);
    EXPECT_EQ(texture.options, (Names{L"buttons\\focus.png", L"misc\\logo.bmp"}));
    for (const wchar_t* tag : {L"usealttexture", L"alttexturenofocus", L"bordertexture"}) {
        EXPECT_EQ(choices_->rowFor(tag).kind, RowKind::ImageDropDown) << tag;
    }
    EXPECT_EQ(choices_->rowFor(L"Texture").kind, RowKind::Text);
    EXPECT_EQ(choices_->rowFor(L"include").kind, RowKind::Text);

    editor_.includes = true;
    const RowChoice include = choices_->rowFor(L"include");
    EXPECT_EQ(include.kind, RowKind::IncludeDropDown);
    EXPECT_EQ(include.options, Names{L"FadeIn"});
    // A tag naming both is offered images.
    EXPECT_EQ(choices_->rowFor(L"includetexture").kind, RowKind::ImageDropDown);
    EXPECT_EQ(choices_->rowFor(L"INCLUDE").kind, RowKind::Text);
}

TEST_F(SkinChoicesTest, MediaIsListedOnFirstNeedOnlyAndAgainWhileNothingWasFound) {
    editor_.images = true;
    editor_.folder = L"C:\\skins\\bare\\720p";
    EXPECT_TRUE(choices_->rowFor(L"texture").options.empty());
    const int emptySearches = disk_->searches;
    EXPECT_GT(emptySearches, 0);

    // An empty list is not a result worth keeping: the next row looks again.
    editor_.folder = L"C:\\skins\\demo\\720p";
    disk_->addFile(L"C:\\skins\\demo\\media\\a.png");
    EXPECT_EQ(choices_->rowFor(L"texturefocus").options, Names{L"a.png"});
    const int listed = disk_->searches;
    EXPECT_GT(listed, emptySearches);

    // Once found, the names stay, whatever document is active and whatever appears later.
    disk_->addFile(L"C:\\skins\\demo\\media\\b.png");
    editor_.folder = L"D:\\other\\720p";
    EXPECT_EQ(choices_->rowFor(L"texturenofocus").options, Names{L"a.png"});
    EXPECT_EQ(disk_->searches, listed);
}

TEST_F(SkinChoicesTest, IncludesLoadOncePerNewFolderAndOnlyWhileNoneAreKnown) {
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

    // The same folder spelt in another case is not looked at again.
    editor_.folder = L"c:\\SKINS\\Demo\\720P";
    choices_->documentActivated();
    EXPECT_EQ(reads_.size(), 1u);
    EXPECT_EQ(choices_->lastFolder(), L"C:\\skins\\demo\\720p");

    // A second skin's document: remembered, but the first skin's names stay.
    editor_.folder = L"C:\\skins\\other\\720p";
    choices_->documentActivated();
    EXPECT_EQ(reads_.size(), 1u);
    EXPECT_EQ(choices_->lastFolder(), L"C:\\skins\\other\\720p");
    EXPECT_EQ(resources_->includeNames(), (Names{L"FadeIn", L"Shadow"}));

    // A document without a folder (never saved) changes nothing.
    editor_.folder.clear();
    choices_->documentActivated();
    EXPECT_EQ(choices_->lastFolder(), L"C:\\skins\\other\\720p");
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

TEST_F(SkinChoicesTest, AChoiceIsPreviewedFromTheSkinsMediaFolderWithBackslashes) {
    editor_.folder = L"C:\\skins\\demo\\720p";
    choices_->choiceMade(L"texturefocus", L"buttons/focus.png");
    choices_->choiceMade(L"texture", L"misc\\logo.bmp");
    choices_->choiceMade(L"include", L"FadeIn");  // not an image: the previewer finds no file
    EXPECT_EQ(editor_.previews, (Names{L"C:\\skins\\demo\\media\\buttons\\focus.png",
                                       L"C:\\skins\\demo\\media\\misc\\logo.bmp",
                                       L"C:\\skins\\demo\\media\\FadeIn"}));
    EXPECT_EQ(choices_->lastPreviewPath(), L"C:\\skins\\demo\\media\\FadeIn");

    // A folder ending in a backslash is the skin folder itself.
    editor_.folder = L"C:\\skins\\demo\\";
    choices_->choiceMade(L"texture", L"a.png");
    EXPECT_EQ(editor_.previews.back(), L"C:\\skins\\demo\\media\\a.png");
}

TEST_F(SkinChoicesTest, WithoutASkinFolderThePreviewerIsOnlyCleared) {
    editor_.folder = L"";
    choices_->choiceMade(L"texture", L"buttons/focus.png");
    editor_.folder = L"untitled";
    choices_->choiceMade(L"texture", L"buttons/focus.png");
    EXPECT_TRUE(editor_.previews.empty());  // never "media\\buttons\\focus.png" of the current folder
    EXPECT_EQ(editor_.clears, 2);
    EXPECT_EQ(choices_->lastPreviewPath(), L"");
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
    editor_.whileDrawing = nullptr;
    choices_->choiceMade(L"texture", L"fourth.png");
    EXPECT_EQ(editor_.previews.back(), L"C:\\skins\\demo\\media\\fourth.png");
}

}  // namespace
