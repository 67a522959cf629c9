// The control block under the caret: finding it in the document by its key
// strings, cutting it out, and working out the smallest change to the
// document that gives one of its child elements a new value.
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

// The lines of the control whose start tag stands on or above `caretLine`, by
// scanning whole lines for "control" with "type=" upwards and for a closing
// "</control>" or "/>" downwards (ASCII letters compared without case).
// {-1, -1} when the caret is not inside a control.
BlockLines findBlock(const ControlDocument& doc, Position caretLine);

// When the block holds both a "/>" and a "</control>", everything after the
// first of them belongs to something else and is cut off.
std::string cutBlock(std::string block);

// The bytes from the start of the start line to the end of the end line, cut.
std::string readBlock(const ControlDocument& doc, BlockLines lines);

// An element as it stands in the block text: offsets into that text.
struct ElementSpan {
    std::string name;
    std::size_t begin = 0;       // its '<'
    std::size_t closeBegin = 0;  // the '<' of its end tag (== end when self-closing)
    std::size_t end = 0;         // one past its last '>'
    bool selfClosing = false;
    std::vector<ElementSpan> children;  // child elements only, in order
};

// The first top-level "control" element of the block with its child elements,
// found by scanning the text itself (comments, CDATA sections, quoted attribute
// values and nesting respected). Empty when the text is not well enough formed
// to say where the element and its children begin and end.
std::optional<ElementSpan> locateControl(std::string_view block);

// Whether no element of the text lies deeper than `limit` levels. The XML
// parser descends one call per level, so a hostile block nested thousands deep
// would exhaust the editor's stack; such a block is never handed to it.
bool nestingWithin(std::string_view block, int limit = kMaxNesting);

// One change to the block text.
struct BlockEdit {
    enum class Kind { None, Replace, Insert };
    Kind kind = Kind::None;
    std::size_t from = 0;  // Replace: the element's span; Insert: the end of the line above the new one
    std::size_t to = 0;
    std::string text;      // the bytes to put there (Insert: the line end first, then the new line)
    int linesAdded = 0;    // how the block's line count changes
    std::size_t lineAbove = 0;  // Insert: block line whose indentation the new line takes
};

// Plans giving the first child element named `tag` the printed form
// `printed`: its own span is replaced when it exists; otherwise a new line
// holding `printed` and the line end of the line above it is planned before
// the line of the control's end tag (its indentation is added by
// setInsertIndentation). `parsedChildren` are the names of the control's child
// elements as the XML parser saw the same block; when the text scan disagrees
// with them, or the new line has no line of its own to go before, the plan is
// None.
BlockEdit planTagEdit(std::string_view block, const std::vector<std::string>& parsedChildren,
                      const std::string& tag, const std::string& printed);

// Completes an Insert plan with the indentation of the new line (spaces, one
// per column).
void setInsertIndentation(BlockEdit& edit, int columns);

// Zero-based line of an offset in the block text (CR LF, LF and CR each end a line).
std::size_t lineOfOffset(std::string_view block, std::size_t offset);

// Line breaks in a text (CR LF counted once).
int countLineBreaks(std::string_view text);

// ASCII letters folded to lower case, other bytes as they are.
std::string lowerAscii(std::string_view text);

}  // namespace controls
