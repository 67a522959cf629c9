#include "tester/MediaCenterAddress.h"

#include <cwctype>

namespace tester {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool startsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(static_cast<std::wint_t>(text[i])) != static_cast<std::wint_t>(prefix[i])) return false;
    return true;
}

// Letters, digits, '-' and '.' make a host name or an IPv4 address.
bool isHostName(const std::wstring& host) {
    if (host.empty()) return false;
    for (wchar_t c : host) {
        const bool fits = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                          c == L'-' || c == L'.';
        if (!fits) return false;
    }
    return true;
}

bool isIpv6Literal(const std::wstring& host) {
    if (host.find(L':') == std::wstring::npos) return false;
    for (wchar_t c : host) {
        const bool fits = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F') ||
                          c == L':' || c == L'.' || c == L'%';
        if (!fits) return false;
    }
    return true;
}

AddressReading problem(std::wstring sentence) { return AddressReading{std::nullopt, std::move(sentence)}; }

}  // namespace

std::wstring MediaCenterAddress::authority() const {
    std::wstring text = ipv6 ? L"[" + host + L"]" : host;
    if (port) text += L":" + std::to_wstring(*port);
    return text;
}

std::wstring MediaCenterAddress::jsonRpcAuthority() const {
    return (ipv6 ? L"[" + host + L"]" : host) + L":" + std::to_wstring(jsonRpcPort());
}

AddressReading readMediaCenterAddress(const std::wstring& typed) {
    std::size_t first = 0;
    std::size_t end = typed.size();
    while (first < end && isBlank(typed[first])) ++first;
    while (end > first && isBlank(typed[end - 1])) --end;
    std::wstring rest = typed.substr(first, end - first);
    if (rest.empty()) return problem(L"The media center's address is empty: set it in the Options (host or host:port).");
    const std::wstring shown = L"\"" + rest + L"\"";
    for (wchar_t c : rest)
        if (isBlank(c)) return problem(L"The media center's address " + shown + L" holds a blank.");
    if (startsWithIgnoringCase(rest, L"http://")) {
        rest.erase(0, 7);
    } else if (rest.find(L"://") != std::wstring::npos) {
        return problem(L"The media center's address " + shown +
                       L" names another scheme than http://; give host or host:port.");
    }
    if (!rest.empty() && rest.back() == L'/') rest.pop_back();
    if (rest.find(L'/') != std::wstring::npos || rest.find(L'?') != std::wstring::npos ||
        rest.find(L'#') != std::wstring::npos)
        return problem(L"The media center's address " + shown + L" holds a path; give only host or host:port.");
    if (rest.find(L'@') != std::wstring::npos)
        return problem(L"The media center's address " + shown +
                       L" holds a login; set the login and password in their own boxes of the Options.");

    MediaCenterAddress address;
    std::wstring portText;
    bool hasPort = false;
    if (!rest.empty() && rest.front() == L'[') {
        const std::size_t close = rest.find(L']');
        if (close == std::wstring::npos)
            return problem(L"The media center's address " + shown + L" opens a bracket it does not close.");
        address.host = rest.substr(1, close - 1);
        address.ipv6 = true;
        if (!isIpv6Literal(address.host))
            return problem(L"The media center's address " + shown + L" holds no IPv6 address between its brackets.");
        const std::wstring after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != L':')
                return problem(L"The media center's address " + shown + L" has something other than :port after ].");
            portText = after.substr(1);
            hasPort = true;
        }
    } else {
        const std::size_t colon = rest.find(L':');
        if (colon != std::wstring::npos && rest.find(L':', colon + 1) != std::wstring::npos)
            return problem(L"The media center's address " + shown +
                           L" looks like an IPv6 address: write it in brackets, as in [::1]:8080.");
        address.host = rest.substr(0, colon);
        if (colon != std::wstring::npos) {
            portText = rest.substr(colon + 1);
            hasPort = true;
        }
        if (!isHostName(address.host))
            return problem(L"The media center's address " + shown + L" holds no host name or IP address.");
    }
    if (hasPort) {
        unsigned long value = 0;
        bool digits = !portText.empty();
        for (wchar_t c : portText) {
            if (c < L'0' || c > L'9') {
                digits = false;
                break;
            }
            if (value <= 65535) value = value * 10 + static_cast<unsigned long>(c - L'0');
        }
        if (!digits)
            return problem(L"The port in the media center's address " + shown + L" is not a number.");
        if (value < 1 || value > 65535)
            return problem(L"The port in the media center's address " + shown + L" is out of range (1 to 65535).");
        address.port = static_cast<unsigned>(value);
    }
    return AddressReading{address, {}};
}

}  // namespace tester
