// The elements of one window or include file as a tree of byte offsets into
// its text, read as forgivingly as the model reads its files: a file broken
// in one place still yields the elements around the break. Nothing is copied:
// the tree reads the text it was built from, which must outlive it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace skin {

class ElementTree {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Node {
        std::uint32_t tag = 0;         // the '<' of its start tag
        std::uint32_t nameEnd = 0;     // its name is text[tag + 1, nameEnd)
        std::uint32_t tagEnd = 0;      // just after the start tag's '>' (attributes: nameEnd..tagEnd)
        std::uint32_t textBegin = 0;   // its first run of text directly inside, trimmed
        std::uint32_t textEnd = 0;
        std::uint32_t end = 0;         // just after its end tag (the file's end when not closed)
        std::uint32_t firstChild = kNone;
        std::uint32_t nextSibling = kNone;
    };

    struct Value {
        bool found = false;
        std::uint32_t begin = 0;  // the value between the quotes (not trimmed)
        std::uint32_t end = 0;
    };

    explicit ElementTree(std::string_view text);

    std::string_view text() const { return text_; }
    const std::vector<Node>& nodes() const { return nodes_; }
    std::uint32_t firstRoot() const { return nodes_.empty() ? kNone : 0; }

    std::string_view name(const Node& n) const { return text_.substr(n.tag + 1, n.nameEnd - n.tag - 1); }
    std::string_view value(const Node& n) const { return text_.substr(n.textBegin, n.textEnd - n.textBegin); }
    std::string_view attributesText(const Node& n) const { return text_.substr(n.nameEnd, n.tagEnd - n.nameEnd); }
    // An attribute of its start tag (the name's letter case ignored).
    Value attribute(const Node& n, std::string_view name) const;
    // Its first child element of that name (letter case ignored), or kNone.
    std::uint32_t child(const Node& n, std::string_view name) const;

private:
    std::string_view text_;
    std::vector<Node> nodes_;
};

bool SameNameFolded(std::string_view a, std::string_view b);

}  // namespace skin
