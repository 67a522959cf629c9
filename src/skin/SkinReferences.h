// What a skin window file refers to: images named in the text of image
// elements, includes named by <include>Name</include> or
// <include content="Name">, and include files named by <include file="...">.
// Found line by line in the document's bytes, so an edit re-reads only the
// lines it touched; a comment or CDATA section that runs over line ends is
// carried from one line to the next.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace skin {

enum class ReferenceKind { Texture, Include, IncludeFile };

// "texture", "include", "include file".
const wchar_t* kindName(ReferenceKind kind);

struct Reference {
    ReferenceKind kind = ReferenceKind::Texture;
    std::size_t begin = 0;  // byte columns of the name within its line
    std::size_t end = 0;
    std::wstring name;  // as the media center reads it (entities decoded)
};

// Where a line starts: in ordinary text, or inside a comment or CDATA section
// opened on an earlier line.
enum class LineState : unsigned char { Text, Comment, CData };

class ReferenceRules {
public:
    // `imageElements`: the element names whose text is an image path.
    explicit ReferenceRules(const std::vector<std::wstring>& imageElements);

    // Appends the references of one line (without its line end) and returns
    // the state the next line starts in.
    LineState scanLine(std::string_view line, LineState state, std::vector<Reference>& out) const;

    bool isImageElement(std::string_view name) const;

private:
    std::unordered_set<std::string> imageElements_;
};

// A plain relative path: not empty, no '$' (labels and variables the media
// center fills in at run time), no scheme, not absolute, no drive letter.
bool IsTexturePath(const std::wstring& name);

// How names are compared: letters folded to lower case, '\' made '/'.
std::wstring ReferenceKey(std::wstring_view name);

}  // namespace skin
