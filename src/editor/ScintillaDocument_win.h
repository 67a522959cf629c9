// The editing view the panels address, seen as a document of byte lines. Every
// call goes to the view recorded as current at that moment.
#pragma once

#include "editor/Document.h"

namespace editor {

class ScintillaDocument : public editor::Document {
public:
    std::uintptr_t identity() const override;
    Position caretLine() const override;
    Position lineCount() const override;
    Position lineStart(Position line) const override;
    Position lineEnd(Position line) const override;
    std::string text(Position from, Position to) const override;
    int lineIndentation(Position line) const override;
    unsigned codePage() const override;
    void replace(Position from, Position to, const std::string& bytes) override;
    void insert(Position at, const std::string& bytes) override;
};

}  // namespace editor
