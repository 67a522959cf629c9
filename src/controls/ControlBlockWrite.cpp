// Writing an edit back: the smallest change to a control element that gives
// one of its children (or its type) a new value.
#include "controls/ControlBlock.h"

#include <algorithm>
#include <utility>

#include "controls/ControlBlockChars.h"

namespace controls {

namespace {

// Where the line holding `offset` starts.
std::size_t lineStartBefore(std::string_view text, std::size_t offset) {
    while (offset > 0 && text[offset - 1] != '\n' && text[offset - 1] != '\r') --offset;
    return offset;
}

std::string escapedAttribute(const std::string& value, char quote) {
    std::string out;
    for (char c : value) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == quote) {
            out += quote == '"' ? "&quot;" : "&apos;";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

BlockEdit planTagEdit(std::string_view element, const std::vector<std::string>& parsedChildren, const std::string& tag,
                      const std::string& printed, const BlockStyle& style) {
    const std::optional<ElementSpan> control = locateControl(element);
    if (!control || control->begin != 0) return {};
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
        edit.linesAdded =
            countLineBreaks(printed) - countLineBreaks(element.substr(child.begin, child.end - child.begin));
        return edit;
    }

    const std::string unit = style.indent.find('\t') != std::string::npos ? "\t" : "    ";
    const std::string& eol = style.lineEnd;
    if (control->selfClosing) {
        // Opened: "/>" becomes ">", the new element and the end tag follow on
        // lines of their own.
        edit.kind = BlockEdit::Kind::Replace;
        edit.from = control->end - 2;
        edit.to = control->end;
        edit.text = ">" + eol + style.indent + unit + printed + eol + style.indent + "</" + control->name + ">";
        edit.linesAdded = 2;
        return edit;
    }

    const std::size_t lineStart = lineStartBefore(element, control->closeBegin);
    bool ownLine = lineStart > 0 && lineStart > control->startEnd;
    for (std::size_t i = lineStart; ownLine && i < control->closeBegin; ++i) {
        if (!isBlank(element[i])) ownLine = false;
    }
    edit.kind = BlockEdit::Kind::Insert;
    if (!ownLine) {
        // The end tag shares its line: the new element and the end tag move
        // onto lines of their own.
        edit.from = edit.to = control->closeBegin;
        edit.text = eol + style.indent + unit + printed + eol + style.indent;
        edit.linesAdded = 2;
        return edit;
    }
    const bool crlf = lineStart >= 2 && element[lineStart - 2] == '\r' && element[lineStart - 1] == '\n';
    const std::string lineEnd = crlf ? std::string("\r\n") : std::string(1, element[lineStart - 1]);
    // The new line goes in after the line end of the line above, and carries
    // that line end itself: the bytes are the same as a line put before the end
    // tag, but the inserted range then ends at the new element, so the editor's
    // caret stays on the edited element's line instead of moving below it.
    edit.from = edit.to = lineStart - lineEnd.size();
    edit.text = lineEnd + printed;
    edit.linesAdded = 1;
    edit.needsIndentation = true;
    edit.lineAbove = lineOfOffset(element, lineStart) - 1;
    edit.indentAt = lineEnd.size();
    return edit;
}

std::optional<AttributeSpan> findAttribute(std::string_view element, std::string_view name) {
    // The start tag's attributes, read as the parser reads them.
    if (element.empty() || element[0] != '<') return std::nullopt;
    std::size_t p = 1;
    while (p < element.size() && isNameChar(element[p])) ++p;
    for (;;) {
        while (p < element.size() && isWhiteSpace(element[p])) ++p;
        if (p >= element.size() || element[p] == '>' || element[p] == '/') return std::nullopt;
        const std::size_t nameBegin = p;
        while (p < element.size() && isNameChar(element[p])) ++p;
        if (p == nameBegin) return std::nullopt;
        const std::string_view attribute = element.substr(nameBegin, p - nameBegin);
        while (p < element.size() && isWhiteSpace(element[p])) ++p;
        if (p >= element.size() || element[p] != '=') return std::nullopt;
        ++p;
        while (p < element.size() && isWhiteSpace(element[p])) ++p;
        if (p >= element.size() || (element[p] != '"' && element[p] != '\'')) return std::nullopt;
        const char quote = element[p];
        const std::size_t close = element.find(quote, p + 1);
        if (close == std::string_view::npos) return std::nullopt;
        if (attribute == name) return AttributeSpan{p + 1, close, quote};
        p = close + 1;
    }
}

BlockEdit planTypeEdit(std::string_view element, const std::string& value) {
    const std::optional<AttributeSpan> type = findAttribute(element, "type");
    if (!type) return {};
    BlockEdit edit;
    edit.kind = BlockEdit::Kind::Replace;
    edit.from = type->from;
    edit.to = type->to;
    edit.text = escapedAttribute(value, type->quote);
    edit.linesAdded = countLineBreaks(edit.text) - countLineBreaks(element.substr(type->from, type->to - type->from));
    return edit;
}

void setInsertIndentation(BlockEdit& edit, int columns) {
    if (!edit.needsIndentation) return;
    if (columns > 0) edit.text.insert(edit.indentAt, static_cast<std::size_t>(columns), ' ');
    edit.needsIndentation = false;
}

}  // namespace controls
