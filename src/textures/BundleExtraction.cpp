#include "textures/BundleExtraction.h"

#include <algorithm>

namespace textures {
namespace {

wchar_t upper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool equalsIgnoreAsciiCase(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != L'\0'; ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == L'\0';
}

// Windows opens the device, not a file, for these names, whatever extension
// follows ("nul.png" is the null device too).
bool isReservedDeviceName(const std::wstring& component) {
    std::wstring base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    static const wchar_t* const kFixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* reserved : kFixed) {
        if (equalsIgnoreAsciiCase(base, reserved)) {
            return true;
        }
    }
    if (base.size() == 4 && (equalsIgnoreAsciiCase(base.substr(0, 3), L"COM") ||
                             equalsIgnoreAsciiCase(base.substr(0, 3), L"LPT"))) {
        const wchar_t digit = base[3];
        // Windows also reserves the superscript digits 1, 2 and 3.
        return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
               digit == L'\u00B3';
    }
    return false;
}

bool isSafeComponent(const std::wstring& component) {
    if (component.empty() || component == L"." || component == L"..") {
        return false;
    }
    for (wchar_t c : component) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        switch (c) {
            case L'<': case L'>': case L':': case L'"': case L'|': case L'?': case L'*':
                return false;
            default:
                break;
        }
    }
    if (component.back() == L'.' || component.back() == L' ') {
        return false;
    }
    return !isReservedDeviceName(component);
}

std::wstring withBackslashes(std::wstring name) {
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

}  // namespace

bool isSafeEntryName(const std::wstring& name) {
    const std::wstring path = withBackslashes(name);
    if (path.empty()) {
        return false;
    }
    // Leading separators make the path absolute, UNC ("\\server") or a device
    // path ("\\?\", "\\.\"); each component is then checked on its own.
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(L'\\', start);
        const std::wstring component =
            path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!isSafeComponent(component)) {
            return false;
        }
        if (end == std::wstring::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::vector<ExtractionItem> planExtraction(const std::vector<std::wstring>& names,
                                           const std::wstring& outputFolder) {
    std::vector<ExtractionItem> plan;
    plan.reserve(names.size());
    for (const std::wstring& name : names) {
        ExtractionItem item;
        item.name = name;
        item.safe = isSafeEntryName(name);
        if (item.safe) {
            const std::wstring target = withBackslashes(name);
            const std::size_t lastSeparator = target.rfind(L'\\');
            if (lastSeparator != std::wstring::npos) {
                item.folder = outputFolder + target.substr(0, lastSeparator);
            }
            item.fullPath = outputFolder + target;
        }
        plan.push_back(std::move(item));
    }
    return plan;
}

std::wstring skippedEntriesMessage(const std::vector<std::wstring>& failed, std::size_t listed) {
    if (failed.empty()) {
        return std::wstring();
    }
    std::wstring message = std::to_wstring(failed.size()) +
                           (failed.size() == 1 ? L" entry of the bundle was not written:"
                                               : L" entries of the bundle were not written:");
    const std::size_t shown = std::min(listed, failed.size());
    for (std::size_t i = 0; i < shown; ++i) {
        message += L"\r\n" + failed[i];
    }
    if (shown < failed.size()) {
        message += L"\r\n...";
    }
    return message;
}

}  // namespace textures
