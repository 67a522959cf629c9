#include "skin/ControlIds.h"
#include "skin/ExpandedWindow.h"
#include "skin/SkinCheck.h"
#include "MemorySkin.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {

const wchar_t* const kWin = L"C:\\skin\\720p";
const std::wstring kHome = L"C:\\skin\\720p\\Home.xml";
const std::wstring kMenu = L"C:\\skin\\720p\\Menu.xml";
const std::wstring kIncludes = L"C:\\skin\\720p\\includes.xml";
const std::wstring kViews = L"C:\\skin\\720p\\Views.xml";

// Includes two levels deep with parameters (passed on, and a default), an
// include file with the views, a window that lists them.
const char* const kIncludesText =
    "<includes>\n"
    "  <include file=\"Views.xml\"/>\n"
    "  <include name=\"Menu\">\n"                                     // 3
    "    <param name=\"id\" default=\"9000\"/>\n"                     // 4
    "    <definition>\n"
    "      <control type=\"grouplist\" id=\"$PARAM[id]\">\n"          // 6
    "        <onup>$PARAM[up]</onup>\n"                               // 7
    "        <include content=\"Item\"><param name=\"n\" value=\"$PARAM[first]\"/></include>\n"
    "        <onright>50</onright><ondown>$PARAM[down]</ondown>\n"      // 9
    "      </control>\n"
    "    </definition>\n"
    "  </include>\n"
    "  <include name=\"Item\">\n"                                     // 13
    "    <control type=\"button\" id=\"$PARAM[n]\"><label>Item $PARAM[n]</label>"
    "<visible>!Control.HasFocus(50)</visible></control>\n"             // 14
    "  </include>\n"
    "</includes>\n";

const char* const kViewsText =
    "<includes>\n"
    "  <include name=\"View_50\">\n"
    "    <control type=\"list\" id=\"50\"><description>Poster list</description>\n"  // 3
    "      <itemlayout><control type=\"label\" id=\"1\"/></itemlayout>\n"
    "    </control>\n"
    "  </include>\n"
    "</includes>\n";

const char* const kHomeText =
    "<window>\n"
    "  <defaultcontrol>9000</defaultcontrol>\n"                                  // 2
    "  <views>50</views>\n"                                                     // 3
    "  <controls>\n"
    "    <include content=\"Menu\">\n"                                           // 5
    "      <param name=\"up\" value=\"50\"/><param name=\"first\">7</param>\n"   // 6
    "    </include>\n"
    "    <include>View_50</include>\n"                                          // 8
    "    <control type=\"button\" id=\"20\"><onclick>SetFocus(7)</onclick>"
    "<visible>Control.IsVisible(9000) + Container(50).HasFiles</visible></control>\n"  // 9
    "  </controls>\n"
    "</window>\n";

struct Skin {
    MemorySkin s;
    SkinModel model;
    explicit Skin(std::map<std::wstring, std::string> files) : model((put(s, files), s.model())) {
        model.refresh(kWin);
    }
    static int put(MemorySkin& s, const std::map<std::wstring, std::string>& files) {
        for (const auto& [path, text] : files) s.put(path, text);
        return 0;
    }
};

std::map<std::wstring, std::string> baseSkin() {
    return {{kIncludes, kIncludesText}, {kViews, kViewsText}, {kHome, kHomeText}};
}

std::string fileOf(const Location& at) {
    const std::size_t slash = at.path.rfind(L'\\');
    return std::string(at.path.begin() + static_cast<std::ptrdiff_t>(slash + 1), at.path.end()) + ":" +
           std::to_string(at.line);
}

// The tree as "type id (file:line) [parent]" lines, children indented.
std::string outline(const ExpandedWindow& w) {
    std::string out;
    auto line = [&](auto&& self, std::uint32_t k, int depth) -> void {
        const WindowControl& c = w.controls()[k];
        out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + std::string(c.type) + " " + std::string(c.id) +
               " " + fileOf(w.locate(c.at)) + (c.inItemLayout ? " layout" : "") + "\n";
        for (const std::uint32_t child : c.children) self(self, child, depth + 1);
    };
    for (const std::uint32_t k : w.topLevel()) line(line, k, 0);
    return out;
}

}  // namespace

TEST(ExpandedWindow, IncludesTwoLevelsDeepWithParametersViewsAndIncludeFiles) {
    Skin skin(baseSkin());
    const ExpandedWindow* w = skin.model.expandedWindow(kHome);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->complete());
    EXPECT_EQ(outline(*w),
              "grouplist 9000 includes.xml:6\n"
              "  button 7 includes.xml:14\n"
              "list 50 Views.xml:3\n"
              "  label 1 Views.xml:4 layout\n"
              "button 20 Home.xml:9\n");
    const WindowControl& item = w->controls()[1];
    EXPECT_EQ(item.parent, 0);
    ASSERT_GE(item.via, 0);
    EXPECT_EQ(w->calls()[static_cast<std::size_t>(item.via)].name, "Item");
    EXPECT_EQ(w->calls()[static_cast<std::size_t>(w->calls()[static_cast<std::size_t>(item.via)].parent)].name, "Menu");
    ASSERT_NE(w->element(item, "label"), nullptr);
    EXPECT_EQ(w->element(item, "label")->value, "Item 7");  // substituted for the renderer
    EXPECT_EQ(w->caption(w->controls()[2]), "Poster list");
    EXPECT_FALSE(w->element(w->controls()[0], "onup") == nullptr);
    EXPECT_EQ(w->element(w->controls()[0], "onup")->value, "50");
    ASSERT_EQ(w->windowElements().size(), 3u);  // defaultcontrol, views, controls
    // Every place naming an id, where it is written: a parameter passed as is
    // is named at the call.
    std::string uses;
    for (const ControlIdUse& u : w->idUses()) {
        uses += std::to_string(u.id.value) + "@" + fileOf(w->locate(u.at)) + (u.built ? " built" : "") + " ";
    }
    EXPECT_EQ(uses,
              "9000@Home.xml:2 50@Home.xml:3 50@Home.xml:6 50@includes.xml:14 50@includes.xml:9 "
              "0@includes.xml:9 built 7@Home.xml:9 9000@Home.xml:9 50@Home.xml:9 ");
}

TEST(ExpandedWindow, FollowsControlIdsToTheirControlsAndUses) {
    Skin skin(baseSkin());
    // <onright>50</onright> in the include body: the list from the view file.
    const ControlIdSite onright = ControlIdAt(skin.model, kIncludes, 9, 18);
    ASSERT_TRUE(onright.found);
    EXPECT_FALSE(onright.isDefinition);
    const std::vector<ControlTarget> targets = ControlIdDefinitions(onright);
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(fileOf(targets[0].at), "Views.xml:3");
    EXPECT_EQ(targets[0].type, "list");
    EXPECT_EQ(ControlIdHover(onright), "Control 50 (list), Views.xml line 3: Poster list");
    std::string refs;
    for (const Location& at : ControlIdReferences(onright)) refs += fileOf(at) + " ";
    EXPECT_EQ(refs, "Home.xml:3 Home.xml:6 includes.xml:14 includes.xml:9 Home.xml:9 ");
    // "7" passed as the id of an include's control is no use of an id; a
    // use of it opens the control the include builds.
    EXPECT_FALSE(ControlIdAt(skin.model, kHome, 6, 55).found);
    const ControlIdSite setFocus = ControlIdAt(skin.model, kHome, 9, 53);
    ASSERT_TRUE(setFocus.found);
    ASSERT_EQ(ControlIdDefinitions(setFocus).size(), 1u);
    EXPECT_EQ(fileOf(ControlIdDefinitions(setFocus)[0].at), "includes.xml:14");
    // Two controls with one id (exclusive groups): both are offered.
    auto files = baseSkin();
    files[kHome].insert(files[kHome].find("  </controls>"), "    <control type=\"image\" id=\"20\"/>\n");
    Skin twice(files);
    const ControlIdSite onDefinition = ControlIdAt(twice.model, kHome, 9, 31);
    ASSERT_TRUE(onDefinition.found);
    EXPECT_TRUE(onDefinition.isDefinition);
    EXPECT_EQ(ControlIdDefinitions(onDefinition).size(), 2u);
}

// The rule's findings and silences: one window each, the finding's line or nothing.
TEST(ExpandedWindow, UndefinedControlIdsAndTheirSilences) {
    struct Case {
        const char* what;
        std::string controls;
        std::string finding;  // "file:line" or empty
    };
    const std::vector<Case> cases = {
        {"a wrong onup", "<control type=\"button\" id=\"1\"><onup>2</onup></control>", "Menu.xml:3"},
        {"a wrong function id", "<control type=\"button\" id=\"1\"><visible>Control.HasFocus(3)</visible></control>",
         "Menu.xml:3"},
        {"negative and huge", "<control type=\"button\" id=\"1\"><onup>-5</onup></control>", "Menu.xml:3"},
        {"huge", "<control type=\"button\" id=\"1\"><onup>12345678901234567890</onup></control>", "Menu.xml:3"},
        {"right", "<control type=\"button\" id=\"1\"><onup>1</onup><ondown>Back</ondown></control>", ""},
        {"built with $", "<control type=\"button\" id=\"1\"><onup>$INFO[Skin.String(up)]</onup></control>", ""},
        {"an include not found", "<control type=\"button\" id=\"1\"><onup>2</onup></control><include>Nope</include>", ""},
        {"an id built at run time",
         "<control type=\"button\" id=\"$INFO[x]\"/><control type=\"button\" id=\"1\"><onup>2</onup></control>", ""},
        {"filled from templates", "<control type=\"grouplist\" id=\"5\"/><control type=\"button\" id=\"7\">"
                                  "<onup>102</onup></control>", ""},
        {"templates, but a block the window has",
         "<control type=\"grouplist\" id=\"5\"/><control type=\"button\" id=\"7\"><onup>9</onup></control>",
         "Menu.xml:3"},
        {"another window's control", "<control type=\"button\" id=\"1\"><onclick>SendClick(10025,2)</onclick></control>",
         ""},
    };
    for (const Case& c : cases) {
        auto files = baseSkin();
        files[kMenu] = "<window>\n  <controls>\n    " + c.controls + "\n  </controls>\n</window>\n";
        Skin skin(files);
        std::string found;
        for (const ControlIdFault& f : UndefinedControlIds(skin.model, *skin.model.file(kMenu))) found += fileOf(f.at);
        EXPECT_EQ(found, c.finding) << c.what;
    }
}

// An id in an include body is judged in each calling window and reported
// at the body only when it is wrong in all of them.
TEST(ExpandedWindow, IncludeBodyIdsAreJudgedPerCaller) {
    auto files = baseSkin();
    files[kIncludes].insert(files[kIncludes].find("</includes>"),
                            "  <include name=\"Nav\"><onleft>4242</onleft><onright>31</onright></include>\n");
    const std::string menu = "<window><controls><control type=\"button\" id=\"31\"><include>Nav</include></control>"
                             "</controls></window>\n";
    files[kMenu] = menu;
    files[L"C:\\skin\\720p\\Other.xml"] =
        "<window><controls><control type=\"button\" id=\"32\"><include>Nav</include></control></controls></window>\n";
    Skin skin(files);
    SkinChecker checker;
    std::string found;
    for (const CheckFinding& f : checker.checkSkin(skin.model).findings) {
        if (std::string(f.rule->id) == "undefined-control-id") found += fileOf(f.at) + " " + f.message + "\n";
    }
    EXPECT_EQ(found, "includes.xml:16 control id 4242: no control has it in any of the 2 windows that call include Nav\n");
}

TEST(ExpandedWindow, BadInputEndsInANoteNeverAHang) {
    auto files = baseSkin();
    files[kIncludes].insert(files[kIncludes].find("</includes>"),
                            "  <include name=\"Loop\"><include content=\"$PARAM[next]\"><param name=\"next\" "
                            "value=\"Loop\"/></include></include>\n"
                            "  <include name=\"A\"><include>B</include></include>\n"
                            "  <include name=\"B\"><include>A</include></include>\n");
    files[kMenu] = "<window><controls><include content=\"Loop\"><param name=\"next\" value=\"Loop\"/></include>"
                   "<include>A</include><control type=\"label\" id=\"x1\"><control id=\"5\"></window";
    std::string many = "<window><controls>";
    for (int k = 0; k < 25000; ++k) many += "<control type=\"image\" id=\"" + std::to_string(k % 7) + "\"/>";
    files[L"C:\\skin\\720p\\Many.xml"] = many + "</controls></window>";
    Skin skin(files);
    const ExpandedWindow* menu = skin.model.expandedWindow(kMenu);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->complete());
    ASSERT_EQ(menu->notes().size(), 2u);
    EXPECT_EQ(menu->notes()[0], "include Loop calls itself: the inner call is left out");
    EXPECT_EQ(menu->controls().size(), 2u);  // the file broken at its end keeps what came before
    const ExpandedWindow* big = skin.model.expandedWindow(L"C:\\skin\\720p\\Many.xml");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->controls().size(), ExpandedWindow::kMaxControls);
    EXPECT_EQ(big->notes().size(), 1u);
    bool told = false;
    for (const ModelProblem& p : skin.model.problems()) told = told || p.reason.find("calls itself") != std::string::npos;
    EXPECT_TRUE(told);
}

// An edit to a window's unsaved text, or to an include file, is in its expansion at once.
TEST(ExpandedWindow, FollowsEditsOfWindowsAndIncludeFiles) {
    Skin skin(baseSkin());
    std::string home = kHomeText;
    home.replace(home.find("id=\"20\""), 7, "id=\"21\"");
    skin.model.setOverlay(kHome, home);
    EXPECT_EQ(skin.model.expandedWindow(kHome)->controlsWithId(ParseControlId("21")).size(), 1u);
    std::string includes = kIncludesText;
    includes.replace(includes.find("default=\"9000\""), 14, "default=\"9100\"");
    skin.model.setOverlay(kIncludes, includes);
    EXPECT_EQ(skin.model.expandedWindow(kHome)->controlsWithId(ParseControlId("9100")).size(), 1u);
}
