// Reading a control block: its lines, the control element and its children
// in them, and how deep its elements nest.
#include "controls/ControlBlock.h"

#include <algorithm>
#include <utility>

#include "controls/ControlBlockChars.h"

namespace controls {

namespace {

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
        } else if (startsWith(pos, "<?")) {
            terminator = "?>";
            from = pos + 2;
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
                if (t_.substr(pos + 1, close - pos - 1).find('<') != std::string_view::npos) return false;
                pos = close + 1;
            } else if (c == '>') {
                ++pos;
                break;
            } else if (c == '/' && pos + 1 < t_.size() && t_[pos + 1] == '>') {
                pos += 2;
                out.selfClosing = true;
                out.startEnd = out.closeBegin = out.end = pos;
                return true;
            } else if (c == '<') {
                return false;
            } else {
                ++pos;
            }
        }
        out.startEnd = pos;
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
    for (char& c : out) c = foldAscii(c);
    return out;
}

BlockText readBlock(const ControlDocument& doc, const ControlBlock& block) {
    BlockText t;
    if (!block.found() || block.lines.end >= doc.lineCount()) return t;
    const Position from = doc.lineStart(block.lines.start);
    const Position to = doc.lineEnd(block.lines.end);
    if (block.begin < from || block.end > to || block.end <= block.begin) return t;
    t.bytes = doc.text(from, to);
    if (static_cast<Position>(t.bytes.size()) != to - from) return BlockText{};
    t.elementBegin = static_cast<std::size_t>(block.begin - from);
    t.elementEnd = static_cast<std::size_t>(block.end - from);
    std::size_t blanks = 0;
    while (blanks < t.elementBegin && isBlank(t.bytes[blanks])) ++blanks;
    t.indent = t.bytes.substr(0, blanks);

    // The line end the block's own lines use, else the one after it, else
    // the one before it; a document of one line has none, and gets the
    // editor's own default.
    const std::size_t inside = t.bytes.find_first_of("\r\n");
    if (inside != std::string::npos) {
        t.lineEnd = t.bytes.compare(inside, 2, "\r\n") == 0 ? "\r\n" : t.bytes.substr(inside, 1);
    } else if (block.lines.end + 1 < doc.lineCount()) {
        t.lineEnd = doc.text(to, doc.lineStart(block.lines.end + 1));
    } else if (block.lines.start > 0) {
        t.lineEnd = doc.text(doc.lineEnd(block.lines.start - 1), from);
    }
    if (t.lineEnd.empty()) t.lineEnd = "\r\n";
    return t;
}

std::optional<ElementSpan> locateControl(std::string_view text) { return Scanner(text).firstControl(); }

bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    std::size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        std::string_view terminator = ">";
        if (text.substr(pos, 4) == "<!--") {
            terminator = "-->";
        } else if (text.substr(pos, 9) == "<![CDATA[") {
            terminator = "]]>";
        } else if (text.substr(pos, 2) == "</") {
            if (depth > 0) --depth;
        } else if (pos + 1 < text.size() && isNameStart(text[pos + 1])) {
            // A start tag: to its '>' outside quotes; self-closing ones open no level.
            std::size_t p = pos + 1;
            char quote = 0;
            for (; p < text.size(); ++p) {
                const char c = text[p];
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (p >= text.size()) return true;  // unterminated: the parser stops there
            if (text[p - 1] != '/' && ++depth > limit) return false;
            pos = p + 1;
            continue;
        }
        const std::size_t end = text.find(terminator, pos + 1);
        if (end == std::string_view::npos) return true;
        pos = end + terminator.size();
    }
    return true;
}

std::size_t lineOfOffset(std::string_view text, std::size_t offset) {
    return static_cast<std::size_t>(countLineBreaks(text.substr(0, offset)));
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

}  // namespace controls
