#include "cli/ImageElements.h"

namespace cli {

// The controls catalogue's image rows (its tags that hold "texture", but for
// the usealttexture condition). The catalogue lives with the controls panel,
// which the command line does not link.
const std::vector<std::wstring>& imageElements() {
    static const std::vector<std::wstring> kElements = {
        L"alttexturefocus", L"alttexturenofocus", L"bordertexture",    L"texture",        L"texturebg",
        L"texturefocus",    L"textureleft",       L"textureleftfocus", L"texturenofocus", L"textureradiooff",
        L"textureradioon",  L"textureright",      L"texturerightfocus"};
    return kElements;
}

}  // namespace cli
