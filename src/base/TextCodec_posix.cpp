#include "base/TextCodec.h"

namespace text {

// Natively the ANSI code page (and any other non-UTF-8 one) is Latin-1.
std::wstring fromCodePage(std::string_view bytes, unsigned codePage) {
    return codePage == kCodePageUtf8 ? fromUtf8(bytes) : widenBytes(bytes);
}

std::string toCodePage(std::wstring_view wide, unsigned codePage) {
    return codePage == kCodePageUtf8 ? toUtf8(wide) : narrowBytes(wide);
}

bool representable(std::wstring_view wide, unsigned codePage) {
    if (codePage == kCodePageUtf8) return true;
    for (const wchar_t c : wide) {
        if (static_cast<unsigned long>(c) > 0xFF) return false;
    }
    return true;
}

}  // namespace text
