// The window renderer on a made window of a large skin's kind (a background,
// 300 controls in groups, a grouplist of buttons, a list, labels in a
// TrueType font): drawn at 1920x1080, and again after a one-line edit (the
// model updated from the unsaved text, the picture drawn at a docked panel's
// size). Textures and fonts are decoded once per model and kept by the
// assets, as the preview keeps them. Counters give the resident memory.
#include "render/ExpandedSource.h"
#include "render/WindowRenderer.h"
#include "skin/ExpandedWindow.h"
#include "textures/PngCodec.h"
#include "unit/skin/MemorySkin.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

const std::wstring kWin = L"C:\\skin\\1080i";
const std::wstring kHome = kWin + L"\\Home.xml";

std::string gradientPng(std::uint32_t w, std::uint32_t h) {
    textures::Image32 image;
    textures::allocate(image, w, h, textures::ChannelOrder::Bgra);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        const std::size_t p = i / 4;
        image.pixels[i] = static_cast<std::uint8_t>(p % w);
        image.pixels[i + 1] = static_cast<std::uint8_t>(p / w);
        image.pixels[i + 2] = 128;
        image.pixels[i + 3] = 255;
    }
    std::vector<std::uint8_t> bytes;
    textures::encodePng(image, bytes);
    return std::string(bytes.begin(), bytes.end());
}

std::string madeWindow(int edit) {
    std::string w = "<window>\n<defaultcontrol>9000</defaultcontrol>\n<controls>\n"
                    "<control type=\"image\"><width>100%</width><height>100%</height>"
                    "<texture>background.png</texture></control>\n";
    for (int g = 0; g < 10; ++g) {
        w += "<control type=\"group\"><left>" + std::to_string(100 + g * 150) + "</left><top>" +
             std::to_string(60 + edit) + "</top>\n";
        for (int c = 0; c < 25; ++c) {
            w += "  <control type=\"image\"><top>" + std::to_string(c * 36) +
                 "</top><width>140</width><height>32</height><texture border=\"4\">panel.png</texture>"
                 "<colordiffuse>C0FFFFFF</colordiffuse></control>\n"
                 "  <control type=\"label\"><top>" +
                 std::to_string(c * 36) + "</top><width>140</width><height>32</height><font>font13</font>"
                 "<label>Item " + std::to_string(c) + "</label><aligny>center</aligny><textoffsetx>8</textoffsetx>"
                 "</control>\n";
        }
        w += "</control>\n";
    }
    w += "<control type=\"grouplist\" id=\"9000\"><left>40</left><top>980</top><width>1840</width><height>60</height>"
         "<orientation>horizontal</orientation><itemgap>10</itemgap>\n";
    for (int b = 0; b < 20; ++b) {
        w += "  <control type=\"button\" id=\"" + std::to_string(9000 + b) +
             "\"><width>80</width><height>60</height><texturefocus>panel.png</texturefocus>"
             "<texturenofocus>panel.png</texturenofocus><label>B" + std::to_string(b) +
             "</label><font>font13</font><align>center</align></control>\n";
    }
    w += "</control>\n<control type=\"list\"><left>1700</left><top>60</top><width>200</width><height>800</height>"
         "<itemlayout width=\"200\" height=\"40\"><control type=\"label\"><info>ListItem.Label</info>"
         "<font>font13</font></control></itemlayout><content>\n";
    for (int i = 0; i < 20; ++i) w += "  <item><label>Entry " + std::to_string(i) + "</label></item>\n";
    return w + "</content></control>\n</controls>\n</window>\n";
}

struct Preview {
    MemorySkin skin;
    std::unique_ptr<skin::SkinModel> model;
    std::unique_ptr<render::SkinAssets> assets;

    Preview() {
        std::ifstream font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
        skin.put(kWin + L"\\includes.xml", "<includes/>");
        skin.put(kWin + L"\\Font.xml",
                 "<fonts><fontset id=\"Default\"><font><name>font13</name><filename>a.ttf</filename><size>28</size>"
                 "</font></fontset></fonts>");
        skin.put(L"C:\\skin\\fonts\\a.ttf", std::string(std::istreambuf_iterator<char>(font), {}));
        skin.put(L"C:\\skin\\media\\background.png", gradientPng(1920, 1080));
        skin.put(L"C:\\skin\\media\\panel.png", gradientPng(64, 64));
        skin.put(kHome, madeWindow(0));
        skin::SkinModelOptions options;
        options.imageElements = {L"texture", L"texturefocus", L"texturenofocus"};
        model = skin.make(options);
        model->refresh(kWin);
        assets = std::make_unique<render::SkinAssets>(*model, skin.reader());
    }
    render::Rendering draw(int w, int h) {
        render::RenderOptions o;
        o.skinWidth = 1920;
        o.skinHeight = 1080;
        o.width = w;
        o.height = h;
        return render::RenderWindow(render::SourceOf(*model->expandedWindow(kHome)), *assets, o);
    }
};

long residentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_RenderFullHd(benchmark::State& state) {
    Preview p;
    const long before = residentKiB();
    std::size_t drawn = 0;
    for (auto _ : state) {
        const render::Rendering r = p.draw(1920, 1080);
        drawn = r.drawn.size();
        benchmark::DoNotOptimize(r.picture.pixels.data());
    }
    state.counters["controls"] = static_cast<double>(drawn);
    state.counters["peak_MiB"] = static_cast<double>(residentKiB()) / 1024.0;
    state.counters["added_MiB"] = static_cast<double>(residentKiB() - before) / 1024.0;
}
BENCHMARK(BM_RenderFullHd)->Unit(benchmark::kMillisecond);

void BM_EditThenRenderPanel(benchmark::State& state) {
    Preview p;
    p.draw(480, 270);  // textures and fonts decoded once, as a preview's first drawing does
    int edit = 0;
    for (auto _ : state) {
        p.model->setOverlay(kHome, madeWindow(++edit % 7));
        p.assets = std::make_unique<render::SkinAssets>(*p.model, p.skin.reader(), p.assets->cache());
        const render::Rendering r = p.draw(480, 270);
        benchmark::DoNotOptimize(r.picture.pixels.data());
    }
    state.counters["peak_MiB"] = static_cast<double>(residentKiB()) / 1024.0;
}
BENCHMARK(BM_EditThenRenderPanel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
