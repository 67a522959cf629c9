// The control element under the caret: finding it in the document from its
// tags, reading it, and working out the smallest change to the document that
// gives one of its child elements (or its type) a new value.
//
// Everything here works on the bytes the document holds, in the document's own
// code page and with its own line ends, so that an edit can be limited to the
// characters of the element being edited.
#pragma once

#include "editor/Document.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace controls {

using Position = editor::Position;
using ControlDocument = editor::Document;

// Deeper than any real skin nests, shallow enough for any stack.
constexpr int kMaxNesting = 256;

struct BlockLines {
    Position start = -1;
    Position end = -1;
    bool found() const { return start >= 0 && end >= start; }
    bool operator==(const BlockLines& o) const { return start == o.start && end == o.end; }
    bool operator!=(const BlockLines& o) const { return !(*this == o); }
};

// A control element as the document holds it.
struct ControlBlock {
    BlockLines lines;     // the start tag's line to the closing tag's line
    Position begin = -1;  // the start tag's '<'
    Position end = -1;    // one past the last '>' of the element
    bool found() const { return lines.found(); }
};

// The innermost control element whose start tag begins on or before
// `caretLine` and whose end tag ends on or after it. A self-closing control is
// an element of its own; nested controls are matched with their own end tags;
// comments, CDATA sections, processing instructions and quoted attribute
// values hide what they hold; the name "control" is matched without regard to
// ASCII case. The lines are read outward from the caret, only as far as the
// structure around it needs. Nothing found: lines {-1, -1}.
ControlBlock findControl(const ControlDocument& doc, Position caretLine);

// The same search, remembering between searches of one document the places
// found to lie outside every control, so that a line between controls is not
// paid for with every line above it each time. What the finder is told
// changed is forgotten from there on; a place that no longer holds the '<' it
// was learnt at makes it forget everything. What it remembers can only end a
// search early with "no control", never name a control.
class ControlFinder {
public:
    ControlBlock find(const ControlDocument& doc, Position caretLine);
    // The document's text changed at and after `position`.
    void changedFrom(Position position);
    void forget();

    // A '<' taken for text, and how far the text was read to say so.
    struct Doubtful {
        Position begin = 0;
        Position reach = 0;
    };

private:
    std::uintptr_t document_ = 0;
    Position length_ = -1;            // of the text when last searched
    bool told_ = false;               // of a change since
    std::vector<Position> outside_;   // sorted: '<' of markup that no control encloses
    std::vector<Doubtful> doubtful_;  // met on the ways up that taught those places
};

inline BlockLines findBlock(const ControlDocument& doc, Position caretLine) {
    return findControl(doc, caretLine).lines;
}

// A block's lines as the document holds them, and where its element lies in them.
struct BlockText {
    std::string bytes;             // from the start of the first line to the end of the last, line ends inside included
    std::size_t elementBegin = 0;  // offsets of the element in `bytes`
    std::size_t elementEnd = 0;
    std::string indent;   // blanks that open the element's first line
    std::string lineEnd;  // the document's line end as the block's surroundings use it
    std::string_view element() const { return std::string_view(bytes).substr(elementBegin, elementEnd - elementBegin); }
    bool operator==(const BlockText& o) const {
        return bytes == o.bytes && elementBegin == o.elementBegin && elementEnd == o.elementEnd;
    }
};

BlockText readBlock(const ControlDocument& doc, const ControlBlock& block);

// An element as it stands in a text: offsets into that text.
struct ElementSpan {
    std::string name;
    std::size_t begin = 0;       // its '<'
    std::size_t startEnd = 0;    // one past the '>' of its start tag
    std::size_t closeBegin = 0;  // the '<' of its end tag (== end when self-closing)
    std::size_t end = 0;         // one past its last '>'
    bool selfClosing = false;
    std::vector<ElementSpan> children;  // child elements only, in order
};

// The first top-level "control" element of a text with its child elements,
// found by scanning the text itself (comments, CDATA sections, quoted attribute
// values and nesting respected). Empty when the text is not well enough formed
// to say where the element and its children begin and end.
std::optional<ElementSpan> locateControl(std::string_view text);

// Whether no element of the text lies deeper than `limit` levels. The XML
// parser descends one call per level, so a hostile block nested thousands deep
// would exhaust the editor's stack; such a block is never handed to it.
bool nestingWithin(std::string_view text, int limit = kMaxNesting);

// One change to the element's text.
struct BlockEdit {
    enum class Kind { None, Replace, Insert };
    Kind kind = Kind::None;
    std::size_t from = 0;  // offsets into the element's text: the bytes replaced (none for Insert)
    std::size_t to = 0;
    std::string text;    // the bytes to put there
    int linesAdded = 0;  // how the block's line count changes
    // Insert before an end tag that has a line of its own: the new line takes
    // the indentation of the line above it, which only the editor can measure
    // (tabs count as the editor's tab width). Its element line, then, and
    // where in `text` the blanks go.
    bool needsIndentation = false;
    std::size_t lineAbove = 0;
    std::size_t indentAt = 0;
};

// What the document should look like around the element, for new lines.
struct BlockStyle {
    std::string indent;   // the blanks before the element's start tag
    std::string lineEnd;  // the document's line end
};

// Plans giving the first child element named `tag` the printed form
// `printed`. Its own span is replaced when it exists. Otherwise a new line
// holding `printed` goes before the control's end tag: after the line end of
// the line above when the end tag has a line of its own; else the end tag is
// moved onto a line of its own, indented as the start tag, and a self-closing
// control is opened to hold the new element. `parsedChildren` are the names of
// the control's child elements as the XML parser saw the same text; when the
// text scan disagrees with them the plan is None.
BlockEdit planTagEdit(std::string_view element, const std::vector<std::string>& parsedChildren, const std::string& tag,
                      const std::string& printed, const BlockStyle& style);

// Where the value of the start tag's attribute `name` (matched exactly) lies,
// between its quotes.
struct AttributeSpan {
    std::size_t from = 0;
    std::size_t to = 0;
    char quote = '"';
};
std::optional<AttributeSpan> findAttribute(std::string_view element, std::string_view name);

// Plans giving the control's "type" attribute the value `value` (escaped here
// for the quotes the attribute already uses). None when the start tag has no
// such attribute.
BlockEdit planTypeEdit(std::string_view element, const std::string& value);

// Completes an Insert plan that needs the indentation of its line above
// (spaces, one per column).
void setInsertIndentation(BlockEdit& edit, int columns);

// Zero-based line of an offset in a text (CR LF, LF and CR each end a line).
std::size_t lineOfOffset(std::string_view text, std::size_t offset);

// Line breaks in a text (CR LF counted once).
int countLineBreaks(std::string_view text);

// ASCII letters folded to lower case, other bytes as they are.
std::string lowerAscii(std::string_view text);

}  // namespace controls
