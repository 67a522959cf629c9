// When the skin's names are asked for and where a chosen image is looked
// for, over a stand-in editor and a stand-in source of the names.
#include "controls/ControlCatalogue.h"
#include "controls/SkinChoices.h"

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

    bool images = false;
    bool includes = false;
    std::wstring folder;
    Names previews;
    int clears = 0;
    std::function<void()> whileDrawing;
};

// Each folder's names; every question is written down.
class FakeNames : public controls::SkinNameSource {
public:
    void prepare(const std::wstring& folder) override { asked.push_back(L"prepare " + folder); }
    Names includeNames(const std::wstring& folder) override { return answer(L"includes ", folder, includes); }
    Names imageNames(const std::wstring& folder) override { return answer(L"images ", folder, images); }
    Names fontNames(const std::wstring& folder) override { return answer(L"fonts ", folder, fonts); }
    Names colourNames(const std::wstring& folder) override { return answer(L"colours ", folder, colours); }
    std::map<std::wstring, Names> includes;
    std::map<std::wstring, Names> images;
    std::map<std::wstring, Names> fonts;
    std::map<std::wstring, Names> colours;
    Names asked;

private:
    Names answer(const wchar_t* question, const std::wstring& folder, std::map<std::wstring, Names>& names) {
        asked.push_back(question + folder);
        return names[folder];
    }
};

class SkinChoicesTest : public ::testing::Test {
protected:
    // The row of a tag of a type, as the panel asks for it.
    RowChoice rowFor(const wchar_t* type, const wchar_t* tag) {
        return choices_.rowFor(tag, catalogue_.elementOf(type, tag));
    }

    const ControlCatalogue catalogue_;
    FakeEditor editor_;
    FakeNames names_;
    SkinChoices choices_{editor_, names_};
};

TEST_F(SkinChoicesTest, NamesAreAskedForOnceForEachBuildOfTheRowsAndOnlyWhenSwitchedOn) {
    const std::wstring demo = L"C:\\skins\\demo\\720p";
    names_.includes[demo] = {L"FadeIn", L"Shadow"};
    names_.images[demo] = {L"a.png"};
    editor_.folder = demo;

    // Off: nothing is asked for, and the folder is not remembered.
    choices_.documentActivated();
    choices_.rowsStarting();
    EXPECT_EQ(rowFor(L"label", L"include").kind, RowKind::Text);
    EXPECT_EQ(rowFor(L"image", L"texture").kind, RowKind::Text);
    EXPECT_TRUE(names_.asked.empty());
    EXPECT_EQ(choices_.lastFolder(), L"");

    // On: the skin is read ahead when its document becomes active ...
    editor_.includes = true;
    editor_.images = true;
    choices_.documentActivated();
    EXPECT_EQ(names_.asked, Names{L"prepare " + demo});
    EXPECT_EQ(choices_.lastFolder(), demo);

    // ... and each build of the rows asks once, whatever the number of rows.
    names_.asked.clear();
    choices_.rowsStarting();
    EXPECT_EQ(rowFor(L"label", L"include").options, (Names{L"FadeIn", L"Shadow"}));
    EXPECT_EQ(rowFor(L"image", L"texture").options, Names{L"a.png"});
    EXPECT_EQ(rowFor(L"button", L"texturefocus").options, Names{L"a.png"});
    EXPECT_EQ(names_.asked, (Names{L"includes " + demo, L"images " + demo}));
    names_.images[demo] = {L"a.png", L"added.png"};
    choices_.rowsStarting();
    EXPECT_EQ(rowFor(L"image", L"texture").options, (Names{L"a.png", L"added.png"}));

    // A document without a folder (never saved) belongs to no skin.
    names_.asked.clear();
    editor_.folder.clear();
    choices_.documentActivated();
    choices_.rowsStarting();
    EXPECT_EQ(rowFor(L"image", L"texture").kind, RowKind::ImageDropDown);
    EXPECT_TRUE(rowFor(L"image", L"texture").options.empty());
    EXPECT_TRUE(names_.asked.empty());
    EXPECT_EQ(choices_.lastFolder(), demo);
}

TEST_F(SkinChoicesTest, ValuesFontsAndColoursAreOfferedWithoutAnySettingAndPreviewNothing) {
    const std::wstring demo = L"C:\\skins\\demo\\720p";
    editor_.folder = demo;
    names_.fonts[demo] = {L"font12", L"font13"};
    names_.colours[demo] = {L"grey", L"white"};
    choices_.rowsStarting();
    EXPECT_EQ(rowFor(L"label", L"aligny").kind, RowKind::ValueDropDown);
    EXPECT_EQ(rowFor(L"label", L"aligny").options, (Names{L"top", L"center"}));
    EXPECT_EQ(rowFor(L"label", L"font").options, (Names{L"font12", L"font13"}));
    EXPECT_EQ(rowFor(L"button", L"font").options, (Names{L"font12", L"font13"}));
    EXPECT_EQ(rowFor(L"label", L"textcolor").options, (Names{L"grey", L"white"}));
    EXPECT_EQ(rowFor(L"label", L"shadowcolor").kind, RowKind::ColourDropDown);
    EXPECT_EQ(rowFor(L"label", L"label").kind, RowKind::Text);
    // Once each per build of the rows; values need no skin.
    EXPECT_EQ(names_.asked, (Names{L"fonts " + demo, L"colours " + demo}));

    // A value, a font or a colour names no image: the previewer is left alone.
    for (const wchar_t* tag : {L"aligny", L"font", L"textcolor"}) choices_.choiceMade(tag, L"center");
    EXPECT_TRUE(editor_.previews.empty());
    EXPECT_EQ(editor_.clears, 0);
}

TEST_F(SkinChoicesTest, AChoiceIsLookedForOnlyUnderASkinsMediaFolder) {
    editor_.folder = L"C:\\skins\\demo\\";  // already the skin folder
    choices_.choiceMade(L"texture", L"buttons/focus.png");
    EXPECT_EQ(editor_.previews, Names{L"C:\\skins\\demo\\media\\buttons\\focus.png"});

    // A document never saved has no skin: nothing is looked for relative to
    // whatever the current folder is; the previewer is only cleared.
    for (const wchar_t* folder : {L"", L"untitled"}) {
        editor_.folder = folder;
        choices_.choiceMade(L"texture", L"buttons/focus.png");
    }
    EXPECT_EQ(editor_.previews.size(), 1u);
    EXPECT_EQ(editor_.clears, 2);
}

TEST_F(SkinChoicesTest, AChoiceArrivingWhileAPreviewDrawsIsDropped) {
    editor_.folder = L"C:\\skins\\demo\\720p";
    int nested = 0;
    editor_.whileDrawing = [&] {
        EXPECT_TRUE(choices_.previewing());
        if (nested++ == 0) choices_.choiceMade(L"texture", L"second.png");
    };
    choices_.choiceMade(L"texture", L"first.png");
    EXPECT_EQ(editor_.previews, Names{L"C:\\skins\\demo\\media\\first.png"});
    EXPECT_FALSE(choices_.previewing());

    // The guard is released also when drawing fails with an exception.
    editor_.whileDrawing = [] { throw std::bad_alloc(); };
    EXPECT_THROW(choices_.choiceMade(L"texture", L"third.png"), std::bad_alloc);
    EXPECT_FALSE(choices_.previewing());
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
