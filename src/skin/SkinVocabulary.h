// The skin's element and attribute names that take one kind of value (names
// in lower case; sets built once, on first use), shared by the file scan and completion. Taken from today's
// control vocabulary (ControlVocabulary.h) where it tells the kind.
#pragma once

#include <string_view>

namespace skin {

bool isNumericElement(std::string_view e);    // takes a number or a constant
bool isNumericAttribute(std::string_view a);  // the same, as an attribute
bool isColourElement(std::string_view e);     // takes a colour
bool isImageElement(std::string_view e);      // takes an image (the vocabulary's texture kind)
bool isLabelElement(std::string_view e);      // takes a text or a bare string id
// An attribute whose bare number is a string id.
bool isStringAttribute(std::string_view element, std::string_view a);

}  // namespace skin
