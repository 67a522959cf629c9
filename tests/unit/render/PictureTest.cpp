// What the renderer puts on the picture: a few pixels of made windows, the
// sample skin's Home window against its golden picture, and bad input that
// ends in a picture and a list of what was left out.
#include "MadeWindow.h"
#include "render/WindowSource.h"
#include "skin/IncludeScan.h"

#include <cstdlib>

namespace {

// B, G, R of the picture's pixel at (x, y).
std::array<int, 3> pixel(const render::Rendering& r, int x, int y) {
    const std::uint8_t* p = &r.picture.pixels[(static_cast<std::size_t>(y) * r.picture.width + x) * 4];
    return {p[0], p[1], p[2]};
}

std::string imageAt(const std::string& box, const std::string& texture, const std::string& more = "") {
    return "<control type=\"image\">" + box + "<texture" + texture + "</texture>" + more + "</control>";
}

TEST(WindowPicture, ImagesAndTextLandWithTheirColours) {
    MadeWindow made;
    // Picture = skin size / 4: skin pixel 400 is picture pixel 100.
    const render::Rendering r = made.draw(
        windowOf(imageAt("<left>0</left><top>0</top><width>400</width><height>400</height>", ">white.png",
                         "<colordiffuse>FF00FF00</colordiffuse>") +
                     imageAt("<left>400</left><top>0</top><width>400</width><height>100</height>",
                             " flipx=\"true\">halves.png") +
                     imageAt("<left>400</left><top>100</top><width>400</width><height>400</height>",
                             " colordiffuse=\"red\">white.png", "<aspectratio>keep</aspectratio>") +
                     "<control type=\"label\"><left>800</left><top>0</top><width>480</width><height>200</height>"
                     "<font>big</font><textcolor>red</textcolor><label>31000</label><aligny>center</aligny>"
                     "</control>",
                 "<backgroundcolor>FF000080</backgroundcolor>"));
    ASSERT_EQ(r.picture.width, 320u);
    EXPECT_EQ(pixel(r, 50, 50), (std::array<int, 3>{0, 255, 0})) << "tinted green";
    EXPECT_EQ(pixel(r, 105, 10), (std::array<int, 3>{255, 0, 0})) << "flipped: blue on the left";
    EXPECT_EQ(pixel(r, 195, 10), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(pixel(r, 150, 60), (std::array<int, 3>{0, 0, 255})) << "a square kept square, red";
    EXPECT_EQ(pixel(r, 310, 170), (std::array<int, 3>{128, 0, 0})) << "the window's background colour";
    // The label's text ("Hello", centred vertically in 50 picture rows) is red on blue.
    int redText = 0;
    for (int y = 0; y < 50; ++y) {
        for (int x = 200; x < 320; ++x) {
            const auto p = pixel(r, x, y);
            if (p[2] > 200 && p[1] < 40) ++redText;
        }
    }
    EXPECT_GT(redText, 10);
    EXPECT_TRUE(r.leftOut.empty());
}

TEST(WindowPicture, BadInputEndsInAPictureAndAList) {
    MadeWindow made;
    std::string many;
    for (int i = 0; i < 10000; ++i) many += "<control type=\"image\"><width>1</width><texture>white.png</texture></control>";
    std::string deepGroups;
    for (int i = 0; i < 150; ++i) deepGroups += "<control type=\"group\">";
    for (int i = 0; i < 150; ++i) deepGroups += "</control>";
    std::string deepCondition = std::string(100, '[') + "Player.HasMedia" + std::string(100, ']');
    struct Case {
        const char* what;
        std::string xml;
        int w = 320, h = 180;
        const char* leftOut;  // part of the first note, or null for none
        bool picture = true;
    };
    const Case cases[] = {
        {"10,000 controls", windowOf(many), 320, 180, nullptr},
        {"groups nested 150 deep", windowOf(deepGroups), 320, 180, "nested more than"},
        {"condition nested 100 deep", windowOf(imageAt("", ">white.png", "<visible>" + deepCondition + "</visible>")),
         320, 180, nullptr},
        {"damaged font", windowOf("<control type=\"label\"><font>broken</font><label>x</label></control>"), 320, 180,
         "Broken.ttf"},
        {"missing font", windowOf("<control type=\"label\"><font>missing</font><label>x</label></control>"), 320,
         180, "Missing.ttf"},
        {"unknown font", windowOf("<control type=\"label\"><font>nobody</font><label>x</label></control>"), 320,
         180, "not in Font.xml"},
        {"undecodable texture", windowOf(imageAt("", ">damaged.png")), 320, 180, "damaged.png"},
        {"missing texture", windowOf(imageAt("", ">nothing.png")), 320, 180, "not in the media folder"},
        {"texture built at run time", windowOf(imageAt("", ">$VAR[Art]")), 320, 180, "run time"},
        {"zero and negative sizes",
         windowOf(imageAt("<width>0</width><height>-5</height>", ">white.png") +
                  imageAt("<left>-1e30</left><top>1e30</top><width>1e30</width>", ">white.png")),
         320, 180, nullptr},
        {"huge percentages", windowOf(imageAt("<width>100000%</width><height>250%</height>", ">white.png")), 320,
         180, nullptr},
        {"a type not drawn", windowOf("<control type=\"spincontrolex\"/>"), 320, 180, "not drawn here"},
        {"a picture too large", windowOf(""), 100000, 10, "not drawn", false},
        {"a picture of no size", windowOf(""), -4, 0, nullptr},
    };
    for (const Case& c : cases) {
        const render::Rendering r = made.draw(c.xml, c.w, c.h);
        EXPECT_EQ(!r.picture.empty(), c.picture) << c.what;
        if (c.leftOut) {
            ASSERT_FALSE(r.leftOut.empty()) << c.what;
            EXPECT_NE(r.leftOut.front().why.find(c.leftOut), std::string::npos) << c.what << ": " << r.leftOut.front().why;
        } else {
            for (const render::LeftOut& l : r.leftOut) ADD_FAILURE() << c.what << ": " << l.why;
        }
    }
    // Elements nested deeper than the reader follows: refused, not recursed into.
    render::Node node;
    std::string reason;
    EXPECT_FALSE(render::ReadWindowText("<window>" + std::string(100000, '<') + "</window>", 0, node, reason));
    std::string deep = "<window>";
    for (int i = 0; i < 300; ++i) deep += "<a>";
    for (int i = 0; i < 300; ++i) deep += "</a>";
    EXPECT_FALSE(render::ReadWindowText(deep + "</window>", 0, node, reason));
    EXPECT_NE(reason.find("nested"), std::string::npos);
}

}  // namespace
