#include "controls/ControlCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using Standing = ControlCatalogue::Standing;
using Tags = std::vector<std::wstring>;

std::string narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

Tags tagsOf(const std::vector<TagValue>& rows) {
    Tags tags;
    for (const auto& row : rows) tags.push_back(row.first);
    return tags;
}

bool has(const Tags& tags, const wchar_t* tag) { return std::find(tags.begin(), tags.end(), tag) != tags.end(); }

// The older catalogue's types, every one of which keeps its rows.
const Tags kOlderTypes = {
    L"label",        L"fadelabel",     L"button",        L"multiselect",       L"image",          L"multiimage",
    L"radiobutton",  L"selectbutton",  L"togglebutton",  L"buttonscrollers",   L"buttonsblock",   L"spin",
    L"settingsspin", L"slider",        L"listcontainer", L"wraplistcontainer", L"fixedlistcontainer",
    L"panelcontainer", L"progress",    L"textbox",       L"rssfeed",           L"visualisation",  L"video",
    L"mover",        L"resize",        L"edit",          L"console",           L"checkmark",      L"extendedlist"};

TEST(ControlCatalogue, ListsTodaysTypesThenTheOlderOnesOnce) {
    const ControlCatalogue catalogue;
    const auto types = catalogue.types();
    ASSERT_EQ(types.size(), 49u);
    std::set<std::wstring> names;
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(types[i].standing, i < 34 ? Standing::Today : Standing::Older) << narrow(types[i].name);
        EXPECT_TRUE(names.insert(types[i].name).second) << "twice: " << narrow(types[i].name);
    }
    for (const std::wstring& older : kOlderTypes) EXPECT_EQ(names.count(older), 1u) << narrow(older);
    for (const wchar_t* today : {L"group", L"grouplist", L"list", L"fixedlist", L"panel", L"spincontrolex"})
        EXPECT_TRUE(catalogue.lists(today)) << narrow(today);
    EXPECT_EQ(types[34].name, L"multiselect");  // the first older type no release reads today
    EXPECT_EQ(types.back().name, L"extendedlist");
}

TEST(ControlCatalogue, LooksTypesUpWithoutRegardToAsciiCase) {
    const ControlCatalogue catalogue;
    EXPECT_TRUE(catalogue.hasType(L"Label"));
    EXPECT_TRUE(catalogue.hasType(L"SELECTBUTTON"));
    EXPECT_TRUE(catalogue.hasType(L"GroupList"));
    EXPECT_FALSE(catalogue.hasType(L"knob"));
    EXPECT_FALSE(catalogue.hasType(L""));
    EXPECT_FALSE(catalogue.hasType(L"label "));
    EXPECT_TRUE(catalogue.templateFor(L"knob").empty());
    EXPECT_EQ(catalogue.templateFor(L"BUTTON").at(L"type"), L"button");
}

TEST(ControlCatalogue, TypesKeepTheirOlderTagsBesideTodaysElements) {
    const ControlCatalogue catalogue;
    struct Case {
        const wchar_t* type;
        Tags present;
        Tags absent;
    };
    const Case cases[] = {
        // Older tags, today's common, own and (where it takes focus) focusable elements.
        {L"label", {L"posx", L"number", L"left", L"right", L"focusedcolor", L"onup"}, {L"onback"}},
        {L"button", {L"label2", L"onback", L"pulseonselect", L"left"}, {L"posz"}},
        // Today's types the older catalogue lacked: no element that holds elements.
        {L"group", {L"left", L"top", L"defaultcontrol", L"onup", L"type", L"id"}, {L"control"}},
        {L"list", {L"left", L"viewtype", L"scrolltime"}, {L"itemlayout", L"focusedlayout", L"content"}},
        {L"gamewindow", {L"left", L"videofilter"}, {L"onup"}},
        // Older types: their own tags and where today's controls stand.
        {L"selectbutton", {L"align", L"alignY", L"left", L"centerleft"}, {L"aligny"}},
        {L"spin", {L"posx", L"left", L"pulseonselect"}, {}},
    };
    for (const Case& c : cases) {
        const ControlTemplate t = catalogue.templateFor(c.type);
        for (const std::wstring& tag : c.present) EXPECT_EQ(t.count(tag), 1u) << narrow(c.type) << " " << narrow(tag);
        for (const std::wstring& tag : c.absent) EXPECT_EQ(t.count(tag), 0u) << narrow(c.type) << " " << narrow(tag);
    }
    // Upper case sorts before lower case: "alignY" comes right after "align".
    const ControlTemplate select = catalogue.templateFor(L"selectbutton");
    EXPECT_EQ(std::next(select.find(L"align"))->first, L"alignY");
}

TEST(ControlCatalogue, ALegacyAliasShowsOnlyWhereTheControlUsesIt) {
    ControlCatalogue catalogue;
    struct Case {
        const wchar_t* type;
        std::vector<TagValue> children;
        Tags shown;
        Tags hidden;
    };
    const Case cases[] = {
        {L"label", {}, {L"left", L"top"}, {L"posx", L"posy"}},
        {L"label", {{L"posx", L"10"}, {L"top", L"5"}}, {L"posx", L"top"}, {L"left", L"posy"}},
        // Both written: the modern name, never both.
        {L"image", {{L"posx", L"1"}, {L"left", L"2"}}, {L"left"}, {L"posx"}},
        {L"buttonscrollers", {{L"posy", L""}}, {L"posy", L"left"}, {L"top", L"posx"}},
        {L"radiobutton", {{L"textureradiofocus", L"a.png"}}, {L"textureradiofocus", L"textureradiooff"},
         {L"textureradioon", L"textureradionofocus"}},
        // An element read without effect only where it is written.
        {L"button", {}, {L"textcolor"}, {L"invalidcolor"}},
        {L"button", {{L"invalidcolor", L"ff000000"}}, {L"invalidcolor"}, {}},
    };
    for (const Case& c : cases) {
        catalogue.load(c.type, c.children);
        const Tags rows = tagsOf(catalogue.rowsOf(c.type));
        for (const std::wstring& tag : c.shown) EXPECT_TRUE(has(rows, tag.c_str())) << narrow(c.type) << " " << narrow(tag);
        for (const std::wstring& tag : c.hidden) EXPECT_FALSE(has(rows, tag.c_str())) << narrow(c.type) << " " << narrow(tag);
    }
    // Chosen from the list rather than read: nothing is used.
    EXPECT_TRUE(has(tagsOf(catalogue.rowsOf(L"multiselect")), L"left"));
}

TEST(ControlCatalogue, LoadingKeepsTheFirstOfRepeatedChildrenAndMakesTheTypeCurrent) {
    ControlCatalogue catalogue;
    catalogue.load(L"Button", {{L"label", L"Play"}, {L"visible", L"A"}, {L"visible", L"B"}, {L"Label", L"x"}});
    EXPECT_EQ(catalogue.currentType(), L"Button");
    const ControlTemplate button = catalogue.templateFor(L"button");
    EXPECT_EQ(button.at(L"label"), L"Play");
    EXPECT_EQ(button.at(L"visible"), L"A");  // the one an edit changes
    EXPECT_EQ(button.count(L"Label"), 0u);   // tags are matched exactly
    // The next control of the type starts from empty values.
    catalogue.load(L"button", {{L"visible", L"C"}});
    EXPECT_EQ(catalogue.templateFor(L"button").at(L"label"), L"");
    EXPECT_EQ(catalogue.templateFor(L"button").at(L"visible"), L"C");
}

TEST(ControlCatalogue, AControlOfATypeNothingKnowsGetsARowPerChild) {
    ControlCatalogue catalogue;
    catalogue.load(L"Knob", {{L"left", L"4"}, {L"turns", L"3"}, {L"turns", L"9"}, {L"dial", L""}});
    EXPECT_TRUE(catalogue.hasType(L"knob"));
    EXPECT_FALSE(catalogue.lists(L"knob"));
    EXPECT_EQ(catalogue.types().back().name, L"Knob");  // as written
    EXPECT_EQ(catalogue.types().back().standing, Standing::Unlisted);
    const std::vector<TagValue> rows = catalogue.rowsOf(L"Knob");
    EXPECT_EQ(rows, (std::vector<TagValue>{{L"dial", L""}, {L"left", L"4"}, {L"turns", L"3"}, {L"type", L"Knob"}}));
    EXPECT_EQ(catalogue.elementOf(L"Knob", L"left"), nullptr);

    // One unlisted type at a time, with the children of the control last read.
    catalogue.load(L"knob", {{L"size", L"2"}});
    catalogue.load(L"label", {});
    ASSERT_EQ(catalogue.types().size(), 50u);
    EXPECT_EQ(tagsOf(catalogue.rowsOf(L"knob")), (Tags{L"size", L"type"}));
    catalogue.load(L"slab", {});
    EXPECT_FALSE(catalogue.hasType(L"knob"));
    EXPECT_EQ(catalogue.types().size(), 50u);
}

TEST(ControlCatalogue, SetValueChangesOnlyTheCurrentTypeAndNeverRenamesIt) {
    ControlCatalogue catalogue;
    catalogue.selectType(L"image");
    catalogue.setValue(L"left", L"120");
    EXPECT_EQ(catalogue.templateFor(L"image").at(L"left"), L"120");
    EXPECT_EQ(catalogue.templateFor(L"button").at(L"left"), L"");

    const ControlTemplate before = catalogue.templateFor(L"image");
    catalogue.setValue(L"onclick", L"Close");  // buttons have it, images do not
    catalogue.setValue(L"type", L"knob");
    EXPECT_EQ(catalogue.templateFor(L"image"), before);
    EXPECT_FALSE(catalogue.hasType(L"knob"));

    catalogue.clearValues(L"Image");
    EXPECT_EQ(catalogue.templateFor(L"image").at(L"left"), L"");
    EXPECT_EQ(catalogue.templateFor(L"image").at(L"type"), L"image");
}

}  // namespace
