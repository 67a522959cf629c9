#include "render/WindowSource.h"
#include "render/Painter.h"

#include "render/TextDrawing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace render {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool allDigits(std::string_view s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string_view::npos;
}

std::uint32_t multiplied(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t c = ((a >> shift) & 0xFF) * ((b >> shift) & 0xFF) / 255;
        out |= c << shift;
    }
    return out;
}

// Label texts longer than this are cut (a label shows a line or a page).
constexpr std::size_t kLongestLabel = 4096;

// The label formatting tags ([B], [COLOR red], [UPPERCASE] ...) taken out;
// [CR] stays, it breaks the line.
std::string withoutFormatting(std::string_view text) {
    static constexpr std::array kTags = {"b", "/b", "i", "/i", "light", "/light", "uppercase", "/uppercase",
                                         "lowercase", "/lowercase", "capitalize", "/capitalize", "/color", "tabs",
                                         "/tabs"};
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < kLongestLabel; ++i) {
        if (text[i] == '[') {
            const std::size_t close = text.find(']', i);
            if (close != std::string_view::npos) {
                const std::string tag = lowered(text.substr(i + 1, close - i - 1));
                const bool known = std::find(kTags.begin(), kTags.end(), tag) != kTags.end() ||
                                   startsWith(tag, "color ") || startsWith(tag, "tabs=");
                if (known) {
                    i = close;
                    continue;
                }
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace

std::uint32_t Painter::diffuseOf(const Node& node) const {
    const Node* c = node.child("colordiffuse");
    if (!c) return 0xFFFFFFFFu;
    return assets_.colour(c->text).value_or(0xFFFFFFFFu);
}

std::string Painter::infoValue(std::string_view info, const ItemData* item) const {
    const std::string i = lowered(trimmed(info));
    if (i == "system.time" || startsWith(i, "system.time(")) return options_.time;
    if (item) {
        if (i == "listitem.label") return item->label;
        if (i == "listitem.label2") return item->label2;
        if (i == "listitem.icon") return item->icon;
        if (i == "listitem.thumb" || i == "listitem.art(thumb)") return item->thumb.empty() ? item->icon : item->thumb;
    }
    return {};
}

std::optional<std::string> Painter::expandInfo(std::string_view text, const ItemData* item, std::string& why) const {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '$') {
            out.push_back(text[i++]);
            continue;
        }
        const std::size_t open = text.find('[', i);
        const std::string word = open == std::string_view::npos ? std::string() : lowered(text.substr(i, open - i));
        // The bracket's end, counting brackets inside.
        std::size_t close = std::string_view::npos;
        for (std::size_t k = open, depth = 0; open != std::string_view::npos && k < text.size(); ++k) {
            if (text[k] == '[') ++depth;
            if (text[k] == ']' && --depth == 0) {
                close = k;
                break;
            }
        }
        if (close == std::string_view::npos) {
            out.push_back(text[i++]);
            continue;
        }
        const std::string_view inner = text.substr(open + 1, close - open - 1);
        if (word == "$localize") {
            if (const auto s = assets_.string(inner)) {
                out += *s;
            } else {
                why = "string " + std::string(trimmed(inner)) + " is not known here";
                return std::nullopt;
            }
        } else if (word == "$info" || word == "$escinfo") {
            // $INFO[label,prefix,suffix]: prefix and suffix only round a value.
            const std::size_t comma = inner.find(',');
            const std::string v = infoValue(inner.substr(0, comma), item);
            if (!v.empty()) {
                std::string_view prefix, suffix;
                if (comma != std::string_view::npos) {
                    const std::string_view rest = inner.substr(comma + 1);
                    const std::size_t second = rest.find(',');
                    prefix = rest.substr(0, second);
                    if (second != std::string_view::npos) suffix = rest.substr(second + 1);
                }
                out += std::string(prefix) + v + std::string(suffix);
            }
        } else if (word == "$number") {
            out += std::string(trimmed(inner));
        } else if (word == "$addon") {
            why = "text from an add-on's strings (" + std::string(trimmed(inner)) + ")";
            return std::nullopt;
        } else {
            why = "text built at run time (" + std::string(text.substr(i, close - i + 1)) + ")";
            return std::nullopt;
        }
        i = close + 1;
    }
    return out;
}

std::optional<std::string> Painter::labelText(const Node& node, std::string_view element, const ItemData* item,
                                              std::string& why) const {
    const Node* c = node.child(element);
    if (!c) return std::string();
    const std::string_view text = trimmed(c->text);
    if (allDigits(text)) {
        if (const auto s = assets_.string(text)) return withoutFormatting(*s);
        why = "string " + std::string(text) + " is not known here";
        return std::nullopt;
    }
    const auto expanded = expandInfo(text, item, why);
    if (!expanded) return std::nullopt;
    return withoutFormatting(*expanded);
}

std::optional<float> Painter::naturalWidth(const Node& node, const ItemData* item) {
    std::string why;
    std::string text = labelText(node, "label", item, why).value_or("");
    if (text.empty()) text = infoValue(node.childText("info"), item);
    const std::string name = value(node, "font").empty() ? "font13" : value(node, "font");
    const FontChoice font = assets_.font(name);
    if (!font.face) return std::nullopt;
    const float offset = ResolveExtent(value(node, "textoffsetx"), 0).value_or(0);
    return font.face->width(CodePoints(text), font.size * out_.scaleY) / out_.scaleX + 2 * offset;
}

bool Painter::image(const Node& node, const Node* texture, const Box& box, std::string_view type,
                    bool aspectFromNode, const ItemData* item) {
    if (!texture || box.w <= 0 || box.h <= 0) return false;
    std::string why;
    const auto expanded = expandInfo(assets_.resolved(texture->text), item, why);
    if (!expanded) {
        leave(*texture, type, "texture: " + why);
        return false;
    }
    const std::string name(trimmed(*expanded));
    if (name.empty()) return false;
    if (startsWith(lowered(name), "special://") || name.find(':') != std::string::npos || name.front() == '/' ||
        name.front() == '\\') {
        leave(*texture, type, "texture " + name + " is outside the skin");
        return false;
    }
    const TextureChoice choice = assets_.texture(name);
    if (!choice.picture) {
        leave(*texture, type, choice.problem);
        return false;
    }
    const Picture& p = *choice.picture;
    const float iw = static_cast<float>(p.width), ih = static_cast<float>(p.height);
    std::uint32_t tint = diffuseOf(node);
    if (texture->hasAttribute("colordiffuse")) {
        if (const auto c = assets_.colour(texture->attribute("colordiffuse"))) tint = multiplied(tint, *c);
    }
    std::shared_ptr<const Picture> diffuse;
    if (const std::string_view d = trimmed(texture->attribute("diffuse")); !d.empty()) {
        const TextureChoice mask = assets_.texture(d);
        if (!mask.picture) {
            leave(*texture, type, "diffuse " + mask.problem);
            return false;
        }
        diffuse = mask.picture;
    }
    const float sx = out_.scaleX, sy = out_.scaleY;
    const bool flipX = IsTrue(texture->attribute("flipx")), flipY = IsTrue(texture->attribute("flipy"));
    const auto draw = [&](IntRect part, float x, float y, float w, float h) {
        ImageDraw d{part, x * sx, y * sy, w * sx, h * sy, flipX, flipY};
        canvas_.drawImage(p, d, tint, diffuse.get(), box.x * sx, box.y * sy, box.w * sx, box.h * sy);
    };

    const Node* aspect = aspectFromNode ? node.child("aspectratio") : nullptr;
    const std::string mode = aspect ? lowered(trimmed(aspect->text)) : std::string("stretch");
    if (mode == "keep" || mode == "scale" || mode == "center") {
        const float s = mode == "keep" ? std::min(box.w / iw, box.h / ih)
                        : mode == "scale" ? std::max(box.w / iw, box.h / ih)
                                          : 1.0f;
        const float dw = iw * s, dh = ih * s;
        const std::string ax = lowered(aspect->attribute("align")), ay = lowered(aspect->attribute("aligny"));
        const auto placeOf = [](const std::string& a, float room, float size, std::string_view low,
                                std::string_view high) {
            if (a == low) return 0.0f;
            if (a == high) return room - size;
            return (room - size) / 2;
        };
        // What falls outside the box is cut from the picture, not drawn.
        const float vw = std::min(dw, box.w), vh = std::min(dh, box.h);
        const float offX = placeOf(ax, box.w, dw, "left", "right");
        const float offY = placeOf(ay, box.h, dh, "top", "bottom");
        const float cutX = std::max(-offX, 0.0f) / s, cutY = std::max(-offY, 0.0f) / s;
        IntRect part{static_cast<int>(std::lround(cutX)), static_cast<int>(std::lround(cutY)),
                     static_cast<int>(std::lround(vw / s)), static_cast<int>(std::lround(vh / s))};
        draw(part, box.x + std::max(offX, 0.0f), box.y + std::max(offY, 0.0f), vw, vh);
        return true;
    }
    if (!aspect || mode == "stretch" || mode.empty()) {
        // border="l,t,r,b" (or one value for all four): nine slices, the corners unscaled.
        float b[4] = {0, 0, 0, 0};
        const std::string border(trimmed(texture->attribute("border")));
        if (!border.empty()) {
            std::size_t at = 0;
            int n = 0;
            for (; n < 4 && at <= border.size(); ++n) {
                const std::size_t comma = border.find(',', at);
                b[n] = std::max(ResolveExtent(border.substr(at, comma - at), 0).value_or(0), 0.0f);
                if (comma == std::string::npos) {
                    ++n;
                    break;
                }
                at = comma + 1;
            }
            if (n == 1) b[1] = b[2] = b[3] = b[0];
        }
        if (b[0] + b[2] >= iw || b[1] + b[3] >= ih || (b[0] + b[1] + b[2] + b[3]) == 0) {
            draw(IntRect{0, 0, static_cast<int>(p.width), static_cast<int>(p.height)}, box.x, box.y, box.w, box.h);
            return true;
        }
        // Corners shrink together when the box is smaller than the two borders.
        const float kx = std::min(1.0f, box.w / (b[0] + b[2])), ky = std::min(1.0f, box.h / (b[1] + b[3]));
        const float xs[4] = {box.x, box.x + b[0] * kx, box.x + box.w - b[2] * kx, box.x + box.w};
        const float ys[4] = {box.y, box.y + b[1] * ky, box.y + box.h - b[3] * ky, box.y + box.h};
        const int us[4] = {0, static_cast<int>(b[0]), static_cast<int>(iw - b[2]), static_cast<int>(iw)};
        const int vs[4] = {0, static_cast<int>(b[1]), static_cast<int>(ih - b[3]), static_cast<int>(ih)};
        const bool infill = !(texture->hasAttribute("infill") && !IsTrue(texture->attribute("infill")));
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                if (r == 1 && c == 1 && !infill) continue;
                draw(IntRect{us[c], vs[r], us[c + 1] - us[c], vs[r + 1] - vs[r]}, xs[c], ys[r], xs[c + 1] - xs[c],
                     ys[r + 1] - ys[r]);
            }
        }
        return true;
    }
    leave(*aspect, type, "aspect ratio " + mode + " is not one the media center knows");
    return false;
}

bool Painter::label(const Node& node, const Box& box, std::string_view type, const ItemData* item, bool focused) {
    if (box.w <= 0 || box.h <= 0) return false;
    std::string why;
    const auto text = labelText(node, "label", item, why);
    if (!text) {
        leave(node, type, "label: " + why);
        return false;
    }
    std::string shown = *text;
    if (shown.empty()) shown = withoutFormatting(infoValue(node.childText("info"), item));
    if (shown.empty()) return false;
    const std::string fontName = value(node, "font").empty() ? "font13" : value(node, "font");
    const FontChoice font = assets_.font(fontName);
    if (!font.face) {
        leave(node, type, font.problem);
        return false;
    }
    std::uint32_t colour = 0xFFFFFFFFu;
    for (const char* element : {focused ? "focusedcolor" : "textcolor", "textcolor"}) {
        const Node* c = node.child(element);
        if (!c) continue;
        const auto v = assets_.colour(c->text);
        if (!v) {
            leave(*c, type, "colour " + std::string(trimmed(c->text)) + " is not one the skin defines");
            return false;
        }
        colour = *v;
        break;
    }
    TextStyle style;
    style.size = font.size * out_.scaleY;
    style.colour = colour;
    const std::string align = lowered(value(node, "align"));
    style.alignX = align == "center" ? AlignX::Centre : align == "right" ? AlignX::Right : AlignX::Left;
    style.alignY = lowered(value(node, "aligny")) == "center" ? AlignY::Centre : AlignY::Top;
    style.wrap = type == "textbox" || IsTrue(value(node, "wrapmultiline"));
    style.offsetX = ResolveExtent(value(node, "textoffsetx"), 0).value_or(0) * out_.scaleX;
    style.offsetY = ResolveExtent(value(node, "textoffsety"), 0).value_or(0) * out_.scaleY;
    DrawText(canvas_, *font.face, CodePoints(shown), style, box.x * out_.scaleX, box.y * out_.scaleY,
             box.w * out_.scaleX, box.h * out_.scaleY);
    return true;
}

bool Painter::paintControl(const Node& node, const std::string& type, const Box& box, const ItemData* item) {
    if (type == "image") return image(node, node.child("texture"), box, type, true, item);
    if (type == "label" || type == "fadelabel" || type == "textbox") return label(node, box, type, item, false);
    if (type == "button" || type == "togglebutton" || type == "radiobutton") {
        const std::string id(trimmed(node.attribute("id")));
        const bool focused = !focusId_.empty() && id == focusId_;
        const Node* alt = node.child("usealttexture");
        const bool useAlt = type == "togglebutton" && alt && EvaluateIdle(alt->text, idle_) == Truth::True;
        const std::string prefix = useAlt ? "alttexture" : "texture";
        const Node* texture = node.child(prefix + (focused ? "focus" : "nofocus"));
        image(node, texture, box, type, false, item);
        if (type == "radiobutton" && (node.child("textureradioon") || node.child("textureradiooff") ||
                                      node.child("textureradioofffocus") || node.child("textureradiooffnofocus"))) {
            leave(node, type, "its radio mark is not drawn here");
        }
        label(node, box, type, item, focused);
        return true;
    }
    if (type == "progress") return image(node, node.child("texturebg"), box, type, false, item);
    if (type == "slider") return image(node, node.child("texturesliderbackground"), box, type, false, item);
    if (type.empty()) {
        leave(node, "control", "a control without a type");
    } else {
        leave(node, type, "a " + type + " control is not drawn here");
    }
    return false;
}

}  // namespace render
