#include "controls/ControlEditSink.h"

#include "base/TextCodec.h"
#include "skin/ControlVocabulary.h"

namespace vocab = skin::vocab;

namespace controls {

namespace {

bool takesBoolean(vocab::ValueKind kind) {
    return kind == vocab::ValueKind::Boolean || kind == vocab::ValueKind::BooleanOrCondition;
}

}  // namespace

RowKind rowKindFor(const std::wstring& tag, const vocab::Element* element, bool offerImages, bool offerIncludes) {
    if (offerImages && tag.find(L"texture") != std::wstring::npos) return RowKind::ImageDropDown;
    if (offerIncludes && tag.find(L"include") != std::wstring::npos) return RowKind::IncludeDropDown;
    if (element == nullptr) return RowKind::Text;
    if (takesBoolean(element->kind)) return RowKind::ValueDropDown;
    switch (element->kind) {
    case vocab::ValueKind::Enum:
        return element->enumeration != nullptr ? RowKind::ValueDropDown : RowKind::Text;
    case vocab::ValueKind::Font:
        return RowKind::FontDropDown;
    case vocab::ValueKind::Colour:
        return RowKind::ColourDropDown;
    default:
        return RowKind::Text;
    }
}

RowChoice valueChoice(const vocab::Element* element) {
    RowChoice choice;
    if (element == nullptr) return choice;
    const vocab::Enumeration* values =
        takesBoolean(element->kind) ? vocab::findEnumeration("boolean")
        : element->kind == vocab::ValueKind::Enum ? element->enumeration
                                                  : nullptr;
    if (values == nullptr) {
        if (takesBoolean(element->kind)) choice = RowChoice{RowKind::ValueDropDown, {L"true", L"false"}};
        return choice;
    }
    choice.kind = RowKind::ValueDropDown;
    for (std::string_view value : values->values) choice.options.push_back(text::fromUtf8(std::string(value)));
    return choice;
}

}  // namespace controls
