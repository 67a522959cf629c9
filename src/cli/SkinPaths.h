// Paths between the system and the skin model: the model's have backslashes
// between folders and no trailing one; the system's follow the platform.
#pragma once

#include <string>

namespace cli {

std::wstring modelPath(std::wstring path);
std::wstring systemPath(std::wstring path);

}  // namespace cli
