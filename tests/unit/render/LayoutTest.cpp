// Where controls land: the axis arithmetic, then small made windows checked
// through the renderer's list of drawn controls (not through pixels).
#include "MadeWindow.h"
#include "render/ControlLayout.h"
#include "render/IdleConditions.h"

#include <map>

namespace {

using render::AxisText;

TEST(ControlLayout, EveryFormOfAnAxis) {
    struct Case {
        const char* what;
        AxisText text;
        std::optional<float> natural;
        float pos, size;
    };
    const Case cases[] = {
        {"pixels", {"10", "", "", "", "100", "", ""}, {}, 10, 100},
        {"percentages", {"10%", "", "", "", "50%", "", ""}, {}, 100, 500},
        {"r suffix", {"100r", "", "", "", "50", "", ""}, {}, 900, 50},
        {"right edge and width", {"", "20", "", "", "100", "", ""}, {}, 880, 100},
        {"left and right", {"10", "20", "", "", "", "", ""}, {}, 10, 970},
        {"centre", {"", "", "500", "", "100", "", ""}, {}, 450, 100},
        {"centre from the far edge", {"", "", "", "100", "50", "", ""}, {}, 875, 50},
        {"left only fills the rest", {"300", "", "", "", "", "", ""}, {}, 300, 700},
        {"auto below its minimum", {"0", "", "", "", "auto", "400", "600"}, 300.0f, 0, 400},
        {"auto above its maximum", {"0", "", "", "", "auto", "", "200"}, 300.0f, 0, 200},
        {"auto without content", {"5", "", "", "", "auto", "", ""}, {}, 5, 995},
        {"over a hundred percent", {"0", "", "", "", "150%", "", ""}, {}, 0, 1500},
        {"negative size", {"40", "", "", "", "-50", "", ""}, {}, 40, 0},
        {"huge values", {"1e30", "", "", "", "1e30", "", ""}, {}, render::kFarthest, render::kFarthest},
        {"not a number", {"abc", "", "", "", "1x", "", ""}, {}, 0, 1000},
    };
    for (const Case& c : cases) {
        const render::Axis a = render::ResolveAxis(c.text, 1000, c.natural);
        EXPECT_FLOAT_EQ(a.pos, c.pos) << c.what;
        EXPECT_FLOAT_EQ(a.size, c.size) << c.what;
    }
}

TEST(IdleConditions, AnIdleMediaCenterAnswers) {
    render::IdleState idle;
    idle.windowName = "Home";
    idle.defaultControl = "20";
    idle.expression = [](std::string_view name) -> std::optional<std::string> {
        if (name == "Playing") return std::string("Player.HasMedia");
        if (name == "Loop") return std::string("$EXP[Loop] + $EXP[Loop]");
        return std::nullopt;
    };
    using render::Truth;
    const std::pair<std::string, Truth> cases[] = {
        {"Player.HasMedia", Truth::False},
        {"!Player.HasMedia", Truth::True},
        {"Library.HasContent(Movies) | Skin.HasSetting(x)", Truth::False},
        {"String.IsEmpty(ListItem.Label) + !Skin.String(theme)", Truth::True},
        {"String.IsEqual(ListItem.Label,) + !String.IsEqual(Window.Property(x),a)", Truth::True},
        {"Control.HasFocus(20)", Truth::True},
        {"Control.HasFocus(21)", Truth::False},
        {"Window.IsActive(home) + !Window.IsVisible(Settings)", Truth::True},
        {"Window.IsActive(10025)", Truth::Unknown},
        {"System.HasAddon(some.addon)", Truth::Unknown},
        {"System.HasAddon(x) + Player.HasMedia", Truth::False},
        {"System.HasAddon(x) | !Player.HasMedia", Truth::True},
        {"[Player.HasMedia | !Player.HasMedia] + [true]", Truth::True},
        {"$EXP[Playing]", Truth::False},
        {"!$EXP[Playing]", Truth::True},
        {"$EXP[Loop]", Truth::Unknown},
        {"$EXP[Nobody]", Truth::Unknown},
        {"[Player.HasMedia", Truth::Unknown},
        {"Player.HasMedia +", Truth::Unknown},
        {"", Truth::Unknown},
        {std::string(100, '[') + "!Player.HasMedia" + std::string(100, ']'), Truth::True},
        {std::string(100000, '!') + "true", Truth::Unknown},
        {std::string(100000, '['), Truth::Unknown},
    };
    for (const auto& [condition, expected] : cases) {
        EXPECT_EQ(render::EvaluateIdle(condition, idle), expected) << condition.substr(0, 80);
    }
}

// The boxes of the drawn controls by id (the last one of an id wins).
std::map<std::string, render::Box> boxes(const render::Rendering& r) {
    std::map<std::string, render::Box> out;
    for (const render::DrawnControl& d : r.drawn) out[d.id] = d.box;
    return out;
}

void expectBox(const std::map<std::string, render::Box>& b, const std::string& id, float x, float y, float w, float h) {
    const auto it = b.find(id);
    ASSERT_NE(it, b.end()) << "control " << id << " was not drawn";
    EXPECT_FLOAT_EQ(it->second.x, x) << id;
    EXPECT_FLOAT_EQ(it->second.y, y) << id;
    EXPECT_FLOAT_EQ(it->second.w, w) << id;
    EXPECT_FLOAT_EQ(it->second.h, h) << id;
}

std::string image(const std::string& id, const std::string& inner) {
    return "<control type=\"image\" id=\"" + id + "\">" + inner + "<texture>white.png</texture></control>";
}

// Groups, grouplists, a list with static content and idle visibility.
std::string madeWindow() {
    return windowOf(
        // A group offsets its children; a constant, a percentage, the far edges.
        "<control type=\"group\" id=\"1\"><left>100</left><top>50</top><width>400</width><height>200</height>" +
        image("2", "<left>10</left><top>Gap</top><width>50%</width><height>10</height>") +
        image("3", "<right>10</right><bottom>10</bottom><width>40</width><height>20</height>") +
        image("4", "<posx>20r</posx><posy>0</posy><width>20</width><height>20</height>") +
        "</control>"
        // A vertical grouplist stacks what is visible, with the gap between.
        "<control type=\"grouplist\" id=\"5\"><left>0</left><top>300</top><width>200</width><height>400</height>"
        "<itemgap>10</itemgap>" +
        image("6", "<height>30</height>") + image("7", "<height>40</height><visible>Player.HasMedia</visible>") +
        image("8", "<left>50</left><height>50</height>") +
        "</control>"
        // A horizontal one centred, children's own left ignored.
        "<control type=\"grouplist\" id=\"9\"><left>300</left><top>600</top><width>300</width><height>50</height>"
        "<orientation>horizontal</orientation><align>center</align><itemgap>0</itemgap>" +
        image("10", "<left>99</left><width>50</width>") + image("11", "<width>50</width>") +
        "</control>"
        // A list: the focused layout for the first item, static content, one item hidden.
        "<control type=\"list\" id=\"12\"><left>600</left><top>100</top><width>300</width><height>400</height>"
        "<itemlayout width=\"300\" height=\"50\"><control type=\"label\" id=\"13\"><left>5</left>"
        "<info>ListItem.Label</info></control></itemlayout>"
        "<focusedlayout width=\"300\" height=\"60\">" +
        image("14", "") +
        "</focusedlayout>"
        "<content><item><label>A</label></item><item><label>B</label></item>"
        "<item><label>C</label><visible>Skin.HasSetting(x)</visible></item>"
        "<item><label>D</label></item></content></control>" +
        image("20", "<visible>!Player.HasMedia + Control.HasFocus(20)</visible>") +
        image("21", "<visible>Control.HasFocus(21)</visible>") +
        image("22", "<visible>System.HasAddon(foo)</visible>") +
        image("23", "<visible>Window.IsActive(Home)</visible><visible>!$EXP[Playing]</visible>") +
        image("24", "<visible>$EXP[Playing]</visible>"));
}

void expectMadeWindowLayout(const render::Rendering& r) {
    const auto b = boxes(r);
    expectBox(b, "1", 100, 50, 400, 200);
    expectBox(b, "2", 110, 70, 200, 10);
    expectBox(b, "3", 450, 220, 40, 20);
    expectBox(b, "4", 480, 50, 20, 20);
    expectBox(b, "6", 0, 300, 200, 30);
    EXPECT_EQ(b.count("7"), 0u);
    expectBox(b, "8", 0, 340, 150, 50);
    expectBox(b, "10", 400, 600, 50, 50);
    expectBox(b, "11", 450, 600, 50, 50);
    expectBox(b, "14", 600, 100, 300, 60);
    int labels = 0;
    float lastLabelTop = 0;
    for (const render::DrawnControl& d : r.drawn) {
        if (d.id == "13") {
            ++labels;
            lastLabelTop = d.box.y;
            EXPECT_FLOAT_EQ(d.box.x, 605);
            EXPECT_FLOAT_EQ(d.box.w, 295);
        }
    }
    EXPECT_EQ(labels, 2) << "items B and D in the item layout; C is hidden";
    EXPECT_FLOAT_EQ(lastLabelTop, 210);
    EXPECT_EQ(b.count("20"), 1u);
    EXPECT_EQ(b.count("21"), 0u);
    EXPECT_EQ(b.count("22"), 1u) << "an unknown condition draws the control";
    EXPECT_EQ(b.count("23"), 1u);
    EXPECT_EQ(b.count("24"), 0u);
    for (const render::LeftOut& l : r.leftOut) ADD_FAILURE() << l.type << " line " << l.line << ": " << l.why;
}

TEST(WindowLayout, GroupsGrouplistsListsAndIdleVisibility) {
    MadeWindow made;
    expectMadeWindowLayout(made.draw(madeWindow()));
}

TEST(WindowLayout, TheModelsExpandedWindowLaysOutTheSame) {
    MadeWindow made;
    // The group's first image and the list's focused layout come from includes, one with a parameter.
    std::string xml = madeWindow();
    const std::string first = image("2", "<left>10</left><top>Gap</top><width>50%</width><height>10</height>");
    xml.replace(xml.find(first), first.size(), "<include content=\"Half\"><param name=\"top\" value=\"Gap\"/></include>");
    const std::string focused = image("14", "");
    xml.replace(xml.find(focused), focused.size(), "<include>Focused</include>");
    expectMadeWindowLayout(made.drawExpanded(
        xml, "<include name=\"Half\">" +
                 image("2", "<left>10</left><top>$PARAM[top]</top><width>50%</width><height>10</height>") +
                 "</include>\n<include name=\"Focused\">" + focused + "</include>\n"));
}

TEST(WindowLayout, ListsFilledByTheMediaCenterShowPlaceholderItems) {
    MadeWindow made;
    const render::Rendering r = made.draw(windowOf(
        "<control type=\"panel\" id=\"1\"><left>0</left><top>0</top><width>250</width><height>400</height>"
        "<itemlayout width=\"100\" height=\"100\">" +
        image("2", "") + "</itemlayout><content target=\"videos\">videodb://movies/</content></control>"));
    std::vector<std::pair<float, float>> places;
    for (const render::DrawnControl& d : r.drawn) {
        if (d.id == "2") places.emplace_back(d.box.x, d.box.y);
    }
    EXPECT_EQ(places, (std::vector<std::pair<float, float>>{{0, 0}, {100, 0}, {0, 100}}));
    ASSERT_EQ(r.leftOut.size(), 1u);
    EXPECT_NE(r.leftOut[0].why.find("media center"), std::string::npos);
}

}  // namespace
