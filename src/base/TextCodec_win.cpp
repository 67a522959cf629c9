// Code pages other than UTF-8 through the system's conversions.
#include "base/TextCodec.h"

#include <windows.h>

namespace text {

std::wstring fromCodePage(std::string_view bytes, unsigned codePage) {
    if (codePage == kCodePageUtf8) return fromUtf8(bytes);
    if (bytes.empty()) return {};
    if (bytes.size() > 0x7FFFFFFF) return {};
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (needed <= 0) return widenBytes(bytes);
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), needed);
    return out;
}

std::string toCodePage(std::wstring_view wide, unsigned codePage) {
    if (codePage == kCodePageUtf8) return toUtf8(wide);
    if (wide.empty()) return {};
    if (wide.size() > 0x3FFFFFFF) return {};
    const int size = static_cast<int>(wide.size());
    const int needed = ::WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return narrowBytes(wide);
    std::string out(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), size, out.data(), needed, nullptr, nullptr);
    return out;
}

bool representable(std::wstring_view wide, unsigned codePage) {
    if (codePage == kCodePageUtf8 || wide.empty()) return true;
    if (wide.size() > 0x3FFFFFFF) return false;
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(wide.size());
    ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
    return usedDefault == FALSE;
}

}  // namespace text
