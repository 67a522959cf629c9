// Ties the controls panel to the document: follows the caret into the control
// under it, loads that control's values into the catalogue, and writes every
// edit of a row back into the document, changing only the edited element.
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
    // the one already shown (its values have just been reloaded).
    virtual void showControlType(const std::wstring& type) = 0;
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
    // The block belongs to the document it was read from; another document
    // now shows, so it is dropped and the next caret update looks afresh.
    void bufferActivated() override;

    // ControlEditSink
    void tagEdited(const std::wstring& tag, const std::wstring& value) override { writeBack(tag, value); }

    void checkCaret();
    // Parses a block (bytes in `codePage`) and loads its values into the
    // template of its type; the panel then shows that type.
    void loadControl(const std::string& block, unsigned codePage);
    // The change to `block` that gives the control's `tag` child `value`
    // (Kind::None when the block cannot be parsed, its type is unknown, or the
    // element cannot be located in the block text with certainty).
    BlockEdit updateTag(const std::string& block, unsigned codePage, const std::wstring& tag,
                        const std::wstring& value);
    void writeBack(const std::wstring& tag, const std::wstring& value);

    BlockLines lines() const { return lines_; }
    const std::wstring& blockText() const { return blockText_; }
    bool writingBack() const { return writingBack_; }
    Position lastCaretLine() const { return lastCaretLine_; }

private:
    bool parseThroughScratch(const std::string& block, unsigned codePage, TiXmlDocument& xml) const;
    // The stored block still is what the document holds at its lines.
    bool blockIsCurrent() const;
    void storeBlock(BlockLines lines, std::string bytes);
    void dropBlock();

    CaretPanel& panel_;
    ControlDocument& document_;
    std::wstring scratchFolder_;

    BlockLines lines_;
    std::string blockBytes_;   // as the document holds it, in its code page
    std::wstring blockText_;
    std::uintptr_t documentId_ = 0;
    unsigned codePage_ = 0;
    Position lastCaretLine_ = 0;
    bool writingBack_ = false;
};

}  // namespace controls
