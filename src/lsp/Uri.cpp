#include "lsp/Uri.h"

#include <algorithm>
#include <cctype>

#include "base/FileAccess.h"
#include "base/TextCodec.h"

namespace lsp {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        const char byte = static_cast<char>(high * 16 + low);
        if (byte == '\0') return std::nullopt;
        bytes.push_back(byte);
        i += 2;
    }
    return bytes;
}

bool unreserved(unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

std::string percentEncoded(std::string_view bytes, bool keepFirstColon) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (unreserved(c) || c == '/' || (c == ':' && keepFirstColon && i == 2)) {
            encoded.push_back(static_cast<char>(c));
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[c >> 4]);
            encoded.push_back(kHex[c & 0x0F]);
        }
    }
    return encoded;
}

bool driveLetter(std::string_view path) {
    // "/c:/..." (or "/c:" alone) as it stands in a URI's path.
    return path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) &&
           (path[2] == ':' || path[2] == '|') && (path.size() == 3 || path[3] == '/');
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

PathStyle nativePathStyle() { return files::separator() == L'\\' ? PathStyle::kWindows : PathStyle::kPosix; }

std::optional<std::wstring> pathFromUri(std::string_view uri, PathStyle style) {
    constexpr std::string_view kScheme = "file:";
    if (uri.size() < kScheme.size() || !equalsIgnoringCase(uri.substr(0, kScheme.size()), kScheme)) return std::nullopt;
    std::string_view rest = uri.substr(kScheme.size());
    rest = rest.substr(0, std::min(rest.find('?'), rest.find('#')));
    std::string_view host;
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        host = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    if (rest.empty() || rest.front() != '/') return std::nullopt;
    std::optional<std::string> path = percentDecoded(rest);
    std::optional<std::string> server = percentDecoded(host);
    if (!path || !server) return std::nullopt;
    const bool local = server->empty() || equalsIgnoringCase(*server, "localhost");
    if (style == PathStyle::kPosix) {
        if (!local) return std::nullopt;
        return text::fromUtf8(*path);
    }
    std::string windows;
    if (!local) {
        windows = "//" + *server + *path;
    } else if (driveLetter(*path)) {
        windows = path->substr(1);
        windows[1] = ':';
        if (windows.size() == 2) windows.push_back('/');
    } else {
        windows = *path;
    }
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return text::fromUtf8(windows);
}

std::string uriFromPath(const std::wstring& path, PathStyle style) {
    std::string bytes = text::toUtf8(path);
    if (style == PathStyle::kPosix) return "file://" + percentEncoded(bytes, false);
    std::replace(bytes.begin(), bytes.end(), '\\', '/');
    if (bytes.size() > 2 && bytes[0] == '/' && bytes[1] == '/') {
        // "\\server\share\x": the server is the URI's host.
        const std::size_t slash = bytes.find('/', 2);
        const std::string server = bytes.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        const std::string rest = slash == std::string::npos ? "/" : bytes.substr(slash);
        return "file://" + percentEncoded(server, false) + percentEncoded(rest, false);
    }
    if (bytes.size() >= 2 && std::isalpha(static_cast<unsigned char>(bytes[0])) && bytes[1] == ':')
        bytes.insert(bytes.begin(), '/');
    return "file://" + percentEncoded(bytes, true);
}

}  // namespace lsp
