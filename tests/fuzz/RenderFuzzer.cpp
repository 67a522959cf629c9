// libFuzzer target over the window renderer: the bytes up to the first NUL
// are the skin's includes.xml, the rest a window file (without a NUL, the same
// bytes are both), in a small skin with a font and a texture. Whatever the
// bytes, the window is drawn (from the model's expanded window and from its
// own text) into a picture of the size asked for, within the renderer's bounds.
#include "../unit/skin/MemorySkin.h"
#include "render/ExpandedSource.h"
#include "render/WindowRenderer.h"
#include "skin/ExpandedWindow.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "renderer: %s\n", what);
    std::abort();
}

std::string systemFont() {
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void check(const render::Rendering& r) {
    if (r.picture.width != 64 || r.picture.height != 36) fail("a picture of another size");
    if (r.drawn.size() > render::kMostControls * 2) fail("more controls drawn than its bound");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string font = systemFont();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = bytes.find('\0');
    MemorySkin skin;
    skin.put(L"C:\\skin\\720p\\includes.xml", nul == std::string::npos ? bytes : bytes.substr(0, nul));
    const std::string window = nul == std::string::npos ? bytes : bytes.substr(nul + 1);
    skin.put(L"C:\\skin\\720p\\Home.xml", window);
    skin.put(L"C:\\skin\\720p\\Font.xml",
             "<fonts><fontset id=\"Default\"><font><name>font13</name><filename>a.ttf</filename><size>20</size>"
             "</font></fontset></fonts>");
    skin.put(L"C:\\skin\\fonts\\a.ttf", font);
    skin.put(L"C:\\skin\\media\\white.bmp",
             std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0\0\0\0\0\4\0\0\0\0\0\0\0"
                         "\0\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\0",
                         58));
    skin::SkinModelOptions options;
    options.imageElements = {L"texture"};
    const std::unique_ptr<skin::SkinModel> model = skin.make(options);
    model->refresh(L"C:\\skin\\720p");
    render::SkinAssets assets(*model, skin.reader());
    render::RenderOptions o;
    o.skinWidth = 1280;
    o.skinHeight = 720;
    o.width = 64;
    o.height = 36;
    if (const skin::ExpandedWindow* expanded = model->expandedWindow(L"C:\\skin\\720p\\Home.xml"))
        check(render::RenderWindow(render::SourceOf(*expanded), assets, o));
    render::WindowSource own;
    own.files.push_back(L"C:\\skin\\720p\\Home.xml");
    std::string reason;
    if (render::ReadWindowText(window, 0, own.window, reason)) check(render::RenderWindow(own, assets, o));
    return 0;
}
