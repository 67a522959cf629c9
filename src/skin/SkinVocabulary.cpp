// The skin's element and attribute names that take one kind of value: from
// today's control vocabulary where it says so, and the few it files under
// another kind (a time, a rect) that take a constant too.
#include "skin/SkinVocabulary.h"

#include "skin/ControlVocabulary.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace skin {

namespace {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

template <typename Kinds>
void collect(vocab::Items<vocab::Element> elements, Kinds wanted, std::vector<std::string_view>& out) {
    for (const vocab::Element& e : elements) {
        if (wanted(e.kind)) out.push_back(e.name);
    }
}

// The names of the elements (in any control, the window or a list item)
// whose value is of a wanted kind, sorted, without repeats.
std::vector<std::string_view> namesOf(bool (*wanted)(vocab::ValueKind)) {
    std::vector<std::string_view> out;
    collect(vocab::commonElements(), wanted, out);
    collect(vocab::focusableElements(), wanted, out);
    collect(vocab::windowElements(), wanted, out);
    collect(vocab::contentItemElements(), wanted, out);
    for (const vocab::ControlType& t : vocab::controlTypes()) collect(t.elements, wanted, out);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

bool holds(const std::vector<std::string_view>& sorted, std::string_view name) {
    return std::binary_search(sorted.begin(), sorted.end(), name);
}

}  // namespace

bool isNumericElement(std::string_view e) {
    static const std::vector<std::string_view> numeric = namesOf([](vocab::ValueKind k) {
        return k == vocab::ValueKind::Position || k == vocab::ValueKind::Dimension || k == vocab::ValueKind::Number;
    });
    return holds(numeric, e) || oneOf(e, {"bordersize", "timeperimage", "fadetime", "pauseatend", "movement", "focusposition"});
}

bool isNumericAttribute(std::string_view a) {
    return oneOf(a, {"x", "y", "w", "h", "width", "height", "center", "min", "max", "time", "delay", "start", "end",
                     "acceleration", "border", "repeat"});
}

bool isColourElement(std::string_view e) {
    static const std::vector<std::string_view> colours =
        namesOf([](vocab::ValueKind k) { return k == vocab::ValueKind::Colour; });
    return holds(colours, e);
}

bool isImageElement(std::string_view e) {
    static const std::vector<std::string_view> images =
        namesOf([](vocab::ValueKind k) { return k == vocab::ValueKind::Texture; });
    return holds(images, e);
}

bool isLabelElement(std::string_view e) { return oneOf(e, {"label", "label2", "altlabel", "hinttext"}); }

bool isStringAttribute(std::string_view element, std::string_view a) {
    // <viewtype label="31099">; <label fallback="31001">.
    return a == "label" || (a == "fallback" && isLabelElement(element));
}

}  // namespace skin
