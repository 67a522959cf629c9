// The text primitives the skin file readers share: blanks, digits and spans
// of a file's bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace skin::scan {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Offsets into a file's text.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

inline Span trimmed(std::string_view t, Span s) {
    while (s.begin < s.end && isBlank(t[s.begin])) ++s.begin;
    while (s.end > s.begin && isBlank(t[s.end - 1])) --s.end;
    return s;
}

}  // namespace skin::scan
