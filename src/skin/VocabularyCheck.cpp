#include "skin/VocabularyCheck.h"

#include "skin/ControlVocabulary.h"
#include "skin/SkinScanText.h"

#include <iterator>

namespace skin {

namespace {

using namespace scan;
namespace v = skin::vocab;

std::string_view textOf(const SkinFile& f, TextRange r) {
    return std::string_view(f.text).substr(r.begin, r.end - r.begin);
}

TextRange trimmedRange(const SkinFile& f, TextRange r) {
    const Span s = trimmed(f.text, {r.begin, r.end});
    return {s.begin, s.end};
}

// A value as a message shows it: on one line, and not too long.
std::string shown(std::string_view value) {
    constexpr std::size_t kMost = 40;
    std::string out;
    for (char c : value.substr(0, kMost)) out.push_back(isBlank(c) ? ' ' : c);
    if (value.size() > kMost) out += "...";
    return out;
}

// "12", "-3.5", ".5"; with `edges`, a trailing '%' and/or 'r' too.
bool numberForm(std::string_view s, bool fraction, bool edges) {
    if (edges) {
        for (int k = 0; k < 2 && !s.empty() && (s.back() == '%' || s.back() == 'r' || s.back() == 'R'); ++k) {
            s.remove_suffix(1);
        }
    }
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
    bool digits = false, point = false;
    for (char c : s) {
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && fraction && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

// Whether a value is one of its kind's forms; kinds not judged pass.
bool validFor(v::ValueKind kind, std::string_view s) {
    switch (kind) {
    case v::ValueKind::Position:
        return numberForm(s, true, true);
    case v::ValueKind::Dimension:
        return numberForm(s, true, true) || v::equalsFolded(s, "auto");
    case v::ValueKind::Number:
    case v::ValueKind::TimeMs:
        return numberForm(s, true, false);
    case v::ValueKind::Integer:
        return numberForm(s, false, false);
    case v::ValueKind::Boolean: {
        // Beside true/false and yes/no, the forms of a switch no reader would take for anything else.
        static constexpr std::string_view kSwitches[] = {"true", "false", "yes", "no", "on", "off", "1", "0"};
        return v::holdsFolded({kSwitches, std::size(kSwitches)}, s);
    }
    default:
        return true;
    }
}

bool numeric(v::ValueKind kind) {
    return kind == v::ValueKind::Position || kind == v::ValueKind::Dimension || kind == v::ValueKind::Number ||
           kind == v::ValueKind::TimeMs || kind == v::ValueKind::Integer;
}

std::string formsOf(const v::Element& e) {
    switch (e.kind) {
    case v::ValueKind::Position:
        return "a position (pixels, a percentage, with r from the far edge)";
    case v::ValueKind::Dimension:
        return "a size (pixels, a percentage or auto)";
    case v::ValueKind::Number:
        return "a number";
    case v::ValueKind::TimeMs:
        return "a time in milliseconds";
    case v::ValueKind::Integer:
        return "a whole number";
    case v::ValueKind::Boolean:
        return "true or false";
    default:
        break;
    }
    std::string out;
    if (e.enumeration == nullptr) return out;
    for (std::size_t k = 0; k < e.enumeration->values.size(); ++k) {
        if (k) out += k + 1 == e.enumeration->values.size() ? " or " : ", ";
        out += e.enumeration->values.first[k];
    }
    return out;
}

std::string list(v::Items<std::string_view> names) {
    std::string out;
    for (std::string_view n : names) {
        if (!out.empty()) out += ", ";
        out += n;
    }
    return out;
}

// What replaces a removed type: the first of today's types its note names after "use ".
std::string_view replacementOf(const v::RemovedType& removed) {
    const std::size_t use = removed.replacement.find("use ");
    if (use == std::string_view::npos) return {};
    std::string_view word = removed.replacement.substr(use + 4);
    std::size_t n = 0;
    while (n < word.size() && word[n] >= 'a' && word[n] <= 'z') ++n;
    word = word.substr(0, n);
    return v::findType(word) ? word : std::string_view();
}

bool notJudgedChild(std::string_view name) {
    return name == "include" || name == "nested" || name == "content" || v::isItemLayout(name);
}

class Checker {
public:
    Checker(const SkinModel& model, const SkinFile& f, std::vector<VocabularyFinding>& out)
        : model_(model), f_(f), out_(out) {}

    void run() {
        // What each control and animation holds, from its children (which come after it).
        const std::size_t n = f_.markup.size();
        legacyType_.assign(n, MarkupElement::kNone);
        effects_.assign(n, false);
        others_.assign(n, false);
        for (std::size_t k = 0; k < n; ++k) {
            const MarkupElement& c = f_.markup[k];
            if (c.parent == MarkupElement::kNone) continue;
            if (c.name == "type" && c.plainText && legacyType_[c.parent] == MarkupElement::kNone) legacyType_[c.parent] = k;
            (c.name == "effect" ? effects_ : others_)[c.parent] = true;
        }
        std::vector<const v::ControlType*> types(n, nullptr);
        for (std::size_t k = 0; k < n; ++k) {
            const MarkupElement& m = f_.markup[k];
            const bool inControl = m.parent != MarkupElement::kNone && f_.markup[m.parent].control;
            if (m.control) types[k] = controlType(k);
            if (inControl) child(m, types[m.parent]);
            if (m.name == "animation") animation(k);
            if (m.name == "effect" && !inControl && m.parent != MarkupElement::kNone) effect(m);
        }
    }

private:
    void add(std::string_view rule, TextRange at, std::string message) {
        out_.push_back({rule, LocationIn(f_, at.begin, at.end), std::move(message)});
    }
    TextRange nameOf(const MarkupElement& m) const { return {m.tag + 1, m.tag + 1 + m.name.size()}; }

    // The control's type, judged; null when unknown or not to be known.
    const v::ControlType* controlType(std::size_t index) {
        const MarkupElement& m = f_.markup[index];
        TextRange at;
        if (const TextRange* attribute = m.attribute("type")) {
            at = trimmedRange(f_, *attribute);
        } else if (legacyType_[index] != MarkupElement::kNone) {
            at = f_.markup[legacyType_[index]].text;  // the older form: a <type> child
        } else {
            return nullptr;
        }
        const std::string_view type = textOf(f_, at);
        if (type.empty() || type.find('$') != std::string_view::npos) return nullptr;
        if (const v::ControlType* known = v::findType(type)) return known;
        std::string message = "control type " + shown(type);
        if (const v::RemovedType* removed = v::findRemovedType(type)) {
            const std::string_view use = replacementOf(*removed);
            message += " is no longer read by the media center";
            if (!use.empty()) message += ": use " + std::string(use) + " instead";
        } else {
            message += " is not one the media center reads";
        }
        add("unknown-control-type", at, std::move(message));
        return nullptr;
    }

    void child(const MarkupElement& m, const v::ControlType* type) {
        if (type == nullptr || m.control || notJudgedChild(m.name)) return;
        const v::ElementMatch match = v::findElement(*type, m.name);
        if (!match) {
            add("unknown-element", nameOf(m),
                "a " + std::string(type->name) + " control does not read <" + m.name + ">");
            return;
        }
        const v::Element& e = *match.element;
        if (e.has(v::Ignored)) {
            add("unknown-element", nameOf(m), "<" + m.name + "> has no effect on a " + std::string(type->name) + " control");
            return;
        }
        if (m.plainText && m.name != "animation") value(m, e, *type);  // its trigger: see animation()
    }

    void value(const MarkupElement& m, const v::Element& e, const v::ControlType& type) {
        std::string_view s = textOf(f_, m.text);
        if (s.empty() || s.find('$') != std::string_view::npos) return;
        if (numeric(e.kind) && isNameStart(s.front()) && !v::equalsFolded(s, "auto")) {
            // A constant: judged by its value, when it has one.
            const std::vector<const Definition*> defs = model_.definitions(SymbolKind::Constant, s);
            if (defs.empty()) return;
            s = defs.front()->value;
            while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
            while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
            if (s.empty() || s.find('$') != std::string_view::npos) return;
        }
        if (e.kind == v::ValueKind::Enum && e.enumeration != nullptr) {
            if (v::enumerationHolds(*e.enumeration, s)) return;
            const v::Enumeration* extended = e.enumeration->name == "aligny" ? v::findEnumeration("alignyExtended") : nullptr;
            if (extended && v::enumerationHolds(*extended, s)) {
                add("no-effect-value", m.text,
                    "<" + m.name + ">" + shown(s) + " has no effect on the text of a " +
                        std::string(type.name) + " control: it is drawn at the top (only center moves it)");
                return;
            }
        } else if (validFor(e.kind, s)) {
            return;
        }
        const std::string forms = formsOf(e);
        if (forms.empty()) return;
        add("invalid-value", m.text, "<" + m.name + "> takes " + forms + ", not " + shown(s));
    }

    // An attribute's value when it is there and fixed; `at` gets where.
    std::string_view fixedAttribute(const MarkupElement& m, std::string_view name, TextRange& at) const {
        const TextRange* r = m.attribute(name);
        if (r == nullptr) return {};
        at = trimmedRange(f_, *r);
        const std::string_view s = textOf(f_, at);
        return s.find('$') == std::string_view::npos ? s : std::string_view();
    }

    void oneOf(const MarkupElement& m, std::string_view attribute, v::Items<std::string_view> values,
               std::string_view what) {
        TextRange at;
        const std::string_view s = fixedAttribute(m, attribute, at);
        if (s.empty() || v::holdsFolded(values, s)) return;
        add("invalid-animation", at,
            std::string(what) + " " + shown(s) + " is not one of " + list(values));
    }

    void trigger(TextRange at) {
        const std::string_view s = textOf(f_, at);
        if (s.empty() || s.find('$') != std::string_view::npos || v::isAnimationTrigger(s)) return;
        add("invalid-animation", at,
            "animation trigger " + shown(s) + " is not one of " + list(v::animationTriggers()));
    }

    void effect(const MarkupElement& m) {
        oneOf(m, "type", v::animationEffects(), "animation effect");
        oneOf(m, "tween", v::animationTweens(), "tween");
        oneOf(m, "easing", v::animationEasings(), "easing");
    }

    void animation(std::size_t index) {
        const MarkupElement& m = f_.markup[index];
        oneOf(m, "effect", v::animationEffects(), "animation effect");
        oneOf(m, "tween", v::animationTweens(), "tween");
        oneOf(m, "easing", v::animationEasings(), "easing");
        if (m.attribute("effect")) {
            if (m.plainText) trigger(m.text);
        } else if (effects_[index]) {
            TextRange at;
            fixedAttribute(m, "type", at);
            if (m.attribute("type")) trigger(at);
        } else if (!others_[index]) {
            add("invalid-animation", nameOf(m), "an animation needs an effect attribute or <effect> elements");
        }
    }

    const SkinModel& model_;
    const SkinFile& f_;
    std::vector<VocabularyFinding>& out_;
    std::vector<std::size_t> legacyType_;  // a control's <type> child
    std::vector<bool> effects_;            // an animation holds <effect> elements
    std::vector<bool> others_;             // an animation holds other elements (an include call ...)
};

}  // namespace

void CheckVocabulary(const SkinModel& model, const SkinFile& file, std::vector<VocabularyFinding>& out) {
    if (file.role != FileRole::Window && file.role != FileRole::Includes) return;
    Checker(model, file, out).run();
}

}  // namespace skin
