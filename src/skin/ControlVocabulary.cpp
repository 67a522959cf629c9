#include "skin/ControlVocabulary.h"

#include "skin/ControlVocabularyTables.h"

namespace skin::vocab {
namespace {

constexpr char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <typename T, typename Name>
const T* findByName(Items<T> items, std::string_view name, Name nameOf) {
    for (const T& item : items) {
        if (equalsFolded(nameOf(item), name)) return &item;
    }
    return nullptr;
}

const Element* findIn(Items<Element> elements, std::string_view name) {
    return findByName(elements, name, [](const Element& e) { return e.name; });
}

}  // namespace

bool equalsFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

bool holdsFolded(Items<std::string_view> names, std::string_view name) {
    for (std::string_view n : names) {
        if (equalsFolded(n, name)) return true;
    }
    return false;
}

Items<ControlType> controlTypes() { return tables::types; }

const ControlType* findType(std::string_view name) {
    return findByName(tables::types, name, [](const ControlType& t) { return t.name; });
}

const RemovedType* findRemovedType(std::string_view name) {
    return findByName(tables::removedTypes, name, [](const RemovedType& t) { return t.name; });
}

Items<Element> commonElements() { return tables::common; }
Items<Element> focusableElements() { return tables::focusable; }

ElementMatch findElement(const ControlType& type, std::string_view element) {
    if (const Element* e = findIn(type.elements, element)) return {e, ElementOrigin::Own};
    if (type.focusable) {
        if (const Element* e = findIn(tables::focusable, element)) return {e, ElementOrigin::Focusable};
    }
    if (const Element* e = findIn(tables::common, element)) return {e, ElementOrigin::Common};
    return {};
}

Items<Enumeration> enumerations() { return tables::enumerations; }

const Enumeration* findEnumeration(std::string_view name) {
    return findByName(tables::enumerations, name, [](const Enumeration& e) { return e.name; });
}

bool enumerationHolds(const Enumeration& e, std::string_view value) { return holdsFolded(e.values, value); }

Items<LegacyAlias> legacyAliases() { return tables::aliases; }

std::string_view modernNameOf(std::string_view legacy) {
    const LegacyAlias* a = findByName(tables::aliases, legacy, [](const LegacyAlias& x) { return x.legacy; });
    return a ? a->modern : std::string_view();
}

std::string_view legacyNameOf(std::string_view modern) {
    const LegacyAlias* a = findByName(tables::aliases, modern, [](const LegacyAlias& x) { return x.modern; });
    return a ? a->legacy : std::string_view();
}

Items<Element> windowElements() { return tables::window; }
const Element* findWindowElement(std::string_view name) { return findIn(tables::window, name); }
Items<std::string_view> windowAttributes() { return tables::windowAttributes; }
Items<Element> coordinatesElements() { return tables::coordinates; }

Items<std::string_view> animationEffects() { return tables::animationEffects; }
Items<std::string_view> animationTriggers() { return tables::animationTriggers; }
Items<std::string_view> animationAttributes() { return tables::animationAttributes; }
Items<std::string_view> effectAttributes() { return tables::effectAttributes; }
Items<std::string_view> animationTweens() { return tables::animationTweens; }
Items<std::string_view> animationEasings() { return tables::animationEasings; }

bool isAnimationTrigger(std::string_view name) {
    constexpr std::string_view visible = "visible";
    if (name.size() >= visible.size() && equalsFolded(name.substr(0, visible.size()), visible)) return true;
    return holdsFolded(tables::animationTriggers, name);
}

Items<std::string_view> textureAttributes() { return tables::textureAttributes; }

Items<std::string_view> itemLayoutElements() { return tables::itemLayouts; }
Items<std::string_view> itemLayoutAttributes() { return tables::itemLayoutAttributes; }
bool isItemLayout(std::string_view name) { return holdsFolded(tables::itemLayouts, name); }
Items<std::string_view> contentAttributes() { return tables::contentAttributes; }
Items<Element> contentItemElements() { return tables::contentItems; }

Items<std::string_view> includeAttributes() { return tables::includeAttributes; }
Items<Element> includeChildren() { return tables::includeChildren; }
Items<Element> includesFileElements() { return tables::includesFileElements; }

std::string_view kindName(ValueKind k) {
    switch (k) {
        case ValueKind::Position: return "position";
        case ValueKind::Dimension: return "dimension";
        case ValueKind::Number: return "number";
        case ValueKind::Integer: return "integer";
        case ValueKind::Boolean: return "boolean";
        case ValueKind::Condition: return "condition";
        case ValueKind::BooleanOrCondition: return "boolean-or-condition";
        case ValueKind::Action: return "action";
        case ValueKind::Navigation: return "navigation";
        case ValueKind::Label: return "label";
        case ValueKind::Info: return "info";
        case ValueKind::Font: return "font";
        case ValueKind::Colour: return "colour";
        case ValueKind::Texture: return "texture";
        case ValueKind::Path: return "path";
        case ValueKind::TimeMs: return "time-ms";
        case ValueKind::ControlId: return "control-id";
        case ValueKind::Rect: return "rect";
        case ValueKind::Range: return "range";
        case ValueKind::String: return "string";
        case ValueKind::Container: return "container";
        case ValueKind::Empty: return "empty";
        case ValueKind::Enum: return "enum";
    }
    return "";
}

}  // namespace skin::vocab
