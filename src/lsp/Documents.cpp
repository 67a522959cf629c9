#include "lsp/Documents.h"

#include <algorithm>

namespace lsp {

void applyChanges(std::string& text, const std::vector<TextChange>& changes) {
    for (const TextChange& change : changes) {
        if (!change.range) {
            text = change.text;
            continue;
        }
        std::size_t start = offsetOf(text, change.range->start);
        std::size_t end = offsetOf(text, change.range->end);
        if (end < start) std::swap(start, end);
        text.replace(start, end - start, change.text);
    }
}

const TextDocument& Documents::open(const std::string& uri, const std::string& languageId, long long version,
                                    std::string text) {
    TextDocument& document = open_[uri];
    document.uri = uri;
    document.path = pathFromUri(uri, style_).value_or(std::wstring());
    document.languageId = languageId;
    document.version = version;
    document.text = std::move(text);
    return document;
}

const TextDocument* Documents::change(const std::string& uri, long long version,
                                      const std::vector<TextChange>& changes) {
    const auto found = open_.find(uri);
    if (found == open_.end()) return nullptr;
    applyChanges(found->second.text, changes);
    found->second.version = version;
    return &found->second;
}

void Documents::close(const std::string& uri) { open_.erase(uri); }

const TextDocument* Documents::find(const std::string& uri) const {
    const auto found = open_.find(uri);
    return found == open_.end() ? nullptr : &found->second;
}

}  // namespace lsp
