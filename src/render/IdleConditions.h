// Conditions (<visible> and the like) as a media center that has just
// started would answer them: nothing plays, the library is empty, no skin
// setting is set, every info label is an empty string, only the window's
// default control has focus and only this window is active. What cannot be
// known that way is Unknown, and the caller draws what an Unknown condition
// guards. Portable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace render {

enum class Truth : unsigned char { False, True, Unknown };

struct IdleState {
    std::string windowName;      // the window file's name without ".xml", as written
    std::string windowId;        // its id="" attribute, or empty
    std::string defaultControl;  // the <defaultcontrol> id, or empty
    // The text of a named expression ($EXP[name]), or empty when unknown.
    std::function<std::optional<std::string>(std::string_view)> expression;
};

// Conditions nested (brackets and expressions together) deeper than this
// are Unknown.
constexpr int kDeepestCondition = 128;

// "!", "+" (and), "|" (or) and brackets ("[ ]", also "( )" around terms)
// combine terms; an empty or broken condition is Unknown.
Truth EvaluateIdle(std::string_view condition, const IdleState& state);

}  // namespace render
