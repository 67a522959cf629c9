// Places in a document's text as the protocol names them: a zero-based line
// and a character offset counted in UTF-16 code units, while the text itself
// is kept as UTF-8 bytes. A character outside the basic plane is two units
// (a surrogate pair) and four bytes. Lines end at "\r\n", "\n" or "\r".
#pragma once

#include <cstddef>
#include <string_view>

namespace lsp {

struct Position {
    std::size_t line = 0;
    std::size_t character = 0;  // UTF-16 code units from the line's start
    bool operator==(const Position& other) const { return line == other.line && character == other.character; }
};

struct Range {
    Position start;
    Position end;
    bool operator==(const Range& other) const { return start == other.start && end == other.end; }
};

// The byte offset of a position. A line past the last one means the text's
// end; a character past the line's end means the line's end (before its
// break); a character between the two halves of a surrogate pair means the
// start of that character. Bytes that are no UTF-8 count as one unit each.
std::size_t offsetOf(std::string_view text, Position position);

// The position of a byte offset (clamped to the text's end; an offset inside
// a character means that character's start).
Position positionOf(std::string_view text, std::size_t offset);

// UTF-16 code units of a run of UTF-8 text.
std::size_t utf16Length(std::string_view text);

}  // namespace lsp
