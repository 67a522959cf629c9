#include "skin/SkinModel.h"
#include "skin/SkinReferences.h"
#include "MemorySkin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

using namespace skin;

namespace {

const wchar_t* const kWin = L"C:\\skin\\720p";

// A skin with every kind of definition: includes.xml (named in other letter
// case) pulls in a file that pulls in one more, which loops back.
void writeSkin(MemorySkin& s) {
    s.put(L"C:\\skin\\720p\\Includes.XML",
          "<?xml version=\"1.0\"?>\n"
          "<includes>\n"
          "  <include file=\"Buttons.xml\"/>\n"
          "  <include name=\"Frame\">\n"
          "    <param name=\"id\">100</param>\n"
          "    <param name=\"label\" default=\"$LOCALIZE[31001]\"/>\n"
          "    <definition>\n"
          "      <control type=\"label\" id=\"$PARAM[id]\"><label>$PARAM[label]</label><width>PanelWidth</width>"
          "<visible>$PARAM[extra]</visible></control>\n"
          "    </definition>\n"
          "  </include>\n"
          "  <variable name=\"ListLabel\">\n"
          "    <value condition=\"$EXP[IsHome]\">$LOCALIZE[31002]</value>\n"
          "    <value>fallback</value>\n"
          "  </variable>\n"
          "  <expression name=\"IsHome\">Window.IsActive(home)</expression>\n"
          "  <constant name=\"PanelWidth\">640</constant>\n"
          "  <default type=\"button\"><font>font13</font></default>\n"
          "</includes>\n");
    s.put(L"C:\\skin\\720p\\Buttons.xml",
          "<includes>\r\n"
          "  <include file=\"sub/Deep.xml\"/>\r\n"
          "  <include name=\"Button\"><control type=\"button\"><texturefocus>buttons/Focus.PNG</texturefocus>"
          "</control></include>\r\n"
          "</includes>\r\n");
    s.put(L"C:\\skin\\720p\\sub\\Deep.xml",
          "<includes>\n  <include file=\"includes.xml\"/>\n  <variable name=\"Deep\"><value>x</value></variable>\n"
          "</includes>\n");
    s.put(
        L"C:\\skin\\720p\\Home.xml",
        "<window>\n"
        "  <controls>\n"
        "    <include content=\"Frame\"><param name=\"id\" value=\"7\"/><param name=\"extra\">true</param></include>\n"
        "    <include>Button</include>\n"
        "    <control type=\"label\" id=\"3\">\n"
        "      <label>31001</label>\n"
        "      <label2>$VAR[ListLabel,[,]] $ESCVAR[Deep]</label2>\n"
        "      <font>font13</font>\n"
        "      <textcolor>button_focus</textcolor>\n"
        "      <shadowcolor>FF000000</shadowcolor>\n"
        "      <width>PanelWidth</width>\n"
        "      <animation effect=\"slide\" end=\"PanelWidth,0\" time=\"200\">Focus</animation>\n"
        "      <visible>$EXP[IsHome] + !$EXP[Missing]</visible>\n"
        "      <texture colordiffuse=\"button_focus\">packed/bg.png</texture>\n"
        "    </control>\n"
        "  </controls>\n"
        "</window>\n");
    s.put(L"C:\\skin\\720p\\font.xml",
          "<fonts>\n"
          "  <fontset id=\"Other\"><font><name>font13</name><filename>b.ttf</filename><size>9</size></font></fontset>\n"
          "  <fontset id=\"Default\">\n"
          "    <font><name>font13</name><filename>a.ttf</filename><size>20</size></font>\n"
          "  </fontset>\n"
          "</fonts>\n");
    s.put(L"C:\\skin\\colors\\defaults.xml", "<colors>\n  <color name=\"button_focus\">FFFFFFFF</color>\n</colors>\n");
    s.put(L"C:\\skin\\colors\\Dark.xml", "<colors>\n  <color name=\"button_focus\">FF202020</color>\n</colors>\n");
    s.put(L"C:\\skin\\language\\resource.language.de_de\\strings.po",
          "msgctxt \"#31001\"\nmsgid \"Hallo\"\nmsgstr \"\"\n");
    s.put(L"C:\\skin\\language\\resource.language.en_gb\\strings.po",
          "# comment\n\nmsgctxt \"#31001\"\nmsgid \"Hello \\\"there\\\"\"\nmsgstr \"\"\n\n"
          "msgctxt \"#31002\"\nmsgid \"\"\n\"Two \"\n\"parts\"\nmsgstr \"\"\n");
    s.put(L"C:\\skin\\media\\buttons\\focus.png", png(64, 32));
    s.put(L"C:\\skin\\media\\textures.ort", "bundle");
    s.bundleEntries = {{"packed/bg.png", 1280, 720}, {"buttons/focus.png", 8, 8}};
}

std::vector<std::string> where(const std::vector<const SymbolReference*>& refs) {
    std::vector<std::string> out;
    for (const SymbolReference* r : refs) {
        std::wstring file = r->at.path.substr(r->at.path.rfind(L'\\') + 1);
        out.push_back(std::string(file.begin(), file.end()) + ":" + std::to_string(r->at.line) + ":" +
                      std::to_string(r->at.column));
    }
    return out;
}

class SkinModelTest : public ::testing::Test {
protected:
    void SetUp() override { writeSkin(skin); }
    MemorySkin skin;
};

TEST_F(SkinModelTest, FindsTheDefinitionOfEveryKind) {
    SkinModel model = skin.model();
    EXPECT_TRUE(model.refresh(kWin));
    auto one = [&](SymbolKind kind, const char* name, const char* scope = "") -> const Definition* {
        const auto defs = model.definitions(kind, name, scope);
        EXPECT_FALSE(defs.empty()) << symbolKindName(kind) << " " << name;
        return defs.empty() ? nullptr : defs.front();
    };
    const Definition* frame = one(SymbolKind::Include, "Frame");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->at.path, L"C:\\skin\\720p\\Includes.XML");
    EXPECT_EQ(frame->at.line, 4u);
    EXPECT_EQ(frame->at.column, 2u);  // the start tag's '<'
    EXPECT_EQ(frame->nameAt.column, 17u);
    EXPECT_EQ(one(SymbolKind::Param, "id", "Frame")->value, "100");
    EXPECT_EQ(one(SymbolKind::Param, "label", "Frame")->value, "$LOCALIZE[31001]");
    EXPECT_TRUE(model.definitions(SymbolKind::Param, "id", "Button").empty());
    EXPECT_EQ(one(SymbolKind::Variable, "ListLabel")->at.line, 11u);
    EXPECT_EQ(one(SymbolKind::Expression, "IsHome")->value, "Window.IsActive(home)");
    EXPECT_EQ(one(SymbolKind::Constant, "PanelWidth")->value, "640");
    // Two levels of include files (CRLF in one of them), the loop back ignored.
    const Definition* button = one(SymbolKind::Include, "Button");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->at.line, 3u);
    EXPECT_EQ(one(SymbolKind::Variable, "Deep")->at.path, L"C:\\skin\\720p\\sub\\Deep.xml");
    EXPECT_EQ(model.includeNames(), (std::vector<std::string>{"Frame", "Button"}));
    // The Default fontset first, though it is not the first.
    const auto fonts = model.definitions(SymbolKind::Font, "font13");
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0]->group, "Default");
    EXPECT_EQ(fonts[0]->value, "a.ttf, size 20");
    EXPECT_FALSE(fonts[1]->primary);
    const auto colours = model.definitions(SymbolKind::Colour, "button_focus");
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0]->group, "defaults");
    EXPECT_EQ(colours[1]->group, "Dark");
    // en_gb is preferred over the first language folder; continued lines join.
    EXPECT_EQ(one(SymbolKind::String, "31001")->value, "Hello \"there\"");
    EXPECT_EQ(one(SymbolKind::String, "31002")->value, "Two parts");
    EXPECT_EQ(one(SymbolKind::String, "31001")->at.line, 3u);
    // Textures on disk in any letter case, and in the bundle.
    EXPECT_EQ(one(SymbolKind::Texture, "BUTTONS/focus.png")->group, "disk");
    EXPECT_EQ(model.definitions(SymbolKind::Texture, "buttons/focus.png").size(), 2u);
    EXPECT_EQ(one(SymbolKind::Texture, "packed/bg.png")->group, "bundle");
    EXPECT_EQ(one(SymbolKind::IncludeFile, "SUB/deep.xml")->at.path, L"C:\\skin\\720p\\sub\\Deep.xml");
    // <default type> defines nothing.
    EXPECT_TRUE(model.definitions(SymbolKind::Include, "button").empty());
    EXPECT_TRUE(model.problems().empty()) << model.problems().front().reason;
}

TEST_F(SkinModelTest, FindsEveryReferenceAcrossTheSkin) {
    SkinModel model = skin.model();
    model.refresh(kWin);
    EXPECT_EQ(where(model.references(SymbolKind::Include, "Frame")), (std::vector<std::string>{"Home.xml:3:22"}));
    EXPECT_EQ(where(model.references(SymbolKind::Include, "Button")), (std::vector<std::string>{"Home.xml:4:13"}));
    EXPECT_EQ(where(model.references(SymbolKind::Variable, "ListLabel")), (std::vector<std::string>{"Home.xml:7:19"}));
    EXPECT_EQ(model.references(SymbolKind::Variable, "Deep").size(), 1u);  // $ESCVAR
    EXPECT_EQ(model.references(SymbolKind::Expression, "IsHome").size(), 2u);
    EXPECT_EQ(model.references(SymbolKind::Expression, "Missing").size(), 1u);
    // In a numeric element and in each part of a numeric attribute, in both files.
    EXPECT_EQ(where(model.references(SymbolKind::Constant, "PanelWidth")),
              (std::vector<std::string>{"Home.xml:11:13", "Home.xml:12:37", "Includes.XML:8:79"}));
    EXPECT_TRUE(model.references(SymbolKind::Constant, "Focus").empty());  // animation text is no number
    EXPECT_EQ(model.references(SymbolKind::Font, "font13").size(), 2u);    // the <default> one too
    EXPECT_EQ(model.references(SymbolKind::Colour, "button_focus").size(), 2u);
    EXPECT_EQ(model.references(SymbolKind::String, "31001").size(), 2u);  // bare label and $LOCALIZE
    EXPECT_EQ(model.references(SymbolKind::String, "31002").size(), 1u);
    EXPECT_EQ(model.references(SymbolKind::Texture, "BUTTONS/FOCUS.png").size(), 1u);
    EXPECT_EQ(model.references(SymbolKind::IncludeFile, "sub/deep.xml").size(), 1u);
    // $PARAM belongs to its definition; <param name> to the include called.
    const auto id = model.references(SymbolKind::Param, "id", "Frame");
    ASSERT_EQ(id.size(), 2u);
    EXPECT_EQ(id[0]->element, "param");
    EXPECT_EQ(id[0]->context, "");
    EXPECT_EQ(id[1]->element, "id");  // the attribute holding it
    EXPECT_EQ(id[1]->context, "Frame");
    EXPECT_EQ(model.references(SymbolKind::Param, "extra", "Frame").size(), 2u);  // passed, not declared
    // Literal and run-time values are kept for the checks, never matched as names.
    bool literal = false;
    for (const SymbolReference& r : model.file(L"c:\\SKIN\\720p\\home.xml")->references) {
        literal = literal || (r.kind == SymbolKind::Colour && r.form == ReferenceForm::Literal && r.name == "FF000000");
    }
    EXPECT_TRUE(literal);
}

TEST_F(SkinModelTest, NameAtReadsTheDocumentsCurrentText) {
    SkinModel model = skin.model();
    model.refresh(kWin);
    const std::wstring home = L"C:\\skin\\720p\\Home.xml";
    const SkinFile* file = model.file(home);
    ASSERT_TRUE(file);
    NameAt at = model.nameAt(home, file->text, 3, 43);  // on "id" of <param name="id">
    EXPECT_TRUE(at.found);
    EXPECT_EQ(at.kind, SymbolKind::Param);
    EXPECT_EQ(at.name, "id");
    EXPECT_EQ(at.scope, "Frame");
    // The unsaved text: a new first line moves everything down; the name's end counts.
    const std::string edited = "<!-- new -->\r\n" + file->text;
    at = model.nameAt(home, edited, 8, 28);
    EXPECT_EQ(at.kind, SymbolKind::Variable);
    EXPECT_EQ(at.name, "ListLabel");
    EXPECT_EQ(model.hover(at).substr(0, 30), "<variable name=\"ListLabel\">\n  ");
    // $PARAM inside a definition knows its include; nested names win over outer ones.
    const SkinFile* includes = model.file(L"C:\\skin\\720p\\includes.xml");
    at = model.nameAt(includes->path, includes->text, 8, 40);
    EXPECT_EQ(at.kind, SymbolKind::Param);
    EXPECT_EQ(at.scope, "Frame");
    EXPECT_EQ(model.hover(at), "Parameter id of include Frame, default: 100\nDefined in Includes.XML, line 5");
    // On a definition's own name.
    at = model.nameAt(includes->path, includes->text, 4, 20);
    EXPECT_TRUE(at.isDefinition);
    EXPECT_EQ(at.name, "Frame");
    EXPECT_FALSE(model.nameAt(home, file->text, 1, 2).found);
}

TEST_F(SkinModelTest, HoverSaysWhatEachNameIs) {
    skin.put(L"C:\\core\\strings.po", "msgctxt \"#20\"\nmsgid \"Core text\"\nmsgstr \"\"\n");
    skin.put(L"C:\\core\\colours.xml", "<colors><color name=\"white\">FFFFFFFF</color></colors>");
    SkinModel model = skin.model(L"C:\\core\\strings.po", L"C:\\core\\colours.xml");
    model.refresh(kWin);
    auto hover = [&](SymbolKind kind, const char* name) {
        NameAt n;
        n.found = true;
        n.kind = kind;
        n.name = name;
        return model.hover(n);
    };
    EXPECT_EQ(hover(SymbolKind::String, "31001"), "Hello \"there\"");
    EXPECT_EQ(hover(SymbolKind::String, "20"), "Core text");
    EXPECT_EQ(hover(SymbolKind::Colour, "button_focus"), "colour button_focus\ndefaults: FFFFFFFF\nDark: FF202020");
    EXPECT_EQ(hover(SymbolKind::Colour, "white"), "colour white\ncore: FFFFFFFF");
    EXPECT_EQ(hover(SymbolKind::Font, "font13"), "font font13\nDefault: a.ttf, size 20\nOther: b.ttf, size 9");
    EXPECT_EQ(hover(SymbolKind::Texture, "buttons/focus.png"),
              "texture buttons/focus.png\n64 x 32 pixels (on disk)\n8 x 8 pixels (in textures.ort)");
    EXPECT_EQ(hover(SymbolKind::Expression, "IsHome"),
              "expression IsHome: Window.IsActive(home)\nDefined in Includes.XML, line 15");
    EXPECT_EQ(hover(SymbolKind::Include, "Frame").substr(0, 22), "<include name=\"Frame\">");
    EXPECT_EQ(hover(SymbolKind::Variable, "Nothing"), "No definition of variable Nothing");
    // Without the media center's file its ids are simply unknown.
    SkinModel plain = skin.model();
    plain.refresh(kWin);
    EXPECT_TRUE(plain.definitions(SymbolKind::String, "20").empty());
    EXPECT_TRUE(plain.definitions(SymbolKind::Colour, "white").empty());
}

TEST_F(SkinModelTest, ReReadsOnlyWhatChanged) {
    SkinModel model = skin.model();
    model.refresh(kWin);
    const int reads = model.fileReads();
    EXPECT_FALSE(model.refresh(kWin));
    EXPECT_EQ(model.fileReads(), reads);
    skin.put(L"C:\\skin\\colors\\defaults.xml", "<colors><color name=\"other\">FF00FF00</color></colors>");
    EXPECT_TRUE(model.refresh(kWin));
    EXPECT_EQ(model.fileReads(), reads + 1);
    EXPECT_EQ(model.definitions(SymbolKind::Colour, "button_focus").size(), 1u);
    EXPECT_EQ(model.definitions(SymbolKind::Colour, "other").size(), 1u);
    // A new include file named by an edited one is followed.
    skin.put(L"C:\\skin\\720p\\More.xml", "<includes><constant name=\"Gap\">5</constant></includes>");
    skin.put(L"C:\\skin\\720p\\Buttons.xml", "<includes><include file=\"more.xml\"/></includes>");
    EXPECT_TRUE(model.refresh(kWin));
    EXPECT_EQ(model.definitions(SymbolKind::Constant, "Gap").size(), 1u);
    EXPECT_TRUE(model.definitions(SymbolKind::Include, "Button").empty());
    EXPECT_TRUE(model.definitions(SymbolKind::Variable, "Deep").empty());  // no longer reached
    // Unsaved text stands for the file, read from no disk; clearing goes back.
    const int before = model.fileReads();
    model.setOverlay(L"C:\\skin\\720p\\more.xml", "<includes><constant name=\"Gap2\">5</constant></includes>");
    EXPECT_TRUE(model.definitions(SymbolKind::Constant, "Gap").empty());
    EXPECT_EQ(model.definitions(SymbolKind::Constant, "Gap2").size(), 1u);
    EXPECT_EQ(model.fileReads(), before);
    EXPECT_FALSE(model.refresh(kWin));  // the overlay holds over the unchanged file
    model.clearOverlay(L"C:\\skin\\720p\\More.xml");
    EXPECT_EQ(model.definitions(SymbolKind::Constant, "Gap").size(), 1u);
    // An edit that keeps the names updates values and places where they are.
    model.setOverlay(L"C:\\skin\\720p\\More.xml", "\n<includes><constant name=\"Gap\">6</constant></includes>");
    const auto gap = model.definitions(SymbolKind::Constant, "Gap");
    ASSERT_EQ(gap.size(), 1u);
    EXPECT_EQ(gap.front()->value, "6");
    EXPECT_EQ(gap.front()->at.line, 2u);
}

TEST_F(SkinModelTest, WindowFoldersComeFromTheManifest) {
    skin.put(L"C:\\skin\\addon.xml",
             "<addon><extension><res width=\"1920\" folder=\"1080I\"/><res folder=\"1080i\"/></extension></addon>");
    skin.put(L"C:\\skin\\1080i\\includes.xml", "<includes><include name=\"Big\"/></includes>");
    SkinModel model = skin.model();
    model.refresh(kWin);
    ASSERT_EQ(model.windowFolders().size(), 2u);
    EXPECT_EQ(model.windowFolders()[1], L"C:\\skin\\1080i");
    EXPECT_EQ(model.definitions(SymbolKind::Include, "Big").size(), 1u);
    EXPECT_EQ(model.definitions(SymbolKind::Include, "Frame").size(), 1u);
}

TEST(SkinModelBadInput, KeepsWhatItCanReadAndSaysWhatItCouldNot) {
    MemorySkin skin;
    skin.put(L"C:\\skin\\720p\\includes.xml",
             "<includes>\n<include name=\"Good\"/>\n<variable name=\"Broken\"><value>a</valu></variable>\n"
             "<include file=\"gone.xml\"/>\n<include name=\"After\"/>\n<include name=\"odd &amp; ünïcode\"/>\n"
             "<constant name=\"Long\">" +
                 std::string(100000, 'x') + "</constant>\n<include name=\"Open\" <stray\n");
    skin.put(L"C:\\skin\\language\\en_gb\\strings.po",
             "msgctxt \"#31001\"\nmsgid \"caf\xe9\"\nmsgstr \"\"\nnonsense line\nmsgctxt \"#31002\nmsgid \"x\"\n");
    skin.put(L"C:\\skin\\720p\\Font.xml", "<fonts><fontset id=\"A\"><font><name>f</name>");
    SkinModel model = skin.model();
    model.refresh(kWin);
    EXPECT_EQ(model.definitions(SymbolKind::Include, "Good").size(), 1u);
    EXPECT_EQ(model.definitions(SymbolKind::Include, "After").size(), 1u);
    EXPECT_EQ(model
                  .definitions(SymbolKind::Include,
                               "odd &amp; \xc3\xbcn\xc3\xaf"
                               "code")
                  .size(),
              1u);
    EXPECT_EQ(model.definitions(SymbolKind::Constant, "Long").front()->value.size(), 100000u);
    EXPECT_EQ(model.definitions(SymbolKind::Font, "f").size(), 1u);
    EXPECT_EQ(model.definitions(SymbolKind::String, "31001").front()->value, "caf\xc3\xa9");  // 8-bit file read
    std::map<std::wstring, std::string> problems;
    for (const ModelProblem& p : model.problems()) problems[p.path] += p.reason + ";";
    EXPECT_EQ(problems[L"C:\\skin\\720p\\includes.xml"],
              "line 3: an end tag without its start tag;names the include file gone.xml, which is not found;");
    EXPECT_EQ(problems[L"C:\\skin\\language\\en_gb\\strings.po"], "2 lines not understood, the first line 4;");
    EXPECT_EQ(problems[L"C:\\skin\\colors\\defaults.xml"], "not found;");
    EXPECT_EQ(problems[L"C:\\skin\\720p\\Font.xml"], "line 1: an element is not closed;");
}

TEST(SkinModelBadInput, ASkinWithoutItsFilesIsEmptyNotBroken) {
    MemorySkin skin;
    skin.put(L"C:\\skin\\720p\\Home.xml", "<window><include>X</include></window>");
    SkinModel model = skin.model();
    model.refresh(kWin);
    EXPECT_TRUE(model.includeNames().empty());
    EXPECT_EQ(model.references(SymbolKind::Include, "X").size(), 1u);
    EXPECT_EQ(model.problems().size(), 4u);  // includes.xml, Font.xml, defaults.xml, strings
}

TEST(SkinModelScan, ReadsTheUnsavedTextOfAnyFile) {
    // Arbitrary texts must neither crash nor hang the scanner.
    for (const char* text : {"<", "<a", "<a b=\"", "</>", "<!--", "<![CDATA[", "$VAR[", "<label>$VAR[$PARAM[x]",
                             "<includes><include name=\"a\"><param name=\"p\"/><definition>$PARAM[",
                             "\xff\xfe<\0i\0>\0", "<fonts><fontset><font><name></name></font>"}) {
        SkinFile f;
        f.path = L"x.xml";
        f.text = text;
        ScanSkinFile(f, {"texture"});
        f.role = FileRole::Strings;
        ScanSkinFile(f, {});
    }
    SkinFile f;
    f.text = "<label>$VAR[$PARAM[x],a]</label>";
    ScanSkinFile(f, {});
    ASSERT_EQ(f.references.size(), 2u);
    EXPECT_EQ(f.references[0].form, ReferenceForm::Dynamic);
    EXPECT_EQ(f.references[1].name, "x");
}

// What a value names follows the vocabulary: a view's label and a label's
// fallback name strings, every colour element a colour.
TEST(SkinModelScan, TheVocabularyTellsWhatAValueNames) {
    SkinFile f;
    f.text =
        "<control type=\"list\"><viewtype label=\" 31099 \">list</viewtype><hitrectcolor>red</hitrectcolor>"
        "<texture label=\"a\" fallback=\"31\"/><label fallback=\"31098\">$INFO[x]</label></control>";
    ScanSkinFile(f, {"texture"});
    std::vector<std::string> seen;
    for (const SymbolReference& r : f.references) seen.push_back(std::string(symbolKindName(r.kind)) + " " + r.name);
    EXPECT_EQ(seen, (std::vector<std::string>{"string 31099", "colour red", "string 31098"}));
}

TEST(SkinModelPanelNames, BundleEntriesInTheirOrderThenPngJpegAndBmpFilesBelowTheMediaFolder) {
    MemorySkin skin;
    skin.put(L"C:\\skin\\720p\\Home.xml", "<window/>");
    for (const wchar_t* file :
         {L"misc\\arrow.bmp", L"buttons\\focus.PNG", L"backgrounds\\home.jpg", L"top.png", L"notes.txt"}) {
        skin.put(std::wstring(L"C:\\skin\\media\\") + file, "x");
    }
    skin.put(L"C:\\skin\\media\\textures.ort", "bundle");
    skin.bundleEntries = {{"zz/last.png", 1, 1}, {"aa/first.png", 1, 1}};
    SkinModel model = skin.model();
    model.refresh(kWin);
    std::vector<std::wstring> names = model.imageNames();
    ASSERT_EQ(names.size(), 6u);
    std::sort(names.begin() + 2, names.begin() + 4);  // the folder's own order
    EXPECT_EQ(names, (std::vector<std::wstring>{L"zz/last.png", L"aa/first.png", L"buttons\\focus.PNG", L"top.png",
                                                L"backgrounds\\home.jpg", L"misc\\arrow.bmp"}));
}

}  // namespace

namespace {

TEST(SkinModelPaths, APosixSkinReadsAsAWindowsOne) {
    MemorySkin skin;
    skin.put(L"/home/u/skin/720p/Includes.xml",
             "<includes><include file=\"more.XML\"/><include name=\"A\"/></includes>");
    skin.put(L"/home/u/skin/720p/More.xml", "<includes><include name=\"B\"/></includes>");
    skin.put(L"/home/u/skin/720p/Home.xml", "<window><include>B</include><texture>x/Y.png</texture></window>");
    skin.put(L"/home/u/skin/Media/x/y.png", "");
    SkinModel model = skin.model();
    model.refresh(L"/home/u/skin/720p/");
    EXPECT_EQ(model.skinFolder(), L"/home/u/skin");
    EXPECT_EQ(model.bundlePath(), L"/home/u/skin/Media/textures.ort");
    EXPECT_EQ(model.includeNames(), (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(model.definitions(SymbolKind::Texture, "x/y.png").size(), 1u);
    EXPECT_EQ(model.definitions(SymbolKind::Texture, "x/y.png").front()->at.path, L"/home/u/skin/Media/x/y.png");
    EXPECT_EQ(model.references(SymbolKind::Texture, "x/y.png").size(), 1u);
    EXPECT_EQ(model.definitions(SymbolKind::IncludeFile, "more.xml").front()->at.path, L"/home/u/skin/720p/More.xml");
}

TEST(SkinModelPaths, RunTimeNamesSchemesAndAbsolutePathsAreNoTexturePaths) {
    for (const wchar_t* name :
         {L"$INFO[ListItem.Icon]", L"$VAR[Background]", L"$PARAM[icon]", L"icons/$INFO[x].png", L"special://skin/x.png",
          L"http://host/x.png", L"/abs/x.png", L"\\abs\\x.png", L"C:\\media\\x.png", L"c:x.png", L""}) {
        EXPECT_FALSE(IsTexturePath(name)) << std::string(name, name + std::wcslen(name));
    }
    EXPECT_TRUE(IsTexturePath(L"buttons\\focus.png"));
    EXPECT_TRUE(IsTexturePath(L"x.png"));
    EXPECT_EQ(ReferenceKey(L"Buttons\\Focus.PNG"), ReferenceKey(L"buttons/focus.png"));
}

}  // namespace
