#include "controls/ControlBlock.h"

#include <utility>

namespace controls {

namespace {

bool contains(const std::string& haystack, std::string_view needle) {
    return haystack.find(needle) != std::string::npos;
}

struct LineKeys {
    bool opens = false;   // "<control"
    bool closes = false;  // "</control>" or "/>"
    bool starts = false;  // "control" and "type="
};

LineKeys keysOf(const ControlDocument& doc, Position line) {
    const std::string text = lowerAscii(doc.text(doc.lineStart(line), doc.lineEnd(line)));
    LineKeys keys;
    keys.opens = contains(text, "<control");
    keys.closes = contains(text, "</control>") || contains(text, "/>");
    keys.starts = contains(text, "control") && contains(text, "type=");
    return keys;
}

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Name characters as the XML parser accepts them; bytes above ASCII belong to
// multi-byte characters and count as letters.
bool isNameStart(char c) { return isAsciiAlpha(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80; }
bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}


class Scanner {
public:
    explicit Scanner(std::string_view text) : t_(text) {}

    std::optional<ElementSpan> firstControl() {
        std::size_t pos = 0;
        while (true) {
            while (pos < t_.size() && isWhiteSpace(t_[pos])) ++pos;
            // Text outside any element ends the parser's reading of the
            // document, so nothing after it counts as the control.
            if (pos >= t_.size() || t_[pos] != '<') return std::nullopt;
            if (startsWith(pos, "</")) return std::nullopt;
            if (isElementStart(pos)) {
                ElementSpan element;
                if (!readElement(pos, element, 0)) return std::nullopt;
                if (element.name == "control") return element;
                continue;
            }
            if (!skipOther(pos)) return std::nullopt;
        }
    }

private:
    bool startsWith(std::size_t pos, std::string_view s) const { return t_.substr(pos, s.size()) == s; }

    bool isElementStart(std::size_t pos) const {
        return pos + 1 < t_.size() && t_[pos] == '<' && isNameStart(t_[pos + 1]);
    }

    std::string_view readName(std::size_t& pos) const {
        const std::size_t from = pos;
        while (pos < t_.size() && isNameChar(t_[pos])) ++pos;
        return t_.substr(from, pos - from);
    }

    // Comments, CDATA sections, declarations and anything else that starts
    // with '<' but is not an element; `pos` is at the '<'.
    bool skipOther(std::size_t& pos) const {
        std::string_view terminator = ">";
        std::size_t from = pos + 1;
        if (startsWith(pos, "<!--")) {
            terminator = "-->";
            from = pos + 4;
        } else if (startsWith(pos, "<![CDATA[")) {
            terminator = "]]>";
            from = pos + 9;
        }
        const std::size_t at = t_.find(terminator, from);
        if (at == std::string_view::npos) return false;
        pos = at + terminator.size();
        return true;
    }

    bool readElement(std::size_t& pos, ElementSpan& out, int depth) {
        if (depth > kMaxNesting) return false;
        out.begin = pos;
        ++pos;
        out.name = std::string(readName(pos));
        if (out.name.empty()) return false;
        // The rest of the start tag; quoted attribute values may hold '>' and '/'.
        while (true) {
            if (pos >= t_.size()) return false;
            const char c = t_[pos];
            if (c == '"' || c == '\'') {
                const std::size_t close = t_.find(c, pos + 1);
                if (close == std::string_view::npos) return false;
                pos = close + 1;
            } else if (c == '>') {
                ++pos;
                break;
            } else if (c == '/' && pos + 1 < t_.size() && t_[pos + 1] == '>') {
                pos += 2;
                out.selfClosing = true;
                out.closeBegin = out.end = pos;
                return true;
            } else if (c == '<') {
                return false;
            } else {
                ++pos;
            }
        }
        // Content up to the matching end tag.
        while (true) {
            const std::size_t lt = t_.find('<', pos);
            if (lt == std::string_view::npos) return false;
            pos = lt;
            if (startsWith(pos, "</")) {
                std::size_t p = pos + 2;
                if (readName(p) != out.name) return false;
                while (p < t_.size() && isWhiteSpace(t_[p])) ++p;
                if (p >= t_.size() || t_[p] != '>') return false;
                out.closeBegin = pos;
                out.end = pos = p + 1;
                return true;
            }
            if (isElementStart(pos)) {
                ElementSpan child;
                if (!readElement(pos, child, depth + 1)) return false;
                out.children.push_back(std::move(child));
            } else if (!skipOther(pos)) {
                return false;
            }
        }
    }

    std::string_view t_;
};

}  // namespace

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

BlockLines findBlock(const ControlDocument& doc, Position caretLine) {
    const Position count = doc.lineCount();
    if (caretLine < 0 || caretLine >= count) return {};
    Position start = -1;
    for (Position cur = caretLine; cur >= 0; --cur) {
        const LineKeys keys = keysOf(doc, cur);
        // A closing line above the caret means the caret is past that control.
        if (keys.closes && !keys.opens && cur != caretLine) return {};
        if (keys.starts) {
            start = cur;
            break;
        }
    }
    if (start < 0) return {};
    for (Position cur = start; cur < count; ++cur) {
        const LineKeys keys = keysOf(doc, cur);
        if (keys.closes && !keys.opens) return {start, cur};
    }
    return {};
}

std::string cutBlock(std::string block) {
    const std::string lower = lowerAscii(block);
    const std::size_t selfClose = lower.find("/>");
    const std::size_t closeTag = lower.find("</control>");
    if (selfClose == std::string::npos || closeTag == std::string::npos) return block;
    const std::size_t cut = selfClose < closeTag ? selfClose + 2 : closeTag + 10;
    block.erase(cut);
    return block;
}

std::string readBlock(const ControlDocument& doc, BlockLines lines) {
    if (!lines.found()) return {};
    return cutBlock(doc.text(doc.lineStart(lines.start), doc.lineEnd(lines.end)));
}

std::optional<ElementSpan> locateControl(std::string_view block) { return Scanner(block).firstControl(); }

bool nestingWithin(std::string_view block, int limit) {
    int depth = 0;
    std::size_t pos = 0;
    while ((pos = block.find('<', pos)) != std::string_view::npos) {
        std::string_view terminator = ">";
        if (block.substr(pos, 4) == "<!--") {
            terminator = "-->";
        } else if (block.substr(pos, 9) == "<![CDATA[") {
            terminator = "]]>";
        } else if (block.substr(pos, 2) == "</") {
            if (depth > 0) --depth;
        } else if (pos + 1 < block.size() && isNameStart(block[pos + 1])) {
            // A start tag: to its '>' outside quotes; self-closing ones open no level.
            std::size_t p = pos + 1;
            char quote = 0;
            for (; p < block.size(); ++p) {
                const char c = block[p];
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (p >= block.size()) return true;  // unterminated: the parser stops there
            if (block[p - 1] != '/' && ++depth > limit) return false;
            pos = p + 1;
            continue;
        }
        const std::size_t end = block.find(terminator, pos + 1);
        if (end == std::string_view::npos) return true;
        pos = end + terminator.size();
    }
    return true;
}

std::size_t lineOfOffset(std::string_view block, std::size_t offset) {
    return static_cast<std::size_t>(countLineBreaks(block.substr(0, offset)));
}

int countLineBreaks(std::string_view text) {
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++breaks;
        } else if (text[i] == '\r') {
            ++breaks;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return breaks;
}

BlockEdit planTagEdit(std::string_view block, const std::vector<std::string>& parsedChildren,
                      const std::string& tag, const std::string& printed) {
    const std::optional<ElementSpan> control = locateControl(block);
    if (!control) return {};
    // The scan and the parser must see the same children, or the span found
    // might not be the element the parser changed.
    if (control->children.size() != parsedChildren.size()) return {};
    for (std::size_t i = 0; i < parsedChildren.size(); ++i) {
        if (control->children[i].name != parsedChildren[i]) return {};
    }

    BlockEdit edit;
    for (const ElementSpan& child : control->children) {
        if (child.name != tag) continue;
        edit.kind = BlockEdit::Kind::Replace;
        edit.from = child.begin;
        edit.to = child.end;
        edit.text = printed;
        edit.linesAdded = countLineBreaks(printed) - countLineBreaks(block.substr(child.begin, child.end - child.begin));
        return edit;
    }

    // A new element gets a line of its own before the control's end tag, so
    // the end tag must start its line (only blanks before it).
    if (control->selfClosing) return {};
    std::size_t lineStart = control->closeBegin;
    while (lineStart > 0 && block[lineStart - 1] != '\n' && block[lineStart - 1] != '\r') --lineStart;
    if (lineStart == 0 || lineStart <= control->begin) return {};
    for (std::size_t i = lineStart; i < control->closeBegin; ++i) {
        if (block[i] != ' ' && block[i] != '\t') return {};
    }
    const bool crlf = lineStart >= 2 && block[lineStart - 2] == '\r' && block[lineStart - 1] == '\n';
    const std::string lineEnd = crlf ? std::string("\r\n") : std::string(1, block[lineStart - 1]);
    // The new line goes in after the line end of the line above, and carries
    // that line end itself: the bytes are the same as a line put before the end
    // tag, but the inserted range then ends at the new element, so the editor's
    // caret stays on the edited element's line instead of moving below it.
    edit.kind = BlockEdit::Kind::Insert;
    edit.from = edit.to = lineStart - lineEnd.size();
    edit.text = lineEnd + printed;
    edit.linesAdded = 1;
    edit.lineAbove = lineOfOffset(block, lineStart) - 1;
    return edit;
}

void setInsertIndentation(BlockEdit& edit, int columns) {
    if (edit.kind != BlockEdit::Kind::Insert || columns <= 0) return;
    std::size_t at = 0;  // after the leading line end
    while (at < edit.text.size() && at < 2 && (edit.text[at] == '\r' || edit.text[at] == '\n')) ++at;
    edit.text.insert(at, static_cast<std::size_t>(columns), ' ');
}

}  // namespace controls
