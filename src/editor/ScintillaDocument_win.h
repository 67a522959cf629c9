// The editing view the panels address, seen as a document of byte lines. Every
// call goes to the view the editor seam records as current at that moment, or
// to the view named with useView().
#pragma once

#include "editor/Document.h"

#include <windows.h>

namespace editor {

class NppEditor;

class ScintillaDocument : public editor::Document {
public:
    explicit ScintillaDocument(const NppEditor& editor) : editor_(editor) {}

    // Addresses one view from now on (null: the recorded view again). Asked
    // of the editor just before a read or a write, it is the view that holds
    // the caret at that moment.
    void useView(HWND view) { view_ = view; }

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

private:
    HWND view() const;
    std::intptr_t send(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) const;

    const NppEditor& editor_;
    HWND view_ = nullptr;
};

}  // namespace editor
