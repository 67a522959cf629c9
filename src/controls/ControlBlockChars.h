// The character classes of a control block's XML text, as the XML parser
// reads them: shared by finding, reading and writing a block.
#pragma once

namespace controls {

inline bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

inline bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Name characters as the XML parser accepts them; bytes above ASCII belong to
// multi-byte characters and count as letters.
inline bool isNameStart(char c) { return isAsciiAlpha(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80; }
inline bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':'; }

inline char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace controls
