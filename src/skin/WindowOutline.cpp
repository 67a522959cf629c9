#include "skin/WindowOutline.h"

#include "base/TextCodec.h"

namespace skin {

namespace {

std::string fileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return text::toUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

OutlineEntry entryOf(const ExpandedWindow& w, std::uint32_t k) {
    const WindowControl& c = w.controls()[k];
    OutlineEntry e;
    e.control = k;
    e.name = c.type.empty() ? std::string("control") : std::string(c.type);
    if (!c.id.empty()) e.name += " " + std::string(c.id);
    const std::string_view caption = w.caption(c);
    if (!caption.empty()) e.name += ": " + std::string(caption.substr(0, 80));
    if (c.inItemLayout) e.name += " (item layout)";
    e.at = w.locate(c.at);
    const WindowPlace place = w.placeInWindow(c);
    e.inWindow = w.locate({place.file, place.begin, place.begin});
    e.inWindowEnd = w.locate({place.file, place.end, place.end});
    e.fromInclude = c.via >= 0;
    if (e.fromInclude) {
        e.detail = "include " + std::string(w.calls()[static_cast<std::size_t>(c.via)].name) + ", " +
                   fileNameOf(e.at.path) + " line " + std::to_string(e.at.line);
    }
    for (const std::uint32_t child : c.children) e.children.push_back(entryOf(w, child));
    return e;
}

}  // namespace

std::vector<OutlineEntry> BuildWindowOutline(const ExpandedWindow& window) {
    std::vector<OutlineEntry> out;
    for (const std::uint32_t k : window.topLevel()) out.push_back(entryOf(window, k));
    return out;
}

}  // namespace skin
