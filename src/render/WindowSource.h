// What the renderer draws from: a window as a tree of elements, each with its
// text, attributes and where it is written (file and line). It is filled from
// a window file's own text here, and can be filled from any expanded form of
// the window (includes put in place) the same way. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace render {

struct Node {
    std::string name;  // the element's name, lower case
    std::string text;  // its own text, trimmed
    std::vector<std::pair<std::string, std::string>> attributes;  // names lower case
    std::vector<Node> children;
    std::uint32_t line = 0;  // 1-based line of the start tag
    std::uint32_t file = 0;  // index into WindowSource::files

    const Node* child(std::string_view childName) const;  // the first of that name, or null
    std::string_view childText(std::string_view childName) const;  // empty when absent
    std::string_view attribute(std::string_view attributeName) const;  // empty when absent
    bool hasAttribute(std::string_view attributeName) const;
};

// What the window's builder could not put in place (an include not found,
// one built at run time, a bound reached).
struct SourceNote {
    std::uint32_t file = 0;
    std::uint32_t line = 0;
    std::string why;
};

struct WindowSource {
    std::vector<std::wstring> files;  // files[0] is the window file
    Node window;                      // the <window> element
    std::vector<SourceNote> notes;
};

// Most levels of elements a window may nest, and most elements in all: a
// deeper or larger file is read no further (what was read is kept).
constexpr int kDeepestElement = 200;
constexpr std::size_t kMostElements = 200000;

// Reads a window file's text into `out.window` (file index `file`). False,
// with the reason, when the text is not well-formed XML, nests deeper than
// kDeepestElement or has no <window> root.
bool ReadWindowText(std::string_view text, std::uint32_t file, Node& out, std::string& reason);

// ASCII lower case.
std::string lowered(std::string_view text);
// Without the blanks and line breaks around it.
std::string_view trimmed(std::string_view text);

}  // namespace render
