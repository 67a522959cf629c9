#include "cli/SkinPaths.h"

#include <algorithm>

#include "lsp/Uri.h"

namespace cli {

std::wstring modelPath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring systemPath(std::wstring path) {
    if (lsp::nativePathStyle() == lsp::PathStyle::kPosix) std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

}  // namespace cli
