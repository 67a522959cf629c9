#include "skin/SkinReferences.h"


#include <cwctype>

namespace skin {

bool IsTexturePath(const std::wstring& name) {
    if (name.empty() || name.find(L'$') != std::wstring::npos || name.find(L"://") != std::wstring::npos) {
        return false;
    }
    if (name[0] == L'/' || name[0] == L'\\') {
        return false;
    }
    const bool driveLetter = name.size() >= 2 && name[1] == L':' &&
                             ((name[0] >= L'a' && name[0] <= L'z') || (name[0] >= L'A' && name[0] <= L'Z'));
    return !driveLetter;
}

std::wstring ReferenceKey(std::wstring_view name) {
    std::wstring key(name);
    for (wchar_t& c : key) {
        if (c == L'\\') {
            c = L'/';
        } else if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
        } else if (static_cast<unsigned long>(c) > 0x7F) {
            c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
        }
    }
    return key;
}

}  // namespace skin
