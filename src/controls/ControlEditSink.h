// Seams between the controls panel and the code that ties it to the document
// and to the skin's own names. The panel owns none of the objects behind them;
// each is optional and defaults to doing nothing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Receives every edit the user makes in an attribute row (not the ones the
// panel makes itself while it rebuilds the rows).
class ControlEditSink {
public:
    virtual ~ControlEditSink() = default;
    virtual void tagEdited(const std::wstring& tag, const std::wstring& value) = 0;
};

// Follows the editor: called by the panel's caretMoved() (after it has
// refreshed its shown flag) and bufferActivated() hooks, and told when the
// user picks a type in the type list.
class CaretHandler {
public:
    virtual ~CaretHandler() = default;
    virtual void caretMoved() = 0;
    virtual void bufferActivated() {}
    virtual void typeChosen() {}
    // The text of a document changed at and after `position`.
    virtual void documentChanged(std::ptrdiff_t /*position*/) {}
};

namespace skin::vocab {
struct Element;
}

// What kind of editor a tag's row gets: text, or a drop-down of the skin's
// images, includes, fonts or colours, or of the values the element takes.
enum class RowKind { Text, ImageDropDown, IncludeDropDown, ValueDropDown, FontDropDown, ColourDropDown };

struct RowChoice {
    RowKind kind = RowKind::Text;
    std::vector<std::wstring> options;  // entries of a drop-down row, in order
};

// Decides the row kind of each tag while the rows are rebuilt and is told when
// the user picks or types a value in a drop-down row (before the edit sink).
class RowChoiceSource {
public:
    virtual ~RowChoiceSource() = default;
    // The rows are about to be built again, one rowFor each.
    virtual void rowsStarting() {}
    // `element`: what the vocabulary says of the tag in the row's type, or null.
    virtual RowChoice rowFor(const std::wstring& tag, const skin::vocab::Element* element) = 0;
    virtual void choiceMade(const std::wstring& /*tag*/, const std::wstring& /*value*/) {}
    // A document became active in the editor.
    virtual void documentActivated() {}
};

namespace controls {
// The row kind a tag gets when offering image names and include names is on
// as given: tags containing "texture" take images first, then tags containing
// "include" take include names; then an enumeration or a boolean takes its
// values, a font the skin's fonts and a colour its colours; everything else is
// a text row.
RowKind rowKindFor(const std::wstring& tag, const skin::vocab::Element* element, bool offerImages,
                   bool offerIncludes);
// The row an element gets from the vocabulary alone: a drop-down of the
// values of its enumeration or of a boolean, else a text row.
RowChoice valueChoice(const skin::vocab::Element* element);
}  // namespace controls
