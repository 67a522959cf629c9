// A made skin of a large real one's size, for the check's test and
// benchmark: 100 window files with 2,000 controls, 130 includes (with
// parameters, in include files two levels deep), 110 variables, expressions,
// constants, fonts in two fontsets, colours with a theme, strings, a
// 700-entry bundle and images on disk. It uses every construct the check has
// to follow (names built from parameters, variables with a prefix and suffix,
// list items' icons, a multiimage folder, item layouts that repeat ids, an
// include file nothing reaches, ignore comments) and has a few faults
// planted on purpose, one list of them kept as it is written: the check must
// find those and nothing else.
#pragma once

#include "MemorySkin.h"
#include "skin/SkinModel.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class MadeSkin : public MemorySkin {
public:
    struct Planted {
        std::string rule;
        std::wstring path;
        std::uint32_t line = 0;  // 0: a whole file
    };

    // `dynamicImages`: some image elements name their image from a parameter,
    // so unused images cannot be told.
    explicit MadeSkin(bool dynamicImages = false) : dynamic_(dynamicImages) {
        addon();
        includes();
        windows();
        fonts();
        colours();
        strings();
        media();
    }

    std::unique_ptr<skin::SkinModel> model() {
        skin::SkinModelOptions options;
        options.imageElements = {L"texture", L"texturefocus", L"texturenofocus", L"bordertexture"};
        return make(std::move(options));
    }

    static const wchar_t* windowFolder() { return L"C:\\made\\1080i"; }

    std::vector<Planted> planted;

private:
    // A file written line by line, knowing the line it is on.
    struct Text {
        std::string s;
        std::uint32_t line = 1;  // the line the next add() writes
        void add(const std::string& l) {
            s += l;
            s += '\n';
            ++line;
        }
    };

    static std::string n(int v) { return std::to_string(v); }
    std::wstring win(const std::wstring& name) const { return std::wstring(windowFolder()) + L"\\" + name; }
    void plant(const char* rule, const std::wstring& path, std::uint32_t line) {
        planted.push_back({rule, path, line});
    }

    void addon() {
        put(L"C:\\made\\addon.xml",
            "<addon id=\"skin.made\">\n  <extension point=\"ormu.skin\">\n"
            "    <res width=\"1920\" height=\"1080\" aspect=\"16:9\" default=\"true\" "
            "folder=\"1080i\"/>\n  </extension>\n</addon>\n");
    }

    void includes() {
        Text root;
        root.add("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        root.add("<includes>");
        root.add("  <include file=\"Includes_Common.xml\"/>");
        root.add("  <include file=\"Includes_Home.xml\" condition=\"Skin.HasSetting(home)\"/>");
        root.add(
            "  <default type=\"button\"><font>font13</font><textcolor>colour1</textcolor>"
            "<texturefocus>buttons/b1.png</texturefocus></default>");
        // Includes with parameters: a font, a position (a constant), a label
        // (a string id), an inner include and an image, each from the call.
        for (int i = 0; i < 40; ++i) {
            root.add("  <include name=\"Button" + n(i) + "\">");
            root.add("    <param name=\"id\" default=\"" + n(9000 + i) + "\"/>");
            root.add("    <param name=\"label\">" + n(31000 + i) + "</param>");
            root.add("    <definition>");
            root.add("      <control type=\"button\" id=\"$PARAM[id]\">");
            root.add("        <posx>$PARAM[posx]</posx><width>PanelWidth</width>");
            root.add("        <label>$PARAM[label]</label><font>$PARAM[font]</font>");
            root.add("        <label2>$VAR[$PARAM[var]]</label2>");
            root.add(dynamic_ ? "        <texturefocus>$PARAM[texture]</texturefocus>"
                              : "        <texturefocus>buttons/b" + n(650 + i) + ".png</texturefocus>");
            root.add("        <visible>$PARAM[visible] + $EXP[Exp" + n(i % 30) + "]</visible>");
            root.add(
                "        <include content=\"$PARAM[inner]\"><param name=\"depth\" value=\"$PARAM[depth]\"/>"
                "</include>");
            root.add("        <nested/>");
            root.add("      </control>");
            root.add("    </definition>");
            root.add("  </include>");
        }
        for (int v = 0; v < 110; ++v) {
            root.add("  <variable name=\"Var" + n(v) + "\">");
            root.add("    <value condition=\"$EXP[Exp" + n(v % 30) + "]\">$LOCALIZE[" + n(31000 + v) + "]</value>");
            root.add("    <value>" + n(31150 + v % 100) + "</value>");
            root.add("  </variable>");
        }
        root.add("  <variable name=\"VarUnused\"><value>-</value></variable>");
        plant("unused-variable", win(L"includes.xml"), root.line - 1);
        for (int e = 0; e < 30; ++e) {
            root.add("  <expression name=\"Exp" + n(e) + "\">Control.HasFocus(" + n(e) + ") | [$EXP[Exp" +
                     n((e + 1) % 30) + "] + !Player.HasMedia]</expression>");
            root.add("  <constant name=\"Const" + n(e) + "\">" + n(e * 10) + "</constant>");
        }
        root.add("  <expression name=\"ExpUnused\">true</expression>");
        plant("unused-expression", win(L"includes.xml"), root.line - 1);
        root.add("  <constant name=\"ConstUnused\">5</constant>");
        plant("unused-constant", win(L"includes.xml"), root.line - 1);
        root.add("  <constant name=\"PanelWidth\">640</constant>");
        root.add("</includes>");
        put(win(L"includes.xml"), root.s);

        Text common;
        common.add("<includes>");
        common.add("  <include file=\"Includes_Deep.xml\"/>");
        common.add("  <include file=\"Includes_Gone.xml\"/>");
        plant("missing-include-file", win(L"Includes_Common.xml"), common.line - 1);
        for (int i = 0; i < 60; ++i) {
            common.add("  <include name=\"Plain" + n(i) + "\">");
            common.add("    <control type=\"image\"><posy>Const" + n(i % 30) + "</posy><texture colordiffuse=\"colour" +
                       n(i % 100) + "\">buttons/nf" + n(i % 50) + ".png</texture></control>");
            common.add("    <include>Deep" + n(i % 30) + "</include>");
            common.add("  </include>");
        }
        // Navigation for the buttons of three windows: 1234 is a control of
        // one of them (right there), 4242 of none.
        common.add("  <include name=\"NavFocus\">");
        common.add("    <onup>9000</onup><onright>1234</onright>");
        common.add("    <ondown>4242</ondown>");
        plant("undefined-control-id", win(L"Includes_Common.xml"), common.line - 1);
        common.add("  </include>");
        common.add("</includes>");
        put(win(L"Includes_Common.xml"), common.s);

        Text deep;
        deep.add("<includes>");
        for (int i = 0; i < 29; ++i) {
            deep.add("  <include name=\"Deep" + n(i) + "\">");
            deep.add("    <control type=\"label\"><label>$INFO[ListItem.Label]</label><font>font" + n(i % 20) +
                     "</font><textcolor>$VAR[Var" + n(i) + "]</textcolor></control>");
            deep.add("  </include>");
        }
        deep.add("  <include name=\"Orphan\"><control type=\"label\"/></include>");
        plant("unused-include", win(L"Includes_Deep.xml"), deep.line - 1);
        deep.add("</includes>");
        put(win(L"Includes_Deep.xml"), deep.s);

        // Reached only through a parameter: <include content="$PARAM[inner]">.
        Text home;
        home.add("<includes>");
        home.add("  <include name=\"Deep29\" condition=\"Player.HasMedia |\"><control type=\"label\"/></include>");
        plant("condition-syntax", win(L"Includes_Home.xml"), home.line - 1);
        home.add("</includes>");
        put(win(L"Includes_Home.xml"), home.s);

        // An include file nothing reaches: never loaded, never checked.
        put(win(L"Includes_Old.xml"),
            "<includes>\n  <include name=\"Old\"><include>Nothing</include></include>\n"
            "</includes>\n");
    }

    void windows() {
        for (int w = 0; w < 100; ++w) {
            const std::wstring path = win(L"Window" + std::to_wstring(w) + L".xml");
            Text t;
            t.add("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
            t.add("<window id=\"" + n(1100 + w) + "\">");
            t.add("  <!-- a note with $VAR[NotAReference] and <include>NotACall</include> -->");
            t.add("  <controls>");
            for (int c = 0; c < 20; ++c) {
                const int k = w * 20 + c;
                t.add("    <include content=\"Button" + n(k % 40) + "\">");
                t.add("      <param name=\"id\" value=\"" + n(9000 + c) + "\"/>");
                t.add("      <param name=\"font\" value=\"font" + n(k % 20) + "\"/>");
                t.add("      <param name=\"posx\" value=\"Const" + n(k % 30) + "\"/>");
                t.add("      <param name=\"var\">Var" + n(k % 110) + "</param>");
                t.add("      <param name=\"inner\" value=\"" + std::string(k % 2 ? "Deep29" : "Plain" + n(k % 60)) +
                      "\"/>");
                t.add("      <param name=\"texture\" value=\"buttons/b" + n(650 + k % 40) + ".png\"/>");
                t.add("      <param name=\"visible\" value=\"Control.IsVisible(" + n(c + 1) + ")\"/>");
                t.add("    </include>");
                t.add("    <control type=\"button\" id=\"" + n(c + 1) + "\">");
                t.add("      <posx>Const" + n(k % 30) + "</posx><posy>" + n(c * 40) +
                      "</posy><width>PanelWidth</width>");
                t.add("      <label>" + n(31000 + (k * 7) % 300) + "</label>");
                t.add("      <label2>$VAR[Var" + n(k % 110) + ",[,]] $ESCVAR[Var" + n((k + 3) % 110) + "]</label2>");
                t.add("      <font>font" + n(k % 20) + "</font><textcolor>colour" + n(k % 100) +
                      "</textcolor><focusedcolor>FF10203" + n(k % 10) + "</focusedcolor>");
                t.add("      <texturefocus>buttons/b" + n(k % 650) + ".png</texturefocus>");
                t.add("      <texturenofocus colordiffuse=\"colour" + n((k + 1) % 100) + "\">buttons/nf" + n(k % 50) +
                      ".png</texturenofocus>");
                t.add("      <visible>$EXP[Exp" + n(k % 30) + "] + !Player.HasMedia | [Control.HasFocus(" + n(c + 1) +
                      ") + String.IsEqual(ListItem.Label,$LOCALIZE[" + n(31000 + k % 300) + "])]</visible>");
                t.add(
                    "      <enable>String.Contains(ListItem.Label,+) | Integer.IsGreater(ListItem.Size,1024)</enable>");
                t.add("      <animation effect=\"slide\" start=\"0,Const" + n(k % 30) + "\" end=\"0,0\" time=\"Const" +
                      n((k + 1) % 30) + "\" condition=\"$EXP[Exp" + n(k % 30) + "]\">Conditional</animation>");
                t.add("      <onclick>SetProperty(Title,$ESCVAR[Var" + n(k % 110) + "],home)</onclick>");
                t.add("    </control>");
                t.add("    <include>Plain" + n(k % 60) + "</include>");
            }
            // A list: its item layouts repeat ids, its items name icons outside image elements.
            t.add("    <control type=\"list\" id=\"50\">");
            t.add("      <itemlayout><control type=\"label\" id=\"1\"><font>font13</font></control></itemlayout>");
            t.add(
                "      <focusedlayout><control type=\"label\" id=\"1\"><font>font13</font></control></focusedlayout>");
            t.add("      <content><item><label>$LOCALIZE[" + n(31000 + w) + "]</label><icon>icons/i" + n(w) +
                  ".png</icon><onclick>noop</onclick></item></content>");
            t.add("    </control>");
            t.add("    <control type=\"multiimage\"><imagepath>special://skin/media/backgrounds</imagepath></control>");
            planted_faults(w, path, t);
            t.add("  </controls>");
            t.add("</window>");
            put(path, t.s);
        }
    }

    // One window file, one fault (or a silenced one).
    void planted_faults(int w, const std::wstring& path, Text& t) {
        const auto control = [&](const std::string& inside) {
            t.add("    <control type=\"label\">" + inside + "</control>");
            return t.line - 1;
        };
        switch (w) {
        case 3:
        case 4:
        case 5:
            t.add("    <control type=\"button\" id=\"" + n(1230 + w) + "\"><include>NavFocus</include></control>");
            break;
        case 85:
            t.add("    <control type=\"button\" id=\"85\"><onup>86</onup><onclick>SetFocus(9001)</onclick></control>");
            plant("undefined-control-id", path, t.line - 1);
            break;
        case 86:
            // Filled from its templates at run time: ids of the 100s are the media center's.
            t.add("    <control type=\"grouplist\" id=\"60\"/>");
            t.add("    <control type=\"button\" id=\"61\"><onup>105</onup></control>");
            break;
        case 7:
            t.add("    <include>Buton3</include>");
            plant("undefined-include", path, t.line - 1);
            break;
        case 12:
            plant("undefined-variable", path, control("<label>$VAR[Var110]</label>"));
            break;
        case 20:
            plant("undefined-expression", path, control("<visible>$EXP[Exp30]</visible>"));
            break;
        case 30:
            plant("undefined-font", path, control("<font>font20</font>"));
            break;
        case 40:
            plant("undefined-colour", path, control("<textcolor>colour100</textcolor>"));
            break;
        case 41:
            plant("invalid-colour", path, control("<textcolor>FF00000</textcolor>"));
            break;
        case 50:
            plant("undefined-string", path, control("<label>31300</label>"));
            control("<label>$LOCALIZE[20000]</label>");  // the media center's: its file is not given
            break;
        case 60:
            t.add("    <control type=\"image\"><texture>buttons/gone.png</texture></control>");
            plant("missing-texture", path, t.line - 1);
            break;
        case 61:
            t.add("    <control type=\"image\"><texture>Buttons/NF3.png</texture></control>");
            plant("texture-case", path, t.line - 1);
            break;
        case 70:
            plant("condition-syntax", path, control("<visible>Control.HasFocus(3) + </visible>"));
            break;
        case 80:
            t.add("    <control type=\"image\" id=\"7\"/>");
            plant("duplicate-control-id", path, t.line - 1);
            break;
        case 90:
            t.add("    <!-- quorrel-ignore undefined-variable -->");
            control("<label>$VAR[Nope]</label>");
            control("<font>font99</font> <!-- quorrel-ignore undefined-font -->");
            break;
        default:
            break;
        }
    }

    void fonts() {
        Text t;
        t.add("<fonts>");
        for (const char* set : {"Default", "Arial"}) {
            t.add("  <fontset id=\"" + std::string(set) + "\" idloc=\"31000\">");
            const bool arial = std::string(set) == "Arial";
            for (int f = 0; f < 20; ++f) {
                if (arial && f == 19) continue;  // planted: Arial lacks font19
                t.add("    <font><name>font" + n(f) + "</name><filename>" + (arial ? "arial" : "made") +
                      ".ttf</filename><size>" + n(20 + f) + "</size></font>");
                if (!arial && f == 19) plant("font-missing-in-fontset", win(L"Font.xml"), t.line - 1);
            }
            t.add("    <font><name>font_unused</name><filename>made.ttf</filename><size>9</size></font>");
            if (!arial) plant("unused-font", win(L"Font.xml"), t.line - 1);
            t.add("  </fontset>");
        }
        t.add("</fonts>");
        put(win(L"Font.xml"), t.s);
    }

    void colours() {
        Text t;
        t.add("<colors>");
        for (int c = 0; c < 100; ++c) t.add("  <color name=\"colour" + n(c) + "\">FF" + n(100000 + c) + "</color>");
        t.add("  <color name=\"broken\">FFFFFF</color>");
        plant("invalid-colour", L"C:\\made\\colors\\defaults.xml", t.line - 1);
        t.add("</colors>");
        put(L"C:\\made\\colors\\defaults.xml", t.s);
        std::string dark = "<colors>\n";
        for (int c = 0; c < 100; c += 2) dark += "  <color name=\"colour" + n(c) + "\">FF000000</color>\n";
        put(L"C:\\made\\colors\\Dark.xml", dark + "</colors>\n");
    }

    void strings() {
        Text t;
        t.add("# Made strings");
        t.add("msgid \"\"");
        t.add("msgstr \"\"");
        t.add("");
        for (int s = 0; s < 300; ++s) {
            t.add("msgctxt \"#" + n(31000 + s) + "\"");
            t.add("msgid \"String " + n(s) + "\"");
            t.add("msgstr \"\"");
            t.add("");
        }
        t.add("msgctxt \"#31400\"");
        plant("unused-string", L"C:\\made\\language\\resource.language.en_gb\\strings.po", t.line - 1);
        t.add("msgid \"Never used\"");
        t.add("msgstr \"\"");
        put(L"C:\\made\\language\\resource.language.en_gb\\strings.po", t.s);
        put(L"C:\\made\\language\\resource.language.de_de\\strings.po",
            "msgctxt \"#31999\"\nmsgid \"x\"\nmsgstr \"y\"\n");
    }

    void media() {
        put(L"C:\\made\\media\\textures.ort", "bundle");
        for (int b = 0; b < 690; ++b) bundleEntries.push_back({"buttons/b" + n(b) + ".png", 64, 64});
        for (int b = 0; b < 10; ++b) bundleEntries.push_back({"unused/u" + n(b) + ".png", 8, 8});
        for (int f = 0; f < 50; ++f) put(L"C:\\made\\media\\buttons\\nf" + std::to_wstring(f) + L".png", "png");
        for (int i = 0; i < 100; ++i) put(L"C:\\made\\media\\icons\\i" + std::to_wstring(i) + L".png", "png");
        for (int i = 0; i < 5; ++i) put(L"C:\\made\\media\\backgrounds\\" + std::to_wstring(i) + L".jpg", "jpg");
        put(L"C:\\made\\media\\buttons\\unused.png", "png");
        if (!dynamic_) {
            plant("unused-texture", L"C:\\made\\media\\buttons\\unused.png", 0);
            for (int b = 0; b < 10; ++b) plant("unused-texture", L"C:\\made\\media\\textures.ort", 0);
        }
    }

    bool dynamic_;
};
