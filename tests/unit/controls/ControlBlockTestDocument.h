// An editing view over a byte string, splitting lines the way the editor does
// (CR LF, LF and CR each end a line), for tests of the caret logic.
#pragma once

#include "controls/ControlBlock.h"

#include <string>
#include <vector>

namespace controls::fakes {

class TextDocument : public ControlDocument {
public:
    explicit TextDocument(std::string text = {}, unsigned codePage = 65001) : codePage_(codePage) { setText(std::move(text)); }

    void setText(std::string text) {
        text_ = std::move(text);
        starts_.assign(1, 0);
        for (std::size_t i = 0; i < text_.size(); ++i) {
            if (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
            if (text_[i] == '\n' || text_[i] == '\r') starts_.push_back(static_cast<Position>(i + 1));
        }
    }
    const std::string& str() const { return text_; }
    void setCaretLine(Position line) { caret_ = line; }
    void setIdentity(std::uintptr_t id) { identity_ = id; }
    void setCodePage(unsigned cp) { codePage_ = cp; }
    int modifications() const { return modifications_; }

    std::uintptr_t identity() const override { return identity_; }
    Position caretLine() const override { return caret_; }
    Position lineCount() const override { return static_cast<Position>(starts_.size()); }
    Position lineStart(Position line) const override {
        if (line < 0) return 0;
        if (line >= lineCount()) return static_cast<Position>(text_.size());
        return starts_[static_cast<std::size_t>(line)];
    }
    Position lineEnd(Position line) const override {
        if (line < 0) return 0;
        if (line >= lineCount()) return static_cast<Position>(text_.size());
        Position end = line + 1 < lineCount() ? starts_[static_cast<std::size_t>(line + 1)] : static_cast<Position>(text_.size());
        while (end > lineStart(line) && (text_[static_cast<std::size_t>(end - 1)] == '\n' || text_[static_cast<std::size_t>(end - 1)] == '\r')) {
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
        setText(text_.substr(0, static_cast<std::size_t>(from)) + bytes + text_.substr(static_cast<std::size_t>(to)));
    }
    void insert(Position at, const std::string& bytes) override { replace(at, at, bytes); }

private:
    std::string text_;
    std::vector<Position> starts_;
    Position caret_ = 0;
    std::uintptr_t identity_ = 1;
    unsigned codePage_;
    int modifications_ = 0;
};

}  // namespace controls::fakes
