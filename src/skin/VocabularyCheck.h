// The rules over what today's media center reads in a window file: control
// types, the elements a control's type reads, their values and animations.
// Part of the skin check (SkinCheck.h adds its rule ids, silences and
// disabled rules); kept apart for its size.
//
// Nothing is guessed: a value built with '$' is never judged, a constant is
// judged by its value (an undefined one not at all), item layouts, content,
// include calls and controls inside a control are not judged as its children,
// and elements written in an include's body outside a <control> are not
// judged (the control they land in is not known here).
#pragma once

#include "skin/SkinModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace skin {

struct VocabularyFinding {
    std::string_view rule;  // "unknown-control-type", "unknown-element", "invalid-value",
                            // "no-effect-value", "invalid-animation"
    Location at;
    std::string message;
};

// The findings in one file of the model (its controls and animations).
void CheckVocabulary(const SkinModel& model, const SkinFile& file, std::vector<VocabularyFinding>& out);

}  // namespace skin
