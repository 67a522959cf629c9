// The text primitives the skin file readers share: blanks, digits, XML name
// characters and spans of a file's bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace skin::scan {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// XML name characters; bytes above ASCII belong to multi-byte characters.
inline bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

inline bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return isNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.';
}

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
