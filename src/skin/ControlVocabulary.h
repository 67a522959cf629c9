// What today's media center reads in a window file: control types, their
// elements and value kinds, enumerations, animations, texture attributes,
// legacy aliases and removed types. Constant tables (generated at build time
// from skin/vocabulary/control-vocabulary.json); every lookup is over flat
// arrays and allocates nothing. Names are matched with ASCII letters folded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace skin::vocab {

enum class ValueKind : std::uint8_t {
    Position, Dimension, Number, Integer, Boolean, Condition, BooleanOrCondition,
    Action, Navigation, Label, Info, Font, Colour, Texture, Path, TimeMs,
    ControlId, Rect, Range, String, Container, Empty, Enum
};

enum Flag : std::uint8_t {
    Legacy = 1,      // an older form, still read
    Ignored = 2,     // read or documented, but without effect
    Recent = 4,      // read only by the newest releases
    Unverified = 8,  // documented; that it is read is not confirmed
    Repeatable = 16  // may appear more than once
};

// A run of constant items.
template <typename T>
struct Items {
    const T* first = nullptr;
    std::size_t count = 0;
    const T* begin() const { return first; }
    const T* end() const { return first + count; }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
};

struct Enumeration {
    std::string_view name;            // "align", "aligny", ...
    Items<std::string_view> values;   // as written in skins
};

struct Element {
    std::string_view name;
    ValueKind kind;
    const Enumeration* enumeration;   // for ValueKind::Enum, else nullptr
    std::uint8_t flags;               // Flag bits
    Items<std::string_view> attributes;
    std::string_view doc;             // a developer's note; not shown as is
    bool has(Flag f) const { return (flags & f) != 0; }
};

struct ControlType {
    std::string_view name;
    bool focusable;
    bool container;                   // holds items (lists, panels, ...)
    bool recent;
    Items<Element> elements;          // its own, beside the common ones
    std::string_view doc;
};

struct RemovedType {
    std::string_view name;
    std::string_view replacement;     // a note on what replaces it
};

struct LegacyAlias {
    std::string_view legacy;          // "posx"
    std::string_view modern;          // "left"
};

// Which set an element of a control was found in.
enum class ElementOrigin : std::uint8_t { Own, Focusable, Common };

struct ElementMatch {
    const Element* element = nullptr;
    ElementOrigin origin = ElementOrigin::Own;
    explicit operator bool() const { return element != nullptr; }
};

bool equalsFolded(std::string_view a, std::string_view b);

Items<ControlType> controlTypes();
const ControlType* findType(std::string_view name);
const RemovedType* findRemovedType(std::string_view name);

Items<Element> commonElements();
Items<Element> focusableElements();
// An element a control of this type reads: its own, then the focusable ones
// (where the type takes focus), then the common ones. A legacy alias is found
// under its own name (it is listed, flagged Legacy).
ElementMatch findElement(const ControlType& type, std::string_view element);

Items<Enumeration> enumerations();
const Enumeration* findEnumeration(std::string_view name);
bool enumerationHolds(const Enumeration& e, std::string_view value);  // folded

Items<LegacyAlias> legacyAliases();
std::string_view modernNameOf(std::string_view legacy);  // empty when not an alias
std::string_view legacyNameOf(std::string_view modern);  // empty when none

// The <window> element's own children and attributes, and the children of
// its <coordinates>.
Items<Element> windowElements();
const Element* findWindowElement(std::string_view name);
Items<std::string_view> windowAttributes();
Items<Element> coordinatesElements();

// Animations: effect names, trigger names (matched without case), the
// attributes of <animation> and <effect>, tweens and easings.
Items<std::string_view> animationEffects();
Items<std::string_view> animationTriggers();
Items<std::string_view> animationAttributes();
Items<std::string_view> effectAttributes();
Items<std::string_view> animationTweens();
Items<std::string_view> animationEasings();
// A trigger today's release reads: letter case ignored, and any name that
// begins with "Visible" is read as Visible.
bool isAnimationTrigger(std::string_view name);
// Whether a name is in a list, letter case ignored.
bool holdsFolded(Items<std::string_view> names, std::string_view name);

// Attributes an image element's tag may carry (border, diffuse, ...).
Items<std::string_view> textureAttributes();

// Lists' and panels' item layouts ("itemlayout", "focusedlayout", ...), and
// the static <content> element's names.
Items<std::string_view> itemLayoutElements();
Items<std::string_view> itemLayoutAttributes();
bool isItemLayout(std::string_view name);
Items<std::string_view> contentAttributes();
Items<Element> contentItemElements();

// An include call's attributes (content, condition, file) and children
// (<param>), and the elements of an includes file.
Items<std::string_view> includeAttributes();
Items<Element> includeChildren();
Items<Element> includesFileElements();

std::string_view kindName(ValueKind k);  // "position", "enum", ...

}  // namespace skin::vocab
