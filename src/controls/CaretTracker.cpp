#include "controls/CaretTracker.h"

#include "base/FileAccess.h"
#include "base/TextCodec.h"

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

std::wstring typeOf(const TiXmlElement& control, unsigned codePage) {
    const char* type = control.Attribute("type");
    return text::fromCodePage(type ? type : "", codePage);
}

}  // namespace

CaretTracker::CaretTracker(CaretPanel& panel, ControlDocument& document) : panel_(panel), document_(document) {}

std::wstring CaretTracker::scratchPath() const {
    if (scratchFolder_.empty()) return {};
    return scratchFolder_ + files::separator() + kScratchName;
}

bool CaretTracker::parseThroughScratch(const std::string& block, unsigned codePage, TiXmlDocument& xml) const {
    const std::wstring path = scratchPath();
    if (path.empty() || !nestingWithin(block)) return false;
    files::FilePtr file = openForUpdate(path);
    if (!file) return false;
    if (!block.empty() && std::fwrite(block.data(), 1, block.size(), file.get()) != block.size()) return false;
    if (std::fflush(file.get()) != 0 || !files::truncate(file.get(), block.size())) return false;
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
    if (caret == lastCaretLine_) return;
    lastCaretLine_ = caret;

    const BlockLines found = findBlock(document_, caret);
    if (!found.found()) {
        lines_ = BlockLines{};
        return;
    }
    std::string bytes = readBlock(document_, found);
    // Same lines of the same document with the same text: already loaded.
    if (found == lines_ && document_.identity() == documentId_ && bytes == blockBytes_) return;
    storeBlock(found, std::move(bytes));
    loadControl(blockBytes_, codePage_);
}

void CaretTracker::loadControl(const std::string& block, unsigned codePage) {
    TiXmlDocument xml;
    if (!parseThroughScratch(block, codePage, xml)) return;
    const TiXmlElement* control = xml.FirstChildElement("control");
    if (!control) return;
    const std::wstring type = typeOf(*control, codePage);
    ControlCatalogue& catalogue = panel_.catalogue();
    if (!catalogue.hasType(type)) return;
    catalogue.setCurrentType(type);
    catalogue.clearValues(type);
    for (const TiXmlNode* node = control->FirstChild(); node; node = node->NextSibling()) {
        const TiXmlNode* first = node->FirstChild();
        if (!first) continue;
        catalogue.setValue(text::fromCodePage(node->ValueStr(), codePage),
                           text::fromCodePage(first->ValueStr(), codePage));
    }
    panel_.showControlType(type);
}

BlockEdit CaretTracker::updateTag(const std::string& block, unsigned codePage, const std::wstring& tag,
                                  const std::wstring& value) {
    // A value the document's code page cannot hold would reach the file as
    // question marks.
    if (!text::representable(tag, codePage) || !text::representable(value, codePage)) return {};
    TiXmlDocument xml;
    if (!parseThroughScratch(block, codePage, xml)) return {};
    const TiXmlElement* control = xml.FirstChildElement("control");
    if (!control || !panel_.catalogue().hasType(typeOf(*control, codePage))) return {};

    const std::string tagBytes = text::toCodePage(tag, codePage);
    std::vector<std::string> children;
    for (const TiXmlElement* child = control->FirstChildElement(); child; child = child->NextSiblingElement()) {
        children.push_back(child->ValueStr());
    }

    const TiXmlElement* existing = control->FirstChildElement(tagBytes);
    // Attributes of an existing element stay; its content becomes the value.
    TiXmlElement element = existing ? *existing : TiXmlElement(tagBytes);
    element.Clear();
    element.InsertEndChild(TiXmlText(text::toCodePage(value, codePage)));
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("");
    element.Accept(&printer);
    return planTagEdit(block, children, tagBytes, printer.Str());
}

bool CaretTracker::blockIsCurrent() const {
    if (!lines_.found() || document_.identity() != documentId_ || document_.codePage() != codePage_) return false;
    if (lines_.end >= document_.lineCount()) return false;
    return readBlock(document_, lines_) == blockBytes_;
}

void CaretTracker::writeBack(const std::wstring& tag, const std::wstring& value) {
    if (!lines_.found() || tag.empty()) return;
    panel_.catalogue().setValue(tag, value);
    // The type is the control's attribute, not a child element: writing it as
    // a child would add a bogus element.
    if (tag == L"type") return;
    if (!blockIsCurrent()) {
        // Its line numbers may now point at another control, or into another
        // document: never write from it.
        dropBlock();
        return;
    }

    BlockEdit edit = updateTag(blockBytes_, codePage_, tag, value);
    if (edit.kind == BlockEdit::Kind::None) return;
    if (edit.kind == BlockEdit::Kind::Replace && blockBytes_.compare(edit.from, edit.to - edit.from, edit.text) == 0) {
        return;  // already says so; a replacement would only touch the undo history
    }
    if (edit.kind == BlockEdit::Kind::Insert) {
        setInsertIndentation(edit, document_.lineIndentation(lines_.start + static_cast<Position>(edit.lineAbove)));
    }

    const Position base = document_.lineStart(lines_.start);
    writingBack_ = true;
    if (edit.kind == BlockEdit::Kind::Replace) {
        document_.replace(base + static_cast<Position>(edit.from), base + static_cast<Position>(edit.to), edit.text);
    } else {
        document_.insert(base + static_cast<Position>(edit.from), edit.text);
    }
    BlockLines updated = lines_;
    updated.end += edit.linesAdded;
    storeBlock(updated, readBlock(document_, updated));
}

void CaretTracker::bufferActivated() {
    dropBlock();
}

void CaretTracker::storeBlock(BlockLines lines, std::string bytes) {
    lines_ = lines;
    blockBytes_ = std::move(bytes);
    documentId_ = document_.identity();
    codePage_ = document_.codePage();
    blockText_ = text::fromCodePage(blockBytes_, codePage_);
}

void CaretTracker::dropBlock() {
    lines_ = BlockLines{};
    blockBytes_.clear();
    blockText_.clear();
    documentId_ = 0;
    // Whatever line the caret is on next, it is looked at afresh.
    lastCaretLine_ = -1;
}

}  // namespace controls
