#include "controls/ControlCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::wstring> tagsOf(const ControlTemplate& t) {
    std::vector<std::wstring> tags;
    for (const auto& entry : t) tags.push_back(entry.first);
    return tags;
}

TEST(ControlCatalogue, ListsThirtyTypesWithSliderTwice) {
    const ControlCatalogue catalogue;
    const auto names = catalogue.typeNames();
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names.front(), L"label");
    EXPECT_EQ(names.back(), L"extendedlist");
    EXPECT_EQ(names[13], L"slider");
    EXPECT_EQ(names[17], L"slider");
    EXPECT_EQ(std::count(names.begin(), names.end(), L"slider"), 2);
}

TEST(ControlCatalogue, LooksTypesUpWithoutRegardToAsciiCase) {
    const ControlCatalogue catalogue;
    EXPECT_TRUE(catalogue.hasType(L"Label"));
    EXPECT_TRUE(catalogue.hasType(L"SELECTBUTTON"));
    EXPECT_FALSE(catalogue.hasType(L"group"));
    EXPECT_FALSE(catalogue.hasType(L""));
    EXPECT_FALSE(catalogue.hasType(L"label "));
    EXPECT_TRUE(catalogue.templateFor(L"group").empty());
    EXPECT_EQ(catalogue.templateFor(L"BUTTON").at(L"type"), L"button");
}

TEST(ControlCatalogue, TemplatesHoldTheCommonTagsPlusTheTypesOwn) {
    const ControlCatalogue catalogue;
    const ControlTemplate spin = catalogue.templateFor(L"spin");
    ASSERT_EQ(spin.size(), 19u);
    for (const auto& tag : ControlCatalogue::commonTags())
        EXPECT_EQ(spin.count(tag), 1u) << std::string(tag.begin(), tag.end());
    EXPECT_EQ(spin.at(L"type"), L"spin");
    for (const auto& [tag, value] : spin) {
        if (tag != L"type") {
            EXPECT_TRUE(value.empty());
        }
    }

    const ControlTemplate select = catalogue.templateFor(L"selectbutton");
    EXPECT_EQ(select.count(L"align"), 1u);
    EXPECT_EQ(select.count(L"alignY"), 1u);
    EXPECT_EQ(select.count(L"aligny"), 0u);
    EXPECT_EQ(catalogue.templateFor(L"label").count(L"aligny"), 1u);

    // Rows come out in code-unit order, not in the order the tags were listed.
    const std::vector<std::wstring> image = {
        L"animation", L"aspectratio", L"bordersize", L"bordertexture", L"camera", L"colordiffuse", L"description",
        L"enable",    L"fadetime",    L"height",     L"hitrect",       L"id",     L"include",      L"info",
        L"ondown",    L"onleft",      L"onright",    L"onup",          L"posx",   L"posy",         L"pulseonselect",
        L"texture",   L"type",        L"visible",    L"width"};
    EXPECT_EQ(tagsOf(catalogue.templateFor(L"image")), image);
    // Upper case sorts before lower case: "alignY" comes right after "align".
    const auto selectTags = tagsOf(select);
    EXPECT_EQ(selectTags[0], L"align");
    EXPECT_EQ(selectTags[1], L"alignY");

    // The largest type has 35 rows.
    std::size_t largest = 0;
    for (const auto& t : catalogue.templates()) largest = std::max(largest, t.size());
    EXPECT_EQ(largest, 35u);
}

TEST(ControlCatalogue, SetValueChangesOnlyTheCurrentTypeAndDropsUnknownTags) {
    ControlCatalogue catalogue;
    catalogue.selectType(L"image");
    catalogue.setValue(L"posx", L"120");
    EXPECT_EQ(catalogue.templateFor(L"image").at(L"posx"), L"120");
    EXPECT_EQ(catalogue.templateFor(L"button").at(L"posx"), L"");
    EXPECT_EQ(catalogue.templateFor(L"label").at(L"posx"), L"");

    const ControlTemplate before = catalogue.templateFor(L"image");
    catalogue.setValue(L"onclick", L"Close");  // buttons have it, images do not
    EXPECT_EQ(catalogue.templateFor(L"image"), before);
    EXPECT_EQ(catalogue.templateFor(L"button").at(L"onclick"), L"");

    // A type selected with other letter case still addresses the same templates.
    catalogue.selectType(L"IMAGE");
    catalogue.setValue(L"posy", L"7");
    EXPECT_EQ(catalogue.templateFor(L"image").at(L"posy"), L"7");

    // Both "slider" templates follow every change.
    catalogue.selectType(L"slider");
    catalogue.setValue(L"width", L"300");
    for (const auto& t : catalogue.templates()) {
        if (t.at(L"type") == L"slider") {
            EXPECT_EQ(t.at(L"width"), L"300");
        }
    }
}

TEST(ControlCatalogue, ClearValuesKeepsTheTypeName) {
    ControlCatalogue catalogue;
    catalogue.selectType(L"button");
    catalogue.setValue(L"label", L"Play");
    catalogue.setValue(L"posx", L"10");
    catalogue.selectType(L"label");
    catalogue.setValue(L"label", L"Title");

    catalogue.clearValues(L"Button");
    const ControlTemplate button = catalogue.templateFor(L"button");
    for (const auto& [tag, value] : button) {
        if (tag == L"type") {
            EXPECT_EQ(value, L"button");
        } else {
            EXPECT_TRUE(value.empty());
        }
    }
    EXPECT_EQ(catalogue.templateFor(L"label").at(L"label"), L"Title");
}

TEST(ControlCatalogue, ATypeValueNeverRenamesTheTemplates) {
    ControlCatalogue catalogue;
    const auto before = catalogue.typeNames();
    catalogue.selectType(L"slider");
    catalogue.setValue(L"type", L"knob");
    EXPECT_TRUE(catalogue.hasType(L"slider"));
    EXPECT_FALSE(catalogue.hasType(L"knob"));
    EXPECT_EQ(catalogue.typeNames(), before);
    EXPECT_EQ(catalogue.templateFor(L"slider").at(L"type"), L"slider");
}

}  // namespace
