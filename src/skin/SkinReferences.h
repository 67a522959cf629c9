// How a skin's references are named: which texture names are paths into
// the media folder, and how names are compared.
#pragma once

#include <string>
#include <string_view>

namespace skin {

// A plain relative path: not empty, no '$' (labels and variables the media
// center fills in at run time), no scheme, not absolute, no drive letter.
bool IsTexturePath(const std::wstring& name);

// How names are compared: letters folded to lower case, '\' made '/'.
std::wstring ReferenceKey(std::wstring_view name);

}  // namespace skin
