// What today's media center makes of an element or attribute name in a
// window or include file, for the hover tips of the plugin and the language
// server: what it is, its value kind, its values, and a note where it is an
// older form, has no effect or is read only by the newest releases.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skin {

struct MarkupHover {
    std::size_t begin = 0;  // the name's bytes in the text
    std::size_t end = 0;
    std::string text;  // plain text, lines separated by '\n'; empty when there is nothing to say
};

MarkupHover VocabularyHoverAt(std::string_view text, std::size_t offset);

}  // namespace skin
