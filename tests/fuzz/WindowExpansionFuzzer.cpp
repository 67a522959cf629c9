// libFuzzer target over the expansion of a window: the bytes up to the first
// NUL are an include file, the rest a window file that calls it (without a
// NUL, the same bytes are both). Whatever the bytes, the expansion ends within
// its bounds, its tree is consistent, and every place it reports lies in the
// text of its file.
#include "skin/ExpandedWindow.h"
#include "skin/WindowOutline.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "window expansion: %s\n", what);
    std::abort();
}

void lines(skin::SkinFile& f) {
    f.lineStarts.assign(1, 0);
    for (std::size_t k = 0; k < f.text.size(); ++k) {
        if (f.text[k] == '\n') f.lineStarts.push_back(k + 1);
    }
}

void checkPlace(const skin::ExpandedWindow& w, const skin::WindowPlace& at) {
    if (at.file >= w.files().size()) fail("a place in no file");
    if (at.begin > at.end || at.end > w.files()[at.file]->text.size()) fail("a place outside its file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = bytes.find('\0');
    skin::SkinFile includes;
    includes.path = L"C:\\skin\\720p\\includes.xml";
    includes.role = skin::FileRole::Includes;
    includes.text = nul == std::string::npos ? bytes : bytes.substr(0, nul);
    skin::SkinFile window;
    window.path = L"C:\\skin\\720p\\Home.xml";
    window.text = nul == std::string::npos ? bytes : bytes.substr(nul + 1);
    lines(includes);
    lines(window);
    skin::IncludeLibrary library;
    library.build({&includes});
    const std::unique_ptr<skin::ExpandedWindow> w = skin::ExpandWindow(window, library);
    if (w->controls().size() > skin::ExpandedWindow::kMaxControls) fail("more controls than its bound");
    for (std::size_t k = 0; k < w->controls().size(); ++k) {
        const skin::WindowControl& c = w->controls()[k];
        checkPlace(*w, c.at);
        checkPlace(*w, c.idAt);
        checkPlace(*w, c.extent);
        if (c.parent >= static_cast<std::int32_t>(k)) fail("a parent after its child");
        if (c.via >= static_cast<std::int32_t>(w->calls().size())) fail("a control from no call");
        w->locate(c.at);
    }
    for (const skin::ControlIdUse& u : w->idUses()) checkPlace(*w, u.at);
    for (const skin::WindowIncludeCall& call : w->calls()) {
        checkPlace(*w, call.extent);
        std::size_t depth = 0;
        for (std::int32_t up = call.parent; up >= 0; up = w->calls()[static_cast<std::size_t>(up)].parent) {
            if (++depth > skin::ExpandedWindow::kMaxDepth + 1) fail("calls nested beyond the bound, or a loop");
        }
    }
    skin::BuildWindowOutline(*w);
    return 0;
}
