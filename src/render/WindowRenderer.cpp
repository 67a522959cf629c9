#include "render/WindowSource.h"
#include "render/WindowRenderer.h"

#include "render/Painter.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// The first of several names an element goes by (today's, then the legacy alias).
const Node* childOf(const Node& node, std::string_view name, std::string_view alias = {}) {
    if (const Node* c = node.child(name)) return c;
    return alias.empty() ? nullptr : node.child(alias);
}

bool isContainer(std::string_view type) {
    return type == "list" || type == "fixedlist" || type == "wraplist" || type == "panel";
}

}  // namespace

bool IsTrue(std::string_view value) {
    const std::string v = lowered(trimmed(value));
    return v == "true" || v == "yes" || v == "1" || v == "on";
}

Painter::Painter(const WindowSource& window, SkinAssets& assets, const RenderOptions& options, Rendering& out)
    : window_(window), assets_(assets), options_(options), out_(out) {
    idle_.windowName = options.windowName;
    idle_.windowId = std::string(trimmed(window.window.attribute("id")));
    focusId_ = std::string(trimmed(assets_.resolved(window.window.childText("defaultcontrol"))));
    idle_.defaultControl = focusId_;
    idle_.expression = [this](std::string_view name) { return assets_.expression(name); };
}

std::string Painter::value(const Node& node, std::string_view element) const {
    const Node* c = node.child(element);
    return c ? assets_.resolved(c->text) : std::string();
}

void Painter::leave(const Node& node, std::string_view type, std::string why) {
    out_.leftOut.push_back({std::string(type), node.file, node.line, std::move(why)});
}

bool Painter::visible(const Node& node) const {
    for (const Node& c : node.children) {
        if (c.name == "visible" && EvaluateIdle(c.text, idle_) == Truth::False) return false;
    }
    return true;
}

void Painter::paint() {
    for (const SourceNote& note : window_.notes) out_.leftOut.push_back({"include", note.file, note.line, note.why});
    const int skinW = std::clamp(options_.skinWidth, 1, kLargestPicture);
    const int skinH = std::clamp(options_.skinHeight, 1, kLargestPicture);
    const int w = options_.width > 0 ? options_.width : skinW;
    const int h = options_.height > 0 ? options_.height : skinH;
    if (w > kLargestPicture || h > kLargestPicture || static_cast<long long>(w) * h > kMostPicturePixels ||
        !canvas_.create(w, h)) {
        leave(window_.window, "window",
              "a picture of " + std::to_string(w) + " x " + std::to_string(h) + " pixels is not drawn (at most " +
                  std::to_string(kLargestPicture) + " a side and " + std::to_string(kMostPicturePixels) +
                  " pixels in all)");
        return;
    }
    out_.scaleX = static_cast<float>(w) / static_cast<float>(skinW);
    out_.scaleY = static_cast<float>(h) / static_cast<float>(skinH);

    if (const Node* background = window_.window.child("backgroundcolor")) {
        if (const auto c = assets_.colour(background->text)) {
            canvas_.fill(0, 0, static_cast<float>(w), static_cast<float>(h), *c);
        } else if (!trimmed(background->text).empty()) {
            leave(*background, "window", "background colour " + std::string(trimmed(background->text)) +
                                             " is not a colour the skin defines");
        }
    }
    // A dialog's place: <coordinates> with left/top (or posx/posy).
    Box root{0, 0, static_cast<float>(skinW), static_cast<float>(skinH)};
    if (const Node* at = window_.window.child("coordinates")) {
        for (const auto& [name, alias, field] :
             {std::tuple{"left", "posx", &root.x}, std::tuple{"top", "posy", &root.y}}) {
            if (const Node* c = childOf(*at, name, alias)) {
                if (const auto v = ResolveExtent(assets_.resolved(c->text), 0)) *field = *v;
            }
        }
    }
    if (const Node* list = window_.window.child("controls")) controls(*list, root, 0, nullptr);
    out_.picture = canvas_.image();
}

void Painter::controls(const Node& parent, const Box& box, int depth, const ItemData* item) {
    for (const Node& c : parent.children) {
        if (c.name == "control") {
            control(c, box, depth, item);
        } else if (c.name == "include") {
            leave(c, "include", "include " + std::string(trimmed(c.text.empty() ? c.attribute("content") : c.text)) +
                                    " is not expanded here");
        }
    }
}

Box Painter::layout(const Node& node, const Box& parent, const std::string& type, const ItemData* item) {
    const std::string left = value(node, "left").empty() ? value(node, "posx") : value(node, "left");
    const std::string top = value(node, "top").empty() ? value(node, "posy") : value(node, "top");
    const std::string right = value(node, "right"), bottom = value(node, "bottom");
    const std::string cl = value(node, "centerleft"), cr = value(node, "centerright");
    const std::string ct = value(node, "centertop"), cb = value(node, "centerbottom");
    const std::string width = value(node, "width"), height = value(node, "height");
    const Node* wNode = node.child("width");
    const Node* hNode = node.child("height");
    std::optional<float> natural;
    if (width == "auto" && (type == "label" || type == "button" || type == "fadelabel")) natural = naturalWidth(node, item);
    const auto attr = [this](const Node* n, std::string_view a) {
        return n ? assets_.resolved(n->attribute(a)) : std::string();
    };
    const std::string wMin = attr(wNode, "min"), wMax = attr(wNode, "max");
    const std::string hMin = attr(hNode, "min"), hMax = attr(hNode, "max");
    const Axis x = ResolveAxis({left, right, cl, cr, width, wMin, wMax}, parent.w, natural);
    const Axis y = ResolveAxis({top, bottom, ct, cb, height, hMin, hMax}, parent.h);
    return Box{std::clamp(parent.x + x.pos, -kFarthest, kFarthest), std::clamp(parent.y + y.pos, -kFarthest, kFarthest),
               x.size, y.size};
}

void Painter::control(const Node& node, const Box& parent, int depth, const ItemData* item,
                      const std::optional<Box>& placed) {
    if (++controlsSeen_ > kMostControls) {
        if (!overflowNoted_) {
            leave(node, "window", "more than " + std::to_string(kMostControls) + " controls: the rest is not drawn");
            overflowNoted_ = true;
        }
        return;
    }
    const std::string type = lowered(trimmed(node.attribute("type")));
    if (!visible(node)) return;
    const Box box = placed ? *placed : layout(node, parent, type, item);
    for (const Node& c : node.children) {
        if (c.name == "include") {
            leave(c, type, "include " + std::string(trimmed(c.text.empty() ? c.attribute("content") : c.text)) +
                               " is not expanded here");
        }
    }
    out_.drawn.push_back({type, std::string(trimmed(node.attribute("id"))), node.file, node.line, box});
    if (type == "group") {
        if (depth >= kDeepestGroup) {
            leave(node, type, "groups nested more than " + std::to_string(kDeepestGroup) + " deep");
            return;
        }
        controls(node, box, depth + 1, item);
    } else if (type == "grouplist") {
        if (depth >= kDeepestGroup) {
            leave(node, type, "groups nested more than " + std::to_string(kDeepestGroup) + " deep");
            return;
        }
        groupList(node, box, depth + 1, item);
    } else if (isContainer(type)) {
        if (depth >= kDeepestGroup) {
            leave(node, type, "groups nested more than " + std::to_string(kDeepestGroup) + " deep");
            return;
        }
        container(node, box, depth + 1, type);
    } else {
        paintControl(node, type, box, item);
    }
}

void Painter::groupList(const Node& node, const Box& box, int depth, const ItemData* item) {
    const bool horizontal = lowered(value(node, "orientation")) == "horizontal";
    float gap = 5;
    if (const auto g = ResolveExtent(value(node, "itemgap"), 0)) gap = *g;
    const bool ownCoords = IsTrue(value(node, "usecontrolcoords"));
    // First the sizes of the visible children, then their places.
    struct Child {
        const Node* node;
        Box box;
    };
    std::vector<Child> children;
    float total = 0;
    for (const Node& c : node.children) {
        if (c.name == "include") {
            leave(c, "include", "include " + std::string(trimmed(c.text)) + " is not expanded here");
            continue;
        }
        if (c.name != "control" || !visible(c)) continue;
        const Box b = layout(c, Box{0, 0, box.w, box.h}, lowered(trimmed(c.attribute("type"))), item);
        if (!children.empty()) total += gap;
        total += horizontal ? b.w : b.h;
        children.push_back({&c, b});
        if (children.size() > kMostControls) break;
    }
    const std::string align = lowered(value(node, "align"));
    const float room = horizontal ? box.w : box.h;
    float at = 0;
    if (total < room && (align == "center" || align == "centre")) at = (room - total) / 2;
    if (total < room && (align == "right" || align == "bottom")) at = room - total;
    for (Child& c : children) {
        Box b = c.box;
        if (horizontal) {
            b.x = box.x + at + (ownCoords ? b.x : 0);
            b.y = box.y + (ownCoords ? b.y : 0);
            at += b.w + gap;
        } else {
            b.x = box.x + (ownCoords ? b.x : 0);
            b.y = box.y + at + (ownCoords ? b.y : 0);
            at += b.h + gap;
        }
        control(*c.node, box, depth, item, b);
    }
}

void Painter::container(const Node& node, const Box& box, int depth, const std::string& type) {
    // The item layout to use: the first whose condition is not false.
    const auto layoutOf = [&](std::string_view name) -> const Node* {
        for (const Node& c : node.children) {
            if (c.name != name) continue;
            const std::string_view condition = c.attribute("condition");
            if (condition.empty() || EvaluateIdle(condition, idle_) != Truth::False) return &c;
        }
        return nullptr;
    };
    const Node* normal = layoutOf("itemlayout");
    const Node* focused = layoutOf("focusedlayout");
    if (!normal && !focused) {
        leave(node, type, "no item layout to draw its items with");
        return;
    }
    std::vector<ItemData> items;
    const Node* content = node.child("content");
    const bool staticContent = content && !content->children.empty();
    if (staticContent) {
        for (const Node& c : content->children) {
            if (c.name != "item" || !visible(c)) continue;
            if (items.size() >= static_cast<std::size_t>(kMostItems)) break;
            ItemData d;
            std::string why;
            d.label = labelText(c, "label", nullptr, why).value_or("");
            d.label2 = labelText(c, "label2", nullptr, why).value_or("");
            d.icon = value(c, "icon");
            d.thumb = value(c, "thumb");
            items.push_back(std::move(d));
        }
    } else {
        // The media center fills it: a few empty items show the layouts.
        items.resize(3);
        leave(node, type, "its items come from the media center: three empty items stand for them");
    }
    const bool horizontal = lowered(value(node, "orientation")) == "horizontal";
    const bool grid = type == "panel";
    float x = 0, y = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Node* layoutNode = (i == 0 && focused) ? focused : (normal ? normal : focused);
        const float iw = ResolveExtent(assets_.resolved(layoutNode->attribute("width")), box.w).value_or(box.w);
        const float ih = ResolveExtent(assets_.resolved(layoutNode->attribute("height")), box.h).value_or(box.h);
        if (iw <= 0 || ih <= 0) {
            leave(*layoutNode, type, "item layout without a size");
            return;
        }
        if ((horizontal || grid ? x : y) >= (horizontal || grid ? box.w : box.h) && !grid) break;
        if (grid && x + iw > box.w + 0.5f && x > 0) {
            x = 0;
            y += ih;
        }
        if (grid && y >= box.h) break;
        controls(*layoutNode, Box{box.x + x, box.y + y, iw, ih}, depth, &items[i]);
        if (grid || horizontal) {
            x += iw;
        } else {
            y += ih;
        }
    }
}

Rendering RenderWindow(const WindowSource& window, SkinAssets& assets, const RenderOptions& options) {
    Rendering out;
    Painter painter(window, assets, options, out);
    painter.paint();
    return out;
}

bool ResolutionOf(std::string_view addonText, std::string_view folderName, int& width, int& height) {
    const std::string folder = lowered(folderName);
    for (std::size_t at = addonText.find("<res"); at != std::string_view::npos; at = addonText.find("<res", at + 4)) {
        const std::size_t end = addonText.find('>', at);
        if (end == std::string_view::npos) break;
        const std::string_view tag = addonText.substr(at, end - at);
        const auto attribute = [&](std::string_view name) -> std::string_view {
            for (std::size_t p = tag.find(name); p != std::string_view::npos; p = tag.find(name, p + 1)) {
                const char before = p > 0 ? tag[p - 1] : ' ';
                std::size_t q = p + name.size();
                while (q < tag.size() && tag[q] == ' ') ++q;
                if ((before != ' ' && before != '\t' && before != '\n' && before != '\r') || q >= tag.size() ||
                    tag[q] != '=')
                    continue;
                ++q;
                while (q < tag.size() && tag[q] == ' ') ++q;
                if (q >= tag.size() || (tag[q] != '"' && tag[q] != '\'')) continue;
                const std::size_t close = tag.find(tag[q], q + 1);
                if (close == std::string_view::npos) continue;
                return tag.substr(q + 1, close - q - 1);
            }
            return {};
        };
        if (lowered(attribute("folder")) != folder) continue;
        const auto w = ResolveExtent(attribute("width"), 0);
        const auto h = ResolveExtent(attribute("height"), 0);
        if (!w || !h || *w < 1 || *h < 1) continue;
        width = static_cast<int>(std::min(*w, static_cast<float>(kLargestPicture)));
        height = static_cast<int>(std::min(*h, static_cast<float>(kLargestPicture)));
        return true;
    }
    return false;
}

}  // namespace render
