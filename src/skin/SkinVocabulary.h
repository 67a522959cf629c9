// The skin's element and attribute names that take one kind of value (names
// in lower case), shared by the file scan and completion.
#pragma once

#include <string_view>

namespace skin {

bool isNumericElement(std::string_view e);    // takes a number or a constant
bool isNumericAttribute(std::string_view a);  // the same, as an attribute
bool isColourElement(std::string_view e);     // takes a colour
bool isLabelElement(std::string_view e);      // takes a text or a bare string id

}  // namespace skin
