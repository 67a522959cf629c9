#include "skin/Completion.h"
#include "skin/VocabularyHover.h"
#include "MemorySkin.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {

// The text with '|' marking the caret.
CompletionSite siteIn(std::string text) {
    const std::size_t caret = text.find('|');
    text.erase(caret, 1);
    return FindCompletionSite(text, caret);
}

TEST(CompletionSiteTest, FindsEveryContextOfTheTable) {
    struct Case {
        const char* text;
        CompletionContext context;
        const char* typed;
        const char* scope;
    };
    const Case cases[] = {
        {"<window><include>Fr|</include>", CompletionContext::IncludeName, "Fr", ""},
        {"<include content=\"|\">", CompletionContext::IncludeName, "", ""},
        {"<include content=\"Frame\"><param name=\"id\" value=\"1\"/><param name=\"|", CompletionContext::CallParameter,
         "", "Frame"},
        {"<includes><include name=\"Frame\"><definition><label>$PARAM[la|", CompletionContext::DefinitionParam, "la",
         "Frame"},
        {"<label>$VAR[|</label>", CompletionContext::Variable, "", ""},
        {"<label>x $ESCVAR[Li|", CompletionContext::Variable, "Li", ""},
        {"<visible>!$EXP[Is|]</visible>", CompletionContext::Expression, "Is", ""},
        {"<control><posx>Pa|</posx>", CompletionContext::Constant, "Pa", ""},
        {"<animation end=\"|\">", CompletionContext::Constant, "", ""},
        {"<font>|", CompletionContext::Font, "", ""},
        {"<textcolor>|</textcolor>", CompletionContext::Colour, "", ""},
        {"<texture colordiffuse=\"bu|\">", CompletionContext::Colour, "bu", ""},
        {"<label>$LOCALIZE[hel|]", CompletionContext::String, "hel", ""},
        {"<label>$LOCALIZE[my wo|", CompletionContext::String, "my wo", ""},
        {"<hinttext>310|</hinttext>", CompletionContext::String, "310", ""},
        {"<texture>buttons/f|</texture>", CompletionContext::Texture, "buttons/f", ""},
        {"<control type=\"label\">\n  <font>a</font>\n  <|", CompletionContext::ElementName, "", "label"},
        {"<control type=\"|", CompletionContext::ControlType, "", ""},
    };
    for (const Case& c : cases) {
        const CompletionSite site = siteIn(c.text);
        EXPECT_EQ(site.context, c.context) << c.text;
        EXPECT_EQ(site.typed, c.typed) << c.text;
        EXPECT_EQ(site.scope, c.scope) << c.text;
    }
}

TEST(CompletionSiteTest, OffersNothingOutsideTheContexts) {
    for (const char* text :
         {"<!-- <font>| -->", "<!-- $VAR[|", "<description>|</description>", "<label>Some words and mo|</label>",
          "<control type=\"label\" |", "<include content=\"Frame\">|", "<window>\n<|", "plain |text"}) {
        EXPECT_EQ(siteIn(text).context, CompletionContext::None) << text;
    }
}

TEST(CompletionSiteTest, ReadsAroundTheCaretInsideAName) {
    // Inside a partly typed name: the part before the caret filters, the
    // whole name is replaced, and a bracket already there is not doubled.
    std::string text = "<label>$VAR[ListLa|bel]</label>";
    CompletionSite site = siteIn(text);
    text.erase(text.find('|'), 1);
    EXPECT_EQ(site.typed, "ListLa");
    EXPECT_EQ(text.substr(site.start, site.end - site.start), "ListLabel");
    EXPECT_EQ(CompletionInsertText(text, site, "ListLabel"), "ListLabel");

    text = "<include content=\"Fr";
    site = FindCompletionSite(text, text.size());
    EXPECT_EQ(CompletionInsertText(text, site, "Frame"), "Frame\"");

    // Parameters already given and elements already present are told apart
    // from the one being typed, before and after the caret (CRLF lines).
    site = siteIn(
        "<include content=\"Frame\">\r\n<param name=\"id\">1</param>\r\n<param name=\"|\"/>\r\n"
        "<param name=\"label\" value=\"x\"/>\r\n</include>");
    EXPECT_EQ(site.present, (std::vector<std::string>{"id", "label"}));
    site = siteIn("<control type=\"Label\">\r\n<Font>a</Font>\r\n<|\r\n<width>3</width>\r\n</control>\r\n<height/>");
    EXPECT_EQ(site.scope, "label");
    EXPECT_EQ(site.present, (std::vector<std::string>{"font", "width"}));
}

TEST(CompletionSiteTest, KeepsToTheCaretsLineOnALongLine) {
    std::string text = "<window><controls><control type=\"label\">";
    while (text.size() < 10000) text += "<label>$LOCALIZE[31001]</label><posx>12</posx>";
    text += "<textcolor>bu";
    const CompletionSite site = FindCompletionSite(text, text.size());
    EXPECT_EQ(site.context, CompletionContext::Colour);
    EXPECT_EQ(site.typed, "bu");
    EXPECT_EQ(site.start, text.size() - 2);
}

std::vector<std::string> names(const std::vector<CompletionEntry>& entries) {
    std::vector<std::string> out;
    for (const CompletionEntry& e : entries) out.push_back(e.name);
    return out;
}

class CompletionEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.put(
            L"C:\\skin\\720p\\includes.xml",
            "<includes>\n"
            "  <include name=\"Frame\">\n"
            "    <param name=\"id\">100</param>\n"
            "    <param name=\"label\" default=\"none\"/>\n"
            "    <definition><label>$PARAM[label]</label></definition>\n"
            "  </include>\n"
            "  <include name=\"Other\"><param name=\"size\">3</param><definition/></include>\n"
            "  <variable name=\"ListLabel\"><value condition=\"a\">First</value><value>Second</value></variable>\n"
            "  <variable name=\"labelWidth\"><value>10</value></variable>\n"
            "  <variable name=\"Alabel\"><value>1</value></variable>\n"
            "</includes>\n");
        skin_.put(L"C:\\skin\\720p\\Home.xml",
                  "<window><include content=\"Frame\"><param name=\"extra\" value=\"1\"/></include></window>\n");
        skin_.put(L"C:\\skin\\language\\resource.language.en_gb\\strings.po",
                  "msgctxt \"#31001\"\nmsgid \"Favourites\"\nmsgstr \"\"\n\n"
                  "msgctxt \"#31002\"\nmsgid \"My videos\"\nmsgstr \"\"\n");
        skin_.put(L"C:\\skin\\media\\buttons\\Focus.png", "");
        skin_.put(L"C:\\skin\\media\\buttons\\nofocus.png", "");
        skin_.put(L"C:\\skin\\media\\textures.ort", "bundle");
        skin_.bundleEntries = {{"buttons/focus.png", 8, 8}, {"packed/bg.png", 4, 4}};
        ASSERT_TRUE(model_.refresh(L"C:\\skin\\720p"));
    }

    std::vector<CompletionEntry> at(std::string text) {
        const std::size_t caret = text.find('|');
        text.erase(caret, 1);
        return CompletionEntries(model_, FindCompletionSite(text, caret));
    }

    MemorySkin skin_;
    SkinModel model_ = skin_.model();
};

TEST_F(CompletionEntriesTest, ListsTheSkinsNamesWithTheirDetails) {
    auto entries = at("<label>$VAR[|");
    ASSERT_EQ(names(entries), (std::vector<std::string>{"Alabel", "labelWidth", "ListLabel"}));
    EXPECT_EQ(entries[2].detail, "First");
    // Prefix first, then substring, letter case ignored.
    EXPECT_EQ(names(at("<label>$VAR[LAB|")), (std::vector<std::string>{"labelWidth", "Alabel", "ListLabel"}));

    entries = at("<include>|");
    ASSERT_EQ(names(entries), (std::vector<std::string>{"Frame", "Other"}));
    EXPECT_EQ(entries[0].detail, "includes.xml");

    // The called include's own parameters, less those given.
    entries = at("<include content=\"Frame\"><param name=\"label\"/><param name=\"|");
    ASSERT_EQ(names(entries), (std::vector<std::string>{"id"}));
    EXPECT_EQ(entries[0].detail, "100");
    // Inside the definition: declared ones and those a call passes.
    EXPECT_EQ(names(at("<includes><include name=\"Frame\"><definition>$PARAM[|")),
              (std::vector<std::string>{"extra", "id", "label"}));
}

TEST_F(CompletionEntriesTest, FindsStringsByTheirTextAndMergesTextures) {
    auto entries = at("<label>$LOCALIZE[vid|");
    ASSERT_EQ(names(entries), (std::vector<std::string>{"31002"}));
    EXPECT_EQ(entries[0].detail, "My videos");
    EXPECT_EQ(names(at("<label>$LOCALIZE[3100|")), (std::vector<std::string>{"31001", "31002"}));

    entries = at("<texturefocus>|");
    ASSERT_EQ(names(entries), (std::vector<std::string>{"buttons/Focus.png", "buttons/nofocus.png", "packed/bg.png"}));
    EXPECT_EQ(entries[0].detail, "disk and bundle");
    EXPECT_EQ(entries[1].detail, "disk");
    EXPECT_EQ(entries[2].detail, "bundle");

    EXPECT_TRUE(at("<!-- $VAR[| -->").empty());
}

// Today's vocabulary where the caret is: a type's elements not yet there
// (repeatable ones always), its values, types, attributes and animations'.
TEST_F(CompletionEntriesTest, OffersTheVocabularyWhereTheCaretIs) {
    using Names = std::vector<std::string>;
    const struct {
        const char* text;
        Names expected;
    } exact[] = {
        {"<control type=\"Label\"><width>1</width><al|", {"align", "aligny"}},
        {"<control type=\"label\"><ALIGNY>|", {"center", "top"}},
        {"<control type=\"image\"><aspectratio>k|", {"keep"}},
        {"<control type=\"label\"><scroll>|", {"false", "true"}},
        {"<animation effect=\"fade\">win|", {"WindowClose", "WindowOpen"}},
        {"<animation effect=\"z|", {"zoom"}},
        {"<effect type=\"zoom\" easing=\"|", {"in", "inout", "out"}},
        {"<scrolltime tween=\"bo|\">", {"bounce"}},
        {"<texturefocus border=\"5\" fl|", {"flipx", "flipy"}},
        {"<control type=\"fancy\"><|", {}},
    };
    for (const auto& c : exact) EXPECT_EQ(names(at(c.text)), c.expected) << c.text;

    const Names label = names(at("<control type=\"label\"><width>1</width><visible>a</visible><|"));
    auto has = [](const Names& n, const char* name) { return std::find(n.begin(), n.end(), name) != n.end(); };
    EXPECT_TRUE(has(label, "visible") && has(label, "left") && has(label, "font"));
    EXPECT_FALSE(has(label, "width") || has(label, "posx") || has(label, "onup"));
    const auto button = at("<control type=\"button\"><|");
    EXPECT_TRUE(has(names(button), "onup") && has(names(button), "label2"));
    EXPECT_FALSE(has(names(button), "invalidcolor"));  // read without effect
    const auto types = at("<control type=\"|");
    EXPECT_EQ(types.size(), vocab::controlTypes().size());
    EXPECT_TRUE(has(names(types), "grouplist"));
}

}  // namespace

namespace {

// Hover on element and attribute names says what today's media center
// makes of them.
TEST(VocabularyHoverTest, TellsWhatANameIs) {
    const struct {
        const char* text;  // '|' marks the mouse
        const char* said;  // a part of what is said; "" for nothing
    } cases[] = {
        {"<control type=\"label\"><ali|gny>center</aligny>", "one of top, center"},
        {"<control type=\"label\"><aligny>center</al|igny>", "read by a label control"},
        {"<control type=\"Button\"><po|sx>", "older name of <left>"},
        {"<control type=\"button\"><invalid|color>", "no effect on a button control"},
        {"<control type=\"button\"><on|up>", "every control that takes the focus"},
        {"<control type=\"image\"><ali|gn>", "does not read <align>"},
        {"<control type=\"fixedlist\"><startmove|ment>", "newest releases"},
        {"<control type=\"gr|ouplist\">", "holds items"},
        {"<texture bor|der=\"5\">", "left,top,right,bottom"},
        {"<animation effect=\"fade\" tw|een=\"sine\">", "bounce"},
        {"<includes><include name=\"a\"><vis|ible>", "every control"},
        {"<control type=\"fancy\"><ali|gn>", ""},
        {"<la|bel>", "controls of type label, fadelabel"},
        {"plain te|xt", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        const std::size_t at = text.find('|');
        text.erase(at, 1);
        const MarkupHover hover = VocabularyHoverAt(text, at);
        if (*c.said == 0) {
            EXPECT_EQ(hover.text, "") << c.text;
        } else {
            EXPECT_NE(hover.text.find(c.said), std::string::npos) << c.text << "\n" << hover.text;
        }
    }
}

}  // namespace
