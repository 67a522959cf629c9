// An editing view over a byte string, splitting lines the way the editor does
// (CR LF, LF and CR each end a line), for tests of the caret logic.
#pragma once

#include "controls/ControlBlock.h"

#include <algorithm>
#include <string>
#include <vector>

namespace controls::fakes {

class TextDocument : public ControlDocument {
public:
    explicit TextDocument(std::string text = {}, unsigned codePage = 65001)
        : text_(std::move(text)), codePage_(codePage) {
        reindex();
        setCaretLine(0);
    }

    // Another text in the same document; the caret stays on its line.
    void setText(std::string text) {
        const Position line = caretLine();
        text_ = std::move(text);
        reindex();
        setCaretLine(line);
    }
    const std::string& str() const { return text_; }
    // The caret stands at the start of its line and moves with the text
    // around it, as the editor's does.
    void setCaretLine(Position line) {
        outsideLine_ = line;
        caret_ = line >= 0 && line < lineCount() ? lineStart(line) : -1;
    }
    void setIdentity(std::uintptr_t id) { identity_ = id; }
    void setCodePage(unsigned cp) { codePage_ = cp; }
    int modifications() const { return modifications_; }

    std::uintptr_t identity() const override { return identity_; }
    Position caretLine() const override {
        if (caret_ < 0) return outsideLine_;
        return static_cast<Position>(std::upper_bound(starts_.begin(), starts_.end(), caret_) - starts_.begin()) - 1;
    }
    Position lineCount() const override { return static_cast<Position>(starts_.size()); }
    Position lineStart(Position line) const override {
        if (line < 0) return 0;
        if (line >= lineCount()) return static_cast<Position>(text_.size());
        return starts_[static_cast<std::size_t>(line)];
    }
    Position lineEnd(Position line) const override {
        if (line < 0) return 0;
        if (line >= lineCount()) return static_cast<Position>(text_.size());
        Position end =
            line + 1 < lineCount() ? starts_[static_cast<std::size_t>(line + 1)] : static_cast<Position>(text_.size());
        while (end > lineStart(line) &&
               (text_[static_cast<std::size_t>(end - 1)] == '\n' || text_[static_cast<std::size_t>(end - 1)] == '\r')) {
            --end;
        }
        return end;
    }
    std::string text(Position from, Position to) const override {
        if (from < 0) from = 0;
        if (to > static_cast<Position>(text_.size())) to = static_cast<Position>(text_.size());
        if (to <= from) return {};
        return text_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    }
    int lineIndentation(Position line) const override {
        int columns = 0;
        for (Position p = lineStart(line); p < lineEnd(line); ++p) {
            const char c = text_[static_cast<std::size_t>(p)];
            if (c == ' ') {
                ++columns;
            } else if (c == '\t') {
                columns = (columns / 4 + 1) * 4;
            } else {
                break;
            }
        }
        return columns;
    }
    unsigned codePage() const override { return codePage_; }
    void replace(Position from, Position to, const std::string& bytes) override {
        ++modifications_;
        text_ = text_.substr(0, static_cast<std::size_t>(from)) + bytes + text_.substr(static_cast<std::size_t>(to));
        reindex();
        if (caret_ >= to && caret_ > from) {
            caret_ += static_cast<Position>(bytes.size()) - (to - from);
        } else if (caret_ > from) {
            caret_ = from;
        }
    }
    void insert(Position at, const std::string& bytes) override { replace(at, at, bytes); }

private:
    void reindex() {
        starts_.assign(1, 0);
        for (std::size_t i = 0; i < text_.size(); ++i) {
            if (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
            if (text_[i] == '\n' || text_[i] == '\r') starts_.push_back(static_cast<Position>(i + 1));
        }
    }

    std::string text_;
    std::vector<Position> starts_;
    Position caret_ = 0;
    Position outsideLine_ = 0;
    std::uintptr_t identity_ = 1;
    unsigned codePage_;
    int modifications_ = 0;
};

}  // namespace controls::fakes
