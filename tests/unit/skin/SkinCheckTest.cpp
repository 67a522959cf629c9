#include "skin/SkinCheck.h"
#include "MadeSkin.h"
#include "MemorySkin.h"

#include <set>

#include <gtest/gtest.h>

using namespace skin;

namespace {

const wchar_t* const kWin = L"C:\\skin\\720p";
const std::wstring kHome = L"C:\\skin\\720p\\Home.xml";
const std::wstring kIncludes = L"C:\\skin\\720p\\includes.xml";
const std::wstring kFonts = L"C:\\skin\\720p\\Font.xml";
const std::wstring kStrings = L"C:\\skin\\language\\resource.language.en_gb\\strings.po";

// A small skin with every construct the rules look at and nothing wrong in
// it: parameters that carry a font, a constant and a string id into an
// include, a nested include file, a theme, two fontsets.
std::map<std::wstring, std::string> cleanSkin() {
    return {
        {kIncludes,
         "<includes>\n"
         "  <include file=\"Nested.xml\"/>\n"
         "  <include name=\"Button\">\n"
         "    <param name=\"id\">100</param>\n"
         "    <param name=\"label\" default=\"31001\"/>\n"
         "    <definition>\n"
         "      <control type=\"button\" id=\"$PARAM[id]\">\n"
         "        <label>$PARAM[label]</label>\n"
         "        <font>$PARAM[font]</font>\n"
         "        <posx>$PARAM[x]</posx>\n"
         "        <texturefocus>buttons/focus.png</texturefocus>\n"
         "        <visible>$EXP[IsHome] + !$PARAM[hidden]</visible>\n"
         "      </control>\n"
         "    </definition>\n"
         "  </include>\n"
         "  <variable name=\"Title\">\n"
         "    <value condition=\"$EXP[IsHome]\">$LOCALIZE[31002]</value>\n"
         "    <value>31003</value>\n"
         "  </variable>\n"
         "  <expression name=\"IsHome\">Window.IsActive(home) | [Control.HasFocus(20) + "
         "!Player.HasMedia]</expression>\n"
         "  <constant name=\"Left\">40</constant>\n"
         "  <constant name=\"Small\">12</constant>\n"
         "</includes>\n"},
        {L"C:\\skin\\720p\\Nested.xml",
         "<includes>\n"
         "  <include name=\"Panel\">\n"
         "    <control type=\"image\"><texture>panels/back.png</texture><colordiffuse>PanelColour</colordiffuse>"
         "</control>\n"
         "  </include>\n"
         "</includes>\n"},
        {kHome,
         "<window>\n"
         "  <controls>\n"
         "    <include>Panel</include>\n"
         "    <include content=\"Button\">\n"
         "      <param name=\"id\" value=\"10\"/>\n"
         "      <param name=\"font\" value=\"font_small\"/>\n"
         "      <param name=\"x\" value=\"Small\"/>\n"
         "    </include>\n"
         "    <control type=\"label\" id=\"20\">\n"
         "      <posx>Left</posx>\n"
         "      <font>Font13</font>\n"
         "      <textcolor>white</textcolor><shadowcolor>0</shadowcolor>\n"
         "      <label>$VAR[Title,[,]]</label>\n"
         "      <label2>031004</label2>\n"
         "      <visible>Control.IsVisible(10) + String.IsEqual(ListItem.Label,+)</visible>\n"
         "    </control>\n"
         "  </controls>\n"
         "</window>\n"},
        {kFonts,
         "<fonts>\n"
         "  <fontset id=\"Default\" idloc=\"31005\">\n"
         "    <font><name>font13</name><filename>a.ttf</filename><size>20</size></font>\n"
         "    <font><name>font_small</name><filename>a.ttf</filename><size>12</size></font>\n"
         "  </fontset>\n"
         "  <fontset id=\"Arial\">\n"
         "    <font><name>font13</name><filename>arial.ttf</filename><size>20</size></font>\n"
         "    <font><name>font_small</name><filename>arial.ttf</filename><size>12</size></font>\n"
         "  </fontset>\n"
         "</fonts>\n"},
        {L"C:\\skin\\colors\\defaults.xml",
         "<colors>\n  <color name=\"white\">FFFFFFFF</color>\n"
         "  <color name=\"PanelColour\">80000000</color>\n</colors>\n"},
        {L"C:\\skin\\colors\\Dark.xml", "<colors>\n  <color name=\"white\">FF000000</color>\n</colors>\n"},
        {kStrings,
         "msgctxt \"#31001\"\nmsgid \"One\"\nmsgstr \"\"\n\n"
         "msgctxt \"#31002\"\nmsgid \"Two\"\nmsgstr \"\"\n\n"
         "msgctxt \"#31003\"\nmsgid \"Three\"\nmsgstr \"\"\n\n"
         "msgctxt \"#31004\"\nmsgid \"Four\"\nmsgstr \"\"\n\n"
         "msgctxt \"#31005\"\nmsgid \"Five\"\nmsgstr \"\"\n"},
        {L"C:\\skin\\media\\buttons\\focus.png", png(4, 4)},
        {L"C:\\skin\\media\\panels\\back.png", png(4, 4)},
    };
}

// A control added to the window, on its own line (line 3).
std::string homeWith(const std::string& control) {
    std::string home = cleanSkin()[kHome];
    home.insert(home.find("    <include>Panel"), "    " + control + "\n");
    return home;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

struct Checked {
    SkinCheckResult result;
    std::string dump;  // "rule file:line" lines, for messages
};

Checked check(const std::map<std::wstring, std::string>& files, CheckOptions options = {}) {
    MemorySkin s;
    for (const auto& [path, bytes] : files) s.put(path, bytes);
    SkinModel model = s.model();
    model.refresh(kWin);
    SkinChecker checker(std::move(options));
    Checked out;
    out.result = checker.checkSkin(model);
    for (const CheckFinding& f : out.result.findings) {
        out.dump += std::string(f.rule->id) + " " + std::string(f.at.path.begin(), f.at.path.end()) + ":" +
                    std::to_string(f.at.line) + " " + f.message + "\n";
    }
    return out;
}

TEST(SkinCheck, TheCleanSkinHasNoFinding) {
    const Checked c = check(cleanSkin());
    EXPECT_EQ(c.dump, "");
    EXPECT_FALSE(c.result.cancelled);
    EXPECT_EQ(c.result.files, 7u);  // two include files, a window, fonts, two colour files, strings
}

// Each rule on the clean skin with one fault planted: exactly one finding,
// of that rule, on the planted line.
TEST(SkinCheck, EachRuleFindsItsPlantedFault) {
    struct Plant {
        const char* rule;
        std::wstring file;
        std::string text;
        std::uint32_t line;
    };
    auto skin = cleanSkin();
    const std::string inc = skin[kIncludes];
    const std::string addInclude = "  <include file=\"Nested.xml\"/>\n";
    auto includesWith = [&](const std::string& line) { return replaced(inc, addInclude, addInclude + line + "\n"); };
    const std::vector<Plant> plants = {
        {"undefined-include", kHome, homeWith("<include>Missing</include>"), 3},
        {"undefined-variable", kHome, homeWith("<control type=\"label\"><label>$ESCVAR[Nope]</label></control>"), 3},
        {"undefined-expression", kHome, homeWith("<control type=\"label\"><enable>$EXP[Nope]</enable></control>"), 3},
        {"undefined-font", kHome, homeWith("<control type=\"label\"><font>font99</font></control>"), 3},
        {"font-missing-in-fontset", kFonts,
         replaced(skin[kFonts], "<name>font_small</name><filename>arial", "<name>font_tiny</name><filename>arial"), 4},
        {"undefined-colour", kHome, homeWith("<control type=\"label\"><textcolor>nocolour</textcolor></control>"), 3},
        {"invalid-colour", kHome, homeWith("<control type=\"label\"><textcolor>FF0000</textcolor></control>"), 3},
        {"undefined-string", kHome, homeWith("<control type=\"label\"><label>$LOCALIZE[31999]</label></control>"), 3},
        {"missing-texture", kHome, homeWith("<control type=\"image\"><texture>nothere.png</texture></control>"), 3},
        {"texture-case", kHome, homeWith("<control type=\"image\"><texture>Buttons/Focus.png</texture></control>"), 3},
        {"missing-include-file", kIncludes, includesWith("  <include file=\"Gone.xml\"/>"), 3},
        {"condition-syntax", kHome,
         homeWith("<control type=\"label\"><visible>[Control.HasFocus(20)</visible></control>"), 3},
        {"duplicate-control-id", kHome, homeWith("<control type=\"label\" id=\"20\"/>"), 10},
        {"undefined-control-id", kHome, homeWith("<control type=\"button\"><onup>99</onup></control>"), 3},
        {"unused-include", kIncludes, includesWith("  <include name=\"Spare\"><control type=\"label\"/></include>"), 3},
        {"unused-variable", kIncludes, includesWith("  <variable name=\"Spare\"><value>x</value></variable>"), 3},
        {"unused-expression", kIncludes, includesWith("  <expression name=\"Spare\">true</expression>"), 3},
        {"unused-constant", kIncludes, includesWith("  <constant name=\"Spare\">1</constant>"), 3},
        {"unused-font", kFonts,
         replaced(skin[kFonts], "  </fontset>",
                  "    <font><name>font_spare</name><filename>a.ttf</filename><size>9</size></font>\n  </fontset>"),
         5},
        {"unused-string", kStrings, skin[kStrings] + "\nmsgctxt \"#31006\"\nmsgid \"Six\"\nmsgstr \"\"\n", 21},
        {"unused-texture", L"C:\\skin\\media\\spare.png", png(1, 1), 0},
    };
    for (const Plant& p : plants) {
        auto files = cleanSkin();
        files[p.file] = p.text;
        const Checked c = check(files);
        ASSERT_EQ(c.result.findings.size(), 1u) << p.rule << "\n" << c.dump;
        const CheckFinding& f = c.result.findings.front();
        EXPECT_STREQ(f.rule->id, p.rule) << c.dump;
        EXPECT_EQ(f.at.path, p.file) << p.rule;
        EXPECT_EQ(f.at.line, p.line) << c.dump;
        // --disable takes it away.
        CheckOptions off;
        off.disabled.insert(p.rule);
        EXPECT_EQ(check(files, off).dump, "") << p.rule;
    }
    EXPECT_EQ(plants.size(), CheckRules().size());
}

// The other shapes of a broken condition, and the ones that are not.
TEST(SkinCheck, ConditionSyntax) {
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"<visible></visible>", "empty"},
        {"<visible>Control.HasFocus(20))</visible>", "')' without its '('"},
        {"<visible>Control.HasFocus(20) | </visible>", "'|' with nothing on one side"},
        {"<visible>+ Player.HasMedia</visible>", "'+' with nothing on one side"},
        {"<visible>[Player.HasMedia | !]</visible>", "'!' with nothing after it"},
        {"<visible>String.IsEqual($INFO[ListItem.Label,Control.HasFocus(20)</visible>", "not closed"},
    };
    for (const auto& [condition, what] : broken) {
        auto files = cleanSkin();
        files[kHome] = homeWith("<control type=\"label\">" + condition + "</control>");
        const Checked c = check(files);
        ASSERT_EQ(c.result.findings.size(), 1u) << condition << "\n" << c.dump;
        EXPECT_NE(c.result.findings[0].message.find(what), std::string::npos) << c.dump;
    }
    const std::vector<std::string> sound = {
        "<visible>!Player.HasMedia + [Control.HasFocus(20) | $EXP[IsHome]]</visible>",
        "<visible>String.Contains(ListItem.Label,a|b) + !String.IsEmpty($INFO[ListItem.Label])</visible>",
        "<visible>String.IsEqual(ListItem.Label,[) | String.StartsWith($INFO[ListItem.Label],])</visible>",
        "<visible>$PARAM[vis] +</visible>",  // its text is known where it is called
        "<visible>A +<!-- a note --> B</visible>",
    };
    for (const std::string& condition : sound) {
        auto files = cleanSkin();
        files[kHome] = homeWith("<control type=\"label\">" + condition + "</control>");
        EXPECT_EQ(check(files).dump, "") << condition;
    }
    // An expression and a condition attribute are conditions too.
    auto files = cleanSkin();
    files[kIncludes] = replaced(files[kIncludes], "$EXP[IsHome]\">", "$EXP[IsHome] +\">");
    files[kIncludes] = replaced(files[kIncludes], "!Player.HasMedia]", "!Player.HasMedia");
    const Checked c = check(files);
    ASSERT_EQ(c.result.findings.size(), 2u) << c.dump;
    EXPECT_EQ(c.result.findings[0].at.line, 17u);
    EXPECT_EQ(c.result.findings[1].at.line, 20u);
}

// What cannot be followed is not reported: names built from parameters or
// run-time values, textures named only outside image elements, include
// files that nothing reaches.
TEST(SkinCheck, SaysNothingAboutWhatCannotBeFollowed) {
    auto files = cleanSkin();
    files[kHome] = homeWith(
        "<control type=\"label\"><label>$VAR[$INFO[Skin.String(v)]]</label><font>$INFO[Skin.String(f)]</font>"
        "<texture>$INFO[ListItem.Icon]</texture><textcolor>$VAR[Colourtext]</textcolor></control>");
    files[kIncludes] = replaced(files[kIncludes], "</includes>",
                                "  <variable name=\"Colourtext\"><value>white</value></variable>\n"
                                "  <variable name=\"Spare\"><value>x</value></variable>\n</includes>");
    files[L"C:\\skin\\media\\spare.png"] = png(1, 1);  // image elements are built at run time: no unused-texture
    files[L"C:\\skin\\720p\\Old.xml"] = "<includes><include name=\"Old\"><include>Nope</include></include></includes>";
    EXPECT_EQ(check(files).dump, "");

    // An image named by a list item's icon or a multiimage's folder is used.
    files = cleanSkin();
    files[kHome] = homeWith(
        "<control type=\"list\"><content><item><icon>icons/home.png</icon></item></content>"
        "</control><control type=\"multiimage\"><imagepath>special://skin/media/fan"
        "</imagepath></control>");
    files[L"C:\\skin\\media\\icons\\home.png"] = png(1, 1);
    files[L"C:\\skin\\media\\fan\\a.png"] = png(1, 1);
    EXPECT_EQ(check(files).dump, "");
}

TEST(SkinCheck, IgnoreComments) {
    const std::string bad = "<control type=\"label\"><font>font99</font></control>";
    auto files = cleanSkin();
    files[kHome] = homeWith("<!-- quorrel-ignore undefined-font -->\n    " + bad);
    EXPECT_EQ(check(files).dump, "");
    files[kHome] = homeWith(bad + " <!-- quorrel-ignore undefined-colour, undefined-font -->");
    EXPECT_EQ(check(files).dump, "");
    files[kHome] = "<!-- quorrel-ignore-file undefined-font -->\n" + homeWith(bad);
    EXPECT_EQ(check(files).dump, "");
    // Another rule's comment, or one two lines up, silences nothing.
    files[kHome] = homeWith("<!-- quorrel-ignore undefined-colour -->\n    " + bad);
    EXPECT_EQ(check(files).result.findings.size(), 1u);
    files[kHome] = homeWith("<!-- quorrel-ignore undefined-font -->\n\n    " + bad);
    EXPECT_EQ(check(files).result.findings.size(), 1u);
}

// One document as the editor has it: unsaved text, then the fix.
TEST(SkinCheck, OneDocumentFollowsItsUnsavedText) {
    MemorySkin s;
    for (const auto& [path, bytes] : cleanSkin()) s.put(path, bytes);
    SkinModel model = s.model();
    model.refresh(kWin);
    SkinChecker checker;
    EXPECT_TRUE(checker.checkFile(model, kHome).empty());
    model.setOverlay(kHome, homeWith("<include>Missing</include>"));
    const std::vector<CheckFinding> found = checker.checkFile(model, kHome);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_STREQ(found[0].rule->id, "undefined-include");
    EXPECT_EQ(found[0].at.line, 3u);
    EXPECT_EQ(found[0].at.column, 13u);
    EXPECT_EQ(found[0].at.length, 7u);
    // A new include in the include file: the call now resolves, and the
    // include file's own findings are its own.
    model.setOverlay(kIncludes,
                     replaced(cleanSkin()[kIncludes], "</includes>", "  <include name=\"Missing\"/>\n</includes>"));
    EXPECT_TRUE(checker.checkFile(model, kHome).empty());
    EXPECT_TRUE(checker.checkFile(model, kIncludes).empty());
}

TEST(SkinCheck, ProgressAndCancel) {
    MemorySkin s;
    for (const auto& [path, bytes] : cleanSkin()) s.put(path, bytes);
    SkinModel model = s.model();
    model.refresh(kWin);
    SkinChecker checker;
    std::vector<std::size_t> seen;
    const SkinCheckResult stopped = checker.checkSkin(model, [&](std::size_t done, std::size_t total) {
        seen.push_back(done);
        EXPECT_EQ(total, 7u);
        return done < 3;
    });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.files, 3u);
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 3}));
}

}  // namespace

namespace {

// The made skin of a large real one's size: the check finds the planted
// faults and nothing else, with images named from parameters or not.
TEST(SkinCheckMadeSkin, FindsThePlantedFaultsAndNothingElse) {
    for (const bool dynamicImages : {false, true}) {
        MadeSkin made(dynamicImages);
        auto model = made.model();
        model->refresh(MadeSkin::windowFolder());
        SkinChecker checker;
        const SkinCheckResult result = checker.checkSkin(*model);
        std::multiset<std::string> found, planted;
        std::string dump;
        for (const CheckFinding& f : result.findings) {
            const std::string where = std::string(f.rule->id) + " " + std::string(f.at.path.begin(), f.at.path.end()) +
                                      ":" + std::to_string(f.at.line);
            found.insert(where);
            dump += where + " " + f.message + "\n";
        }
        for (const MadeSkin::Planted& p : made.planted) {
            planted.insert(p.rule + " " + std::string(p.path.begin(), p.path.end()) + ":" + std::to_string(p.line));
        }
        EXPECT_EQ(found, planted) << dump;
        EXPECT_EQ(result.files, 109u);  // 106 files of the window folder, two colour files, strings
    }
}

}  // namespace
