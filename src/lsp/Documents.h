// The documents the client has open, with the text it sent (which may differ
// from the file on disk), kept up to date from its full and incremental
// changes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/Positions.h"
#include "lsp/Uri.h"

namespace lsp {

struct TextDocument {
    std::string uri;
    std::wstring path;  // empty when the URI is no file's
    std::string languageId;
    long long version = 0;
    std::string text;  // UTF-8
};

// One change of a didChange notification: the whole text, or a range
// replaced by new text.
struct TextChange {
    std::optional<Range> range;
    std::string text;
};

// Applies the changes in order (each one's range is in the text that the
// ones before it left).
void applyChanges(std::string& text, const std::vector<TextChange>& changes);

class Documents {
public:
    explicit Documents(PathStyle style) : style_(style) {}

    const TextDocument& open(const std::string& uri, const std::string& languageId, long long version,
                             std::string text);
    // Nothing when the document is not open.
    const TextDocument* change(const std::string& uri, long long version, const std::vector<TextChange>& changes);
    void close(const std::string& uri);

    const TextDocument* find(const std::string& uri) const;
    const std::map<std::string, TextDocument>& all() const { return open_; }

private:
    PathStyle style_;
    std::map<std::string, TextDocument> open_;
};

}  // namespace lsp
