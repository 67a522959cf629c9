#include "controls/CaretTracker.h"

#include "base/FileAccess.h"
#include "base/TextCodec.h"
#include "controls/ControlEdit.h"

#include <tinyxml.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace controls {

namespace {

constexpr const wchar_t* kScratchName = L"tempcontrol.xml";

// The configuration folder may hold any character: the file is opened by its
// UTF-16 path. It is opened for update (created when missing) rather than
// truncated on opening: some file systems flush a file that is emptied and
// written again to disk at once, which would cost milliseconds on every caret
// move into a control.
files::FilePtr openForUpdate(const std::wstring& path) {
    files::FilePtr file = files::open(path, "r+b");
    return file ? std::move(file) : files::open(path, "w+b");
}

TiXmlEncoding encodingFor(unsigned codePage) {
    return codePage == text::kCodePageUtf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
}

const wchar_t* const kNoControl = L"The caret is not inside a control; the edit was not written.";
const wchar_t* const kControlChanged =
    L"The control under the caret has changed; the rows were read again and the edit was not written.";

std::wstring quoted(const std::wstring& name) { return L"\"" + name + L"\""; }

}  // namespace

CaretTracker::CaretTracker(CaretPanel& panel, ControlDocument& document) : panel_(panel), document_(document) {}

std::wstring CaretTracker::scratchPath() const {
    if (scratchFolder_.empty()) return {};
    return scratchFolder_ + files::separator() + kScratchName;
}

bool CaretTracker::parseThroughScratch(std::string_view element, unsigned codePage, TiXmlDocument& xml) const {
    const std::wstring path = scratchPath();
    if (path.empty() || !nestingWithin(element)) return false;
    files::FilePtr file = openForUpdate(path);
    if (!file) return false;
    if (!element.empty() && std::fwrite(element.data(), 1, element.size(), file.get()) != element.size()) return false;
    if (std::fflush(file.get()) != 0 || !files::truncate(file.get(), element.size())) return false;
    // Read back what the file now holds, from its start.
    return xml.LoadFile(file.get(), encodingFor(codePage));
}

void CaretTracker::checkCaret() {
    if (!panel_.panelShown()) return;
    if (writingBack_) {
        // The caret update raised by our own replacement: the block is current.
        writingBack_ = false;
        return;
    }
    const Position caret = document_.caretLine();
    if (caret == lastCaretLine_) {
        // A move within the line: what the status line said about an edit is
        // over; what it says about the control under the caret stays.
        panel_.showStatus(seenLines_.found() ? seenStatus_ : std::wstring());
        return;
    }
    lastCaretLine_ = caret;

    const ControlBlock found = finder_.find(document_, caret);
    if (!found.found()) {
        // Between controls: the rows stay as they are.
        seenLines_ = BlockLines{};
        panel_.showStatus(L"");
        return;
    }
    BlockText text = readBlock(document_, found);
    const std::uintptr_t document = document_.identity();
    if (found.lines == seenLines_ && document == seenDocument_ && text == seenText_) {
        // Still the control looked at last, unchanged: nothing to read again.
        panel_.showStatus(seenStatus_);
        return;
    }
    seenLines_ = found.lines;
    seenText_ = text;
    seenDocument_ = document;
    seenStatus_ = load(found, std::move(text));
    panel_.showStatus(seenStatus_);
}

std::wstring CaretTracker::load(const ControlBlock& block, BlockText text) {
    const unsigned codePage = document_.codePage();
    TiXmlDocument xml;
    if (scratchPath().empty()) return L"The panel has no folder for its scratch file; the rows are unchanged.";
    if (!parseThroughScratch(text.element(), codePage, xml)) {
        return L"This control is not well-formed XML; the rows are unchanged.";
    }
    const TiXmlElement* control = xml.FirstChildElement("control");
    if (!control) return L"Only elements named \"control\" in lower case can be read; the rows are unchanged.";
    const std::wstring type = typeOf(*control, codePage);
    ControlCatalogue& catalogue = panel_.catalogue();
    if (type.empty()) return L"This control names no type; the rows are unchanged.";
    const bool listed = catalogue.lists(type);

    std::vector<TagValue> children;
    for (const TiXmlElement* child = control->FirstChildElement(); child; child = child->NextSiblingElement()) {
        // Only text is a row's value; an element holding elements shows none.
        const TiXmlNode* first = child->FirstChild();
        const bool text = first != nullptr && first->Type() == TiXmlNode::TINYXML_TEXT;
        children.emplace_back(text::fromCodePage(child->ValueStr(), codePage),
                              text ? text::fromCodePage(first->ValueStr(), codePage) : std::wstring());
    }
    catalogue.load(type, children);
    remember(block, std::move(text));
    loaded_.type = type;
    rowsType_ = type;
    panel_.showControlType(type);
    if (listed) return L"";
    return quoted(type) + L" is not a control type the panel lists; the rows are the control's own elements.";
}

void CaretTracker::remember(const ControlBlock& block, BlockText text) {
    loaded_.valid = true;
    loaded_.block = block;
    loaded_.text = std::move(text);
    loaded_.document = document_.identity();
    loaded_.codePage = document_.codePage();
    blockText_ = text::fromCodePage(loaded_.text.bytes, loaded_.codePage);
}

bool CaretTracker::isLoadedControl(const ControlBlock& now, const std::wstring& type) const {
    if (!now.found() || !loaded_.valid) return false;
    if (document_.identity() != loaded_.document || document_.codePage() != loaded_.codePage) return false;
    return now.lines.start == loaded_.block.lines.start && equalsIgnoringAsciiCase(type, loaded_.type);
}

void CaretTracker::refuse(const std::wstring& why) {
    // The row shows what was typed; the document does not hold it.
    if (!rowsType_.empty()) panel_.showControlType(rowsType_);
    panel_.showStatus(why);
}

void CaretTracker::writeBack(const std::wstring& tag, const std::wstring& value) {
    if (tag.empty() || !loaded_.valid) return;  // rows not read from the document: nothing to write

    // Where the control under the caret stands now: the text may have been
    // edited by hand since it was read, or the caret may have left it.
    const ControlBlock now = findControl(document_, document_.caretLine());
    if (!now.found()) {
        refuse(kNoControl);
        return;
    }
    BlockText text = readBlock(document_, now);
    const unsigned codePage = document_.codePage();
    TiXmlDocument xml;
    const TiXmlElement* control =
        parseThroughScratch(text.element(), codePage, xml) ? xml.FirstChildElement("control") : nullptr;
    if (control == nullptr || !isLoadedControl(now, typeOf(*control, codePage))) {
        // Another control (or this one retyped by hand): the rows follow the
        // document, and the edit meant for the old rows is not written.
        if (load(now, std::move(text)).empty()) {
            panel_.showStatus(kControlChanged);
        } else {
            refuse(L"The control under the caret has changed; the edit was not written.");
        }
        return;
    }

    RowEdit row = planRowEdit(text, *control, codePage, tag, value);
    if (!row.problem.empty()) {
        refuse(row.problem);
        return;
    }
    BlockEdit& edit = row.edit;
    const bool unchanged =
        edit.kind == BlockEdit::Kind::Replace && text.element().substr(edit.from, edit.to - edit.from) == edit.text;
    if (!unchanged) {
        if (edit.needsIndentation) {
            setInsertIndentation(edit,
                                 document_.lineIndentation(now.lines.start + static_cast<Position>(edit.lineAbove)));
        }
        const Position from = now.begin + static_cast<Position>(edit.from);
        finder_.changedFrom(from);
        writingBack_ = true;
        if (edit.kind == BlockEdit::Kind::Replace) {
            document_.replace(from, now.begin + static_cast<Position>(edit.to), edit.text);
        } else {
            document_.insert(from, edit.text);
        }
    }
    ControlBlock updated = now;
    updated.end += static_cast<Position>(edit.text.size()) - static_cast<Position>(edit.to - edit.from);
    updated.lines.end += edit.linesAdded;
    remember(updated, readBlock(document_, updated));
    seenLines_ = updated.lines;
    seenText_ = loaded_.text;
    seenDocument_ = loaded_.document;
    seenStatus_.clear();

    if (tag != L"type") {
        panel_.catalogue().setValue(tag, value);
        panel_.showStatus(L"");
        return;
    }
    // The type row renames the control in the document, never the catalogue;
    // the rows then follow the control as it now reads.
    loaded_.type = value;
    if (equalsIgnoringAsciiCase(value, rowsType_)) {
        panel_.showStatus(L"");
    } else if (panel_.catalogue().hasType(value)) {
        panel_.showStatus(load(updated, loaded_.text));
    } else {
        panel_.showStatus(quoted(value) + L" is not a control type the panel lists; the rows stay as they were.");
    }
}

void CaretTracker::bufferActivated() { forget(); }

void CaretTracker::typeChosen() {
    loaded_.valid = false;
    // The next caret move reads the control under it again, even the same one.
    seenLines_ = BlockLines{};
}

void CaretTracker::forget() {
    finder_.forget();
    loaded_ = Loaded{};
    blockText_.clear();
    seenLines_ = BlockLines{};
    seenText_ = BlockText{};
    seenDocument_ = 0;
    seenStatus_.clear();
    // Whatever line the caret is on next, it is looked at afresh.
    lastCaretLine_ = -1;
}

}  // namespace controls
