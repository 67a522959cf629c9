// The elements whose text names an image, for the skin model of the command
// line's commands (check, lsp).
#pragma once

#include <string>
#include <vector>

namespace cli {

const std::vector<std::wstring>& imageElements();

}  // namespace cli
