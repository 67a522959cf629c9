// The skin model on a made skin of the size of a large real one: 100 window
// files with 2,000 controls, 130 includes, 110 variables, constants,
// expressions, fonts, colours with a theme, strings and a 700-entry bundle,
// all in memory (the file system's own speed is not what is measured).
#include "skin/Completion.h"
#include "skin/SkinModel.h"
#include "unit/skin/MemorySkin.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

const std::wstring kWin = L"C:\\skin\\720p";
const std::wstring kCoreStrings = L"C:\\core\\strings.po";

struct MadeSkin : MemorySkin {

    MadeSkin() {
        std::string includes = "<includes>\n";
        for (int f = 0; f < 3; ++f) includes += "  <include file=\"Includes_" + std::to_string(f) + ".xml\"/>\n";
        for (int i = 0; i < 40; ++i) {
            includes += "  <include name=\"Inc" + std::to_string(i) +
                        "\">\n    <param name=\"id\">1</param>\n    <definition>\n"
                        "      <control type=\"image\" id=\"$PARAM[id]\"><width>PanelWidth</width>"
                        "<texture>$PARAM[tex]</texture></control>\n    </definition>\n  </include>\n";
        }
        for (int v = 0; v < 110; ++v) {
            includes += "  <variable name=\"Var" + std::to_string(v) + "\">\n    <value condition=\"$EXP[Exp" +
                        std::to_string(v % 30) + "]\">$LOCALIZE[" + std::to_string(31000 + v) +
                        "]</value>\n    <value>-</value>\n  </variable>\n";
        }
        for (int e = 0; e < 30; ++e) {
            includes += "  <expression name=\"Exp" + std::to_string(e) + "\">Control.HasFocus(" + std::to_string(e) +
                        ")</expression>\n";
            includes +=
                "  <constant name=\"Const" + std::to_string(e) + "\">" + std::to_string(e * 10) + "</constant>\n";
        }
        includes += "  <constant name=\"PanelWidth\">640</constant>\n</includes>\n";
        put(kWin + L"\\includes.xml", includes);
        for (int f = 0; f < 3; ++f) {
            std::string more = "<includes>\n";
            for (int i = 0; i < 30; ++i) {
                more += "  <include name=\"More" + std::to_string(f * 30 + i) +
                        "\">\n    <control type=\"label\"><font>font" + std::to_string(i % 20) +
                        "</font><textcolor>colour" + std::to_string(i) + "</textcolor></control>\n  </include>\n";
            }
            put(kWin + L"\\Includes_" + std::to_wstring(f) + L".xml", more + "</includes>\n");
        }
        for (int w = 0; w < 100; ++w) {
            std::string window = "<window>\n  <controls>\n";
            for (int c = 0; c < 20; ++c) {
                const int n = w * 20 + c;
                window += "    <control type=\"button\" id=\"" + std::to_string(n) + "\">\n      <posx>Const" +
                          std::to_string(n % 30) + "</posx>\n      <width>200</width>\n      <label>" +
                          std::to_string(31000 + n % 300) + "</label>\n      <label2>$VAR[Var" +
                          std::to_string(n % 110) + "]</label2>\n      <font>font" + std::to_string(n % 20) +
                          "</font>\n      <textcolor>colour" + std::to_string(n % 100) +
                          "</textcolor>\n      <texturefocus>buttons/b" + std::to_string(n % 700) +
                          ".png</texturefocus>\n      <visible>$EXP[Exp" + std::to_string(n % 30) +
                          "]</visible>\n    </control>\n    <include>Inc" + std::to_string(n % 40) + "</include>\n";
            }
            put(kWin + L"\\Window" + std::to_wstring(w) + L".xml", window + "  </controls>\n</window>\n");
        }
        std::string fonts = "<fonts>\n";
        for (const char* set : {"Default", "Arial"}) {
            fonts += "  <fontset id=\"" + std::string(set) + "\">\n";
            for (int f = 0; f < 20; ++f) {
                fonts += "    <font><name>font" + std::to_string(f) + "</name><filename>a.ttf</filename><size>" +
                         std::to_string(10 + f) + "</size></font>\n";
            }
            fonts += "  </fontset>\n";
        }
        put(kWin + L"\\Font.xml", fonts + "</fonts>\n");
        for (const wchar_t* theme : {L"defaults", L"Dark"}) {
            std::string colours = "<colors>\n";
            for (int c = 0; c < 100; ++c)
                colours += "  <color name=\"colour" + std::to_string(c) + "\">FF102030</color>\n";
            put(L"C:\\skin\\colors\\" + std::wstring(theme) + L".xml", colours + "</colors>\n");
        }
        std::string strings;
        for (int s = 0; s < 300; ++s) {
            strings += "msgctxt \"#" + std::to_string(31000 + s) + "\"\nmsgid \"String number " + std::to_string(s) +
                       "\"\nmsgstr \"\"\n\n";
        }
        put(L"C:\\skin\\language\\resource.language.en_gb\\strings.po", strings);
        // The media center's own strings, for 2,000 in all.
        std::string core;
        for (int s = 0; s < 1700; ++s) {
            core += "msgctxt \"#" + std::to_string(100 + s) + "\"\nmsgid \"Core text " + std::to_string(s) +
                    "\"\nmsgstr \"\"\n\n";
        }
        put(kCoreStrings, core);
        put(L"C:\\skin\\media\\textures.ort", "bundle");
        for (int t = 0; t < 700; ++t) bundleEntries.push_back({"buttons/b" + std::to_string(t) + ".png", 64, 64});
    }

    std::unique_ptr<skin::SkinModel> model(std::wstring coreStrings = {}) {
        skin::SkinModelOptions options;
        options.coreStringsPath = std::move(coreStrings);
        options.imageElements = {L"texture", L"texturefocus", L"texturenofocus"};
        return make(std::move(options));
    }
};

MadeSkin& made() {
    static MadeSkin skin;
    return skin;
}

void BM_SkinModelBuild(benchmark::State& state) {
    for (auto _ : state) {
        auto model = made().model();
        model->refresh(kWin);
        benchmark::DoNotOptimize(model.get());
    }
}
BENCHMARK(BM_SkinModelBuild)->Unit(benchmark::kMillisecond);

// The unsaved text of a window file after a one-line edit, then a refresh.
void BM_SkinModelOneLineEdit(benchmark::State& state) {
    auto model = made().model();
    model->refresh(kWin);
    const std::wstring path = kWin + L"\\Window50.xml";
    std::string text = made().text(path);
    const std::size_t at = text.find("<width>200</width>");
    int n = 0;
    for (auto _ : state) {
        text.replace(at + 7, 3, std::to_string(100 + (++n % 900)));
        model->setOverlay(path, text);
        model->refresh(kWin);
    }
}
BENCHMARK(BM_SkinModelOneLineEdit)->Unit(benchmark::kMicrosecond);

void BM_SkinModelDefinition(benchmark::State& state) {
    auto model = made().model();
    model->refresh(kWin);
    const std::wstring path = kWin + L"\\Window50.xml";
    const std::string text = made().text(path) + " ";  // unsaved: scanned again on each request
    for (auto _ : state) {
        const skin::NameAt name = model->nameAt(path, text, 7, 22);  // $VAR[...]
        benchmark::DoNotOptimize(model->definitions(name.kind, name.name, name.scope));
    }
}
BENCHMARK(BM_SkinModelDefinition)->Unit(benchmark::kMicrosecond);

void BM_SkinModelReferences(benchmark::State& state) {
    auto model = made().model();
    model->refresh(kWin);
    for (auto _ : state) benchmark::DoNotOptimize(model->references(skin::SymbolKind::Variable, "Var7"));
}
BENCHMARK(BM_SkinModelReferences)->Unit(benchmark::kMicrosecond);

void BM_SkinModelHover(benchmark::State& state) {
    auto model = made().model();
    model->refresh(kWin);
    skin::NameAt name;
    name.found = true;
    name.kind = skin::SymbolKind::Colour;
    name.name = "colour7";
    for (auto _ : state) benchmark::DoNotOptimize(model->hover(name));
}
BENCHMARK(BM_SkinModelHover)->Unit(benchmark::kMicrosecond);

// Completion: the context under the caret of a window file's unsaved text and
// its entries, one context of each kind (the ninth filters 2,000 strings by a
// word of their text).
void BM_Completion(benchmark::State& state) {
    static const char* const kTails[] = {
        "<include>In",      "<label>$VAR[Var1",    "<visible>$EXP[",         "<posx>Con", "<font>", "<textcolor>col",
        "<texturefocus>b1", "<label>$LOCALIZE[31", "<label>$LOCALIZE[text 1",
        // Today's vocabulary: a control's elements, an enum's values, the types.
        "<control type=\"button\"><label>a</label><", "<control type=\"label\"><aligny>", "<control type=\""};
    auto model = made().model(kCoreStrings);
    model->refresh(kWin);
    const std::string text = made().text(kWin + L"\\Window50.xml");
    const std::string edited = text.substr(0, text.rfind("  </controls>")) + kTails[state.range(0)];
    std::size_t count = 0;
    for (auto _ : state) {
        const skin::CompletionSite site = skin::FindCompletionSite(edited, edited.size());
        const auto entries = skin::CompletionEntries(*model, site);
        count = entries.size();
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetLabel(std::string(kTails[state.range(0)]) + ": " + std::to_string(count) + " entries");
}
BENCHMARK(BM_Completion)->DenseRange(0, 11)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
