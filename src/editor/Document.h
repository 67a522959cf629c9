// The editing view as the logic above the editor sees it: lines of bytes, in
// the document's own code page and with its own line ends. Portable; the
// Scintilla implementation is the editor seam's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace editor {

using Position = std::ptrdiff_t;

// Line numbers and positions are zero-based; a line's end position is before its line end.
class Document {
public:
    virtual ~Document() = default;

    // Tells documents apart: changes when another document is shown.
    virtual std::uintptr_t identity() const = 0;
    virtual Position caretLine() const = 0;
    virtual Position lineCount() const = 0;
    virtual Position lineStart(Position line) const = 0;
    virtual Position lineEnd(Position line) const = 0;
    virtual std::string text(Position from, Position to) const = 0;
    // Indentation of a line in columns (tabs expanded).
    virtual int lineIndentation(Position line) const = 0;
    // 65001 for UTF-8 documents, 0 for the ANSI code page, or a DBCS code page.
    virtual unsigned codePage() const = 0;

    virtual void replace(Position from, Position to, const std::string& bytes) = 0;
    virtual void insert(Position at, const std::string& bytes) = 0;
};

}  // namespace editor
