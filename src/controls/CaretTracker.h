// Ties the controls panel to the document: follows the caret into the control
// under it, loads that control's values into the catalogue, and writes every
// edit of a row back into the document, changing only the edited element.
// Whatever it cannot do as asked it says in the panel's status line.
#pragma once

#include "controls/ControlBlock.h"
#include "controls/ControlCatalogue.h"
#include "controls/ControlEditSink.h"

#include <cstdint>
#include <string>

class TiXmlDocument;

namespace controls {

// What the tracker needs from the panel it serves.
class CaretPanel {
public:
    virtual ~CaretPanel() = default;
    virtual bool panelShown() const = 0;
    virtual ControlCatalogue& catalogue() = 0;
    // Rebuilds the rows of `type` from its template, even when that type is
    // the one already shown (its values have just been reloaded). Asked for
    // while a row reports an edit, the rebuild may come after that report.
    virtual void showControlType(const std::wstring& type) = 0;
    // One short sentence at the foot of the panel; empty clears it.
    virtual void showStatus(const std::wstring& text) = 0;
};

class CaretTracker : public CaretHandler, public ControlEditSink {
public:
    // Both must outlive the tracker.
    CaretTracker(CaretPanel& panel, ControlDocument& document);

    // The folder the scratch file "tempcontrol.xml" is kept in.
    void setScratchFolder(const std::wstring& folder) { scratchFolder_ = folder; }
    std::wstring scratchPath() const;

    // CaretHandler
    void caretMoved() override { checkCaret(); }
    // The control belongs to the document it was read from; another document
    // now shows, so it is dropped and the next caret update looks afresh.
    void bufferActivated() override;
    // The user chose a type in the list: the rows no longer show the control
    // of the document, so their edits stay in the panel.
    void typeChosen() override;
    // The document's text changed at and after `position`.
    void documentChanged(std::ptrdiff_t position) override { finder_.changedFrom(position); }

    // ControlEditSink
    void tagEdited(const std::wstring& tag, const std::wstring& value) override { writeBack(tag, value); }

    void checkCaret();
    void writeBack(const std::wstring& tag, const std::wstring& value);

    // The control the rows show, as last read from or written to the document.
    BlockLines lines() const { return loaded_.block.lines; }
    const std::wstring& blockText() const { return blockText_; }
    bool writingBack() const { return writingBack_; }
    Position lastCaretLine() const { return lastCaretLine_; }

private:
    // The control the rows show.
    struct Loaded {
        bool valid = false;
        ControlBlock block;
        BlockText text;
        std::uintptr_t document = 0;
        unsigned codePage = 0;
        std::wstring type;  // its type attribute as the document now spells it
    };

    bool parseThroughScratch(std::string_view element, unsigned codePage, TiXmlDocument& xml) const;
    // Parses the control and, when its type is listed, loads its values and
    // has the rows rebuilt. Returns what the status line should say.
    std::wstring load(const ControlBlock& block, BlockText text);
    bool isLoadedControl(const ControlBlock& now, const std::wstring& type) const;
    void remember(const ControlBlock& block, BlockText text);
    // The edit could not be written as typed: the rows go back to what the
    // document holds and the status line says why.
    void refuse(const std::wstring& why);
    void forget();

    CaretPanel& panel_;
    ControlDocument& document_;
    std::wstring scratchFolder_;

    // Follows the caret; remembers where controls are not between caret moves.
    ControlFinder finder_;
    Loaded loaded_;
    std::wstring rowsType_;   // the type whose rows were last built from the document
    std::wstring blockText_;  // the loaded block's lines, widened
    // The control last found under the caret and what the status line said
    // about it, so moves within it say it again without reading it again.
    BlockLines seenLines_;
    BlockText seenText_;
    std::uintptr_t seenDocument_ = 0;
    std::wstring seenStatus_;
    Position lastCaretLine_ = 0;
    bool writingBack_ = false;
};

}  // namespace controls
