// The syntax of values a skin's rules check: conditions (the text of
// <visible>, <enable> and the like, and of condition attributes) and colours
// written as hex numbers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skin {

// The first fault of a condition's syntax: where it is and what it is.
struct ConditionFault {
    std::size_t at = 0;
    std::string what;
};

// True, with the first fault, when the condition at [begin, end) of the
// text is not well formed.
bool conditionFault(std::string_view t, std::size_t begin, std::size_t end, ConditionFault& fault);

// A value meant as a hex colour: "0x..." or hex digits with a digit among them.
bool looksHex(std::string_view v);
// Eight hex digits (after an optional 0x), or zero: transparent, however it is written.
bool validHex(std::string_view v);

}  // namespace skin
