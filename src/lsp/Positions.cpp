#include "lsp/Positions.h"

namespace lsp {
namespace {

bool continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// One character of UTF-8 at `at`: its length in bytes and in UTF-16 units.
// A byte that starts no well-formed sequence is a character of its own.
struct Step {
    std::size_t bytes;
    std::size_t units;
};

Step stepAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead < 0x80) return {1, 1};
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return {1, 1};
    }
    if (at + length > text.size()) return {1, 1};
    for (std::size_t i = 1; i < length; ++i)
        if (!continuation(static_cast<unsigned char>(text[at + i]))) return {1, 1};
    const auto second = static_cast<unsigned char>(text[at + 1]);
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return {1, 1};
    return {length, length == 4 ? 2u : 1u};
}

bool lineBreak(char c) { return c == '\n' || c == '\r'; }

// The offset just past the line break at `at` (which holds '\r' or '\n').
std::size_t pastBreak(std::string_view text, std::size_t at) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') return at + 2;
    return at + 1;
}

}  // namespace

std::size_t offsetOf(std::string_view text, Position position) {
    std::size_t at = 0;
    for (std::size_t line = 0; line < position.line; ++line) {
        while (at < text.size() && !lineBreak(text[at])) ++at;
        if (at == text.size()) return at;
        at = pastBreak(text, at);
    }
    std::size_t units = 0;
    while (at < text.size() && !lineBreak(text[at])) {
        const Step step = stepAt(text, at);
        if (units + step.units > position.character) break;
        units += step.units;
        at += step.bytes;
    }
    return at;
}

Position positionOf(std::string_view text, std::size_t offset) {
    Position position;
    std::size_t at = 0;
    while (at < text.size()) {
        if (lineBreak(text[at])) {
            const std::size_t next = pastBreak(text, at);
            if (offset < next) break;
            ++position.line;
            position.character = 0;
            at = next;
            continue;
        }
        const Step step = stepAt(text, at);
        if (offset < at + step.bytes) break;
        position.character += step.units;
        at += step.bytes;
    }
    return position;
}

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Step step = stepAt(text, at);
        units += step.units;
        at += step.bytes;
    }
    return units;
}

}  // namespace lsp
