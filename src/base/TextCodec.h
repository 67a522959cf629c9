// Conversions between the plugin's UTF-16 text (std::wstring on Windows) and
// the 8-bit text of documents, files and bundles. Portable: natively wchar_t is
// 32 bits wide and the "ANSI code page" is stood in for by Latin-1.
#pragma once

#include <string>
#include <string_view>

namespace text {

constexpr unsigned kCodePageAnsi = 0;  // the system's ANSI code page (CP_ACP)
constexpr unsigned kCodePageUtf8 = 65001;

// UTF-8 <-> wide. Malformed UTF-8 becomes U+FFFD; lone surrogates become U+FFFD.
std::string toUtf8(std::wstring_view wide);
std::wstring fromUtf8(std::string_view utf8);

// One byte to one character, and back (characters above 0xFF become '?').
std::wstring widenBytes(std::string_view bytes);
std::string narrowBytes(std::wstring_view wide);

// A document's or file's bytes in the given code page (Scintilla's code page:
// 65001 for UTF-8 documents, 0 for the ANSI code page, or a DBCS code page).
std::wstring fromCodePage(std::string_view bytes, unsigned codePage);
std::string toCodePage(std::wstring_view wide, unsigned codePage);

// Whether every character of `wide` survives toCodePage(codePage) unchanged.
bool representable(std::wstring_view wide, unsigned codePage);

}  // namespace text
