#include "controls/ControlEditSink.h"

namespace controls {

RowKind rowKindFor(const std::wstring& tag, bool offerImages, bool offerIncludes) {
    if (offerImages && tag.find(L"texture") != std::wstring::npos) return RowKind::ImageDropDown;
    if (offerIncludes && tag.find(L"include") != std::wstring::npos) return RowKind::IncludeDropDown;
    return RowKind::Text;
}

}  // namespace controls
