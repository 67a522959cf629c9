// `file:` URIs, as the protocol names documents, and the file paths they
// stand for. Paths are UTF-8 in the URI, percent-encoded; in the program
// they are UTF-16 (std::wstring) in the platform's form: "/home/a b/x.xml"
// natively, "C:\skin\x.xml" or "\\server\share\x.xml" on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lsp {

enum class PathStyle { kPosix, kWindows };

// The style of the platform the program runs on.
PathStyle nativePathStyle();

// The path of a `file:` URI; nothing for another scheme, a malformed
// percent-escape, an escaped NUL, or (natively) a host other than
// "localhost". A drive letter's colon may come escaped ("/c%3A/x").
std::optional<std::wstring> pathFromUri(std::string_view uri, PathStyle style);

// The `file:` URI of an absolute path; every byte other than letters, digits,
// "-._~" and the folder separators is percent-encoded (so is a colon, but a
// drive letter's).
std::string uriFromPath(const std::wstring& path, PathStyle style);

}  // namespace lsp
