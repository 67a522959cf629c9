#include "skin/VocabularyHover.h"

#include "skin/Completion.h"
#include "skin/ControlVocabulary.h"
#include "skin/SkinModel.h"
#include "skin/SkinScanText.h"
#include "skin/SkinVocabulary.h"

#include <vector>

namespace skin {

namespace {

using namespace scan;
namespace v = skin::vocab;

std::string kindText(v::ValueKind k) {
    switch (k) {
    case v::ValueKind::Position: return "a position in pixels from the parent's edge (a trailing % for a share of the parent, a trailing r from the opposite edge)";
    case v::ValueKind::Dimension: return "a size in pixels or a percentage of the parent (auto where the control sizes itself)";
    case v::ValueKind::Number: return "a number";
    case v::ValueKind::Integer: return "a whole number";
    case v::ValueKind::Boolean: return "true or false, read once when the window loads";
    case v::ValueKind::Condition: return "a condition, followed while the window is shown";
    case v::ValueKind::BooleanOrCondition: return "true, false or a condition";
    case v::ValueKind::Action: return "a built-in function to run (one per element; a condition attribute may guard it)";
    case v::ValueKind::Navigation: return "the id of the control that gets the focus, or a built-in function";
    case v::ValueKind::Label: return "a text, a string id, or text with $INFO[], $LOCALIZE[], $VAR[] ...";
    case v::ValueKind::Info: return "an info label's name, without $INFO[]";
    case v::ValueKind::Font: return "a font of the skin's Font.xml";
    case v::ValueKind::Colour: return "a colour: AARRGGBB or a name from colors/defaults.xml";
    case v::ValueKind::Texture: return "an image below the skin's media folder (or a full path)";
    case v::ValueKind::Path: return "a folder, file or library path";
    case v::ValueKind::TimeMs: return "a time in milliseconds";
    case v::ValueKind::ControlId: return "the id of another control of the window";
    case v::ValueKind::Rect: return "one number for all sides, or left,top,right,bottom";
    case v::ValueKind::Range: return "min,max or min,max,step";
    case v::ValueKind::String: return "free text";
    case v::ValueKind::Container: return "other elements";
    case v::ValueKind::Empty: return "nothing: its attributes say it all";
    case v::ValueKind::Enum: return "one of its values";
    }
    return "";
}

std::string joined(v::Items<std::string_view> names) {
    std::string out;
    for (std::string_view n : names) out += (out.empty() ? "" : ", ") + std::string(n);
    return out;
}

// The lines about one element, read by `owner` ("a label control", "every control" ...).
std::string aboutElement(const v::Element& e, const std::string& owner, std::string_view typeName) {
    std::string out = "<" + std::string(e.name) + ">, read by " + owner;
    if (e.kind == v::ValueKind::Enum && e.enumeration) {
        out += "\nValue: one of " + joined(e.enumeration->values);
    } else {
        out += "\nValue: " + kindText(e.kind);
    }
    if (!e.attributes.empty()) out += "\nAttributes: " + joined(e.attributes);
    if (e.has(v::Legacy)) {
        const std::string_view modern = v::modernNameOf(e.name);
        out += modern.empty() ? "\nAn older form, still read." : "\nAn older name of <" + std::string(modern) + ">, still read.";
    }
    if (e.has(v::Ignored)) {
        out += typeName.empty() ? "\nHas no effect." : "\nHas no effect on a " + std::string(typeName) + " control.";
    }
    if (e.has(v::Recent)) out += "\nRead only by the newest releases of the media center.";
    if (e.has(v::Unverified)) out += "\nDocumented, but not known to be read.";
    if (e.has(v::Repeatable)) out += "\nMay be written more than once.";
    return out;
}

std::string aboutType(const v::ControlType& t) {
    std::string out = "Control type " + std::string(t.name);
    if (t.focusable) out += "; takes the focus";
    if (t.container) out += "; holds items or controls";
    if (t.recent) out += "\nRead only by the newest releases of the media center.";
    return out;
}

const OpenElement* control(const std::vector<OpenElement>& open, std::size_t fromEnd) {
    if (open.size() <= fromEnd) return nullptr;
    const OpenElement& e = open[open.size() - 1 - fromEnd];
    return e.name == "control" ? &e : nullptr;
}

std::string elementHover(std::string_view name, const std::vector<OpenElement>& open, std::size_t parentFromEnd) {
    const std::string n = NameKey(name);
    if (const OpenElement* c = control(open, parentFromEnd)) {
        const v::ControlType* type = v::findType(c->type);
        if (type == nullptr) return {};
        const v::ElementMatch m = v::findElement(*type, n);
        if (!m) return "A " + std::string(type->name) + " control does not read <" + n + ">.";
        const std::string owner = m.origin == v::ElementOrigin::Own         ? "a " + std::string(type->name) + " control"
                                  : m.origin == v::ElementOrigin::Focusable ? "every control that takes the focus"
                                                                            : "every control";
        return aboutElement(*m.element, owner, type->name);
    }
    if (open.size() > parentFromEnd && open[open.size() - 1 - parentFromEnd].name == "window") {
        if (const v::Element* e = v::findWindowElement(n)) return aboutElement(*e, "the window", {});
    }
    if (n == "control") return {};
    // Elsewhere (an include's body): the controls that read it.
    std::string owners;
    const v::Element* first = nullptr;
    for (const v::ControlType& t : v::controlTypes()) {
        const v::ElementMatch m = v::findElement(t, n);
        if (!m) continue;
        if (m.origin != v::ElementOrigin::Own) return aboutElement(*m.element, m.origin == v::ElementOrigin::Common ? "every control" : "every control that takes the focus", {});
        if (first == nullptr) first = m.element;
        owners += (owners.empty() ? "" : ", ") + std::string(t.name);
    }
    return first ? aboutElement(*first, "controls of type " + owners, {}) : std::string();
}

const char* textureAttributeText(std::string_view a) {
    static const struct {
        std::string_view name;
        const char* text;
    } kTexts[] = {
        {"border", "edges left unscaled when the image is stretched: one number, or left,top,right,bottom"},
        {"infill", "false leaves the middle undrawn (with a border)"},
        {"flipx", "true mirrors the image left to right"},
        {"flipy", "true mirrors the image top to bottom"},
        {"diffuse", "an image multiplied into this one (a mask)"},
        {"colordiffuse", "a colour multiplied into the image (tint, transparency)"},
        {"background", "true loads the image in the background"},
        {"fallback", "the image shown when this one cannot be loaded"},
        {"subpixel", "true keeps fractional screen positions (newest releases only)"},
    };
    for (const auto& t : kTexts) {
        if (t.name == a) return t.text;
    }
    return nullptr;
}

std::string attributeHover(std::string_view tagName, std::string_view name) {
    const std::string tag = NameKey(tagName);
    const std::string a = NameKey(name);
    if (tag == "animation" || tag == "effect") {
        if (!v::holdsFolded(tag == "animation" ? v::animationAttributes() : v::effectAttributes(), a)) return {};
        std::string out = a + "=, an attribute of <" + tag + ">";
        if ((tag == "animation" && a == "effect") || (tag == "effect" && a == "type"))
            return out + "\nValue: one of " + joined(v::animationEffects());
        if (tag == "animation" && a == "type") return out + "\nValue: the trigger, one of " + joined(v::animationTriggers());
        if (a == "tween") return out + "\nValue: one of " + joined(v::animationTweens());
        if (a == "easing") return out + "\nValue: one of " + joined(v::animationEasings());
        if (a == "time" || a == "delay") return out + "\nValue: a time in milliseconds";
        if (a == "condition") return out + "\nValue: a condition";
        return out;
    }
    if (isImageElement(tag)) {
        const char* text = textureAttributeText(a);
        return text ? a + "=, an attribute of an image element\nValue: " + text : std::string();
    }
    if (tag == "control" && (a == "type" || a == "id")) {
        return a == "type" ? "type=, the control's type: one of today's " + std::to_string(v::controlTypes().size()) + " types"
                           : "id=, the control's id, for navigation and conditions";
    }
    return {};
}

}  // namespace

MarkupHover VocabularyHoverAt(std::string_view text, std::size_t offset) {
    MarkupHover out;
    if (offset > text.size()) return out;
    std::size_t b = offset, e = offset;
    while (b > 0 && isNameChar(text[b - 1])) --b;
    while (e < text.size() && isNameChar(text[e])) ++e;
    if (b == e || b == 0) return out;
    out.begin = b;
    out.end = e;
    const std::string_view name = text.substr(b, e - b);
    if (text[b - 1] == '<') {
        out.text = elementHover(name, OpenElementsAt(text, b - 1), 0);
        return out;
    }
    if (text[b - 1] == '/' && b >= 2 && text[b - 2] == '<') {
        out.text = elementHover(name, OpenElementsAt(text, b - 2), 1);
        return out;
    }
    const std::size_t lt = text.rfind('<', b);
    if (lt == std::string_view::npos || text.substr(lt, b - lt).find('>') != std::string_view::npos) return out;
    std::size_t n = lt + 1;
    while (n < b && isNameChar(text[n])) ++n;
    const std::string_view tag = text.substr(lt + 1, n - lt - 1);
    if (text[b - 1] == '"' || text[b - 1] == '\'') {
        // <control type="label">: the type.
        std::size_t j = b - 1;
        while (j > n && isBlank(text[j - 1])) --j;
        if (j <= n || text[j - 1] != '=') return out;
        --j;
        while (j > n && isBlank(text[j - 1])) --j;
        std::size_t a = j;
        while (a > n && isNameChar(text[a - 1])) --a;
        const v::ControlType* type = v::findType(name);
        if (NameKey(tag) == "control" && NameKey(text.substr(a, j - a)) == "type" && type) out.text = aboutType(*type);
        return out;
    }
    // An attribute's name, followed by '='.
    std::size_t k = e;
    while (k < text.size() && isBlank(text[k])) ++k;
    if (k >= text.size() || text[k] != '=') return out;
    out.text = attributeHover(tag, name);
    return out;
}

}  // namespace skin
