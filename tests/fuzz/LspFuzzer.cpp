// libFuzzer target over the language server's way in: any bytes go through
// the message reader and the dispatcher (lifecycle, documents, requests),
// with features that map every position they are asked about and every URI.
// Whatever arrives, nothing crashes or hangs, and the mappings hold:
// a position's offset lies in the text and maps back to itself, and a URI's
// path makes a URI that gives the same path.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lsp/Server.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "lsp messages: %s\n%s\n", what, detail.c_str());
    std::abort();
}

void checkPosition(const std::string& text, lsp::Position position) {
    const std::size_t offset = lsp::offsetOf(text, position);
    if (offset > text.size()) fail("an offset past the text", text);
    if (lsp::offsetOf(text, lsp::positionOf(text, offset)) != offset) fail("a position that does not map back", text);
}

void checkUri(const std::string& uri) {
    for (lsp::PathStyle style : {lsp::PathStyle::kPosix, lsp::PathStyle::kWindows}) {
        const std::optional<std::wstring> path = lsp::pathFromUri(uri, style);
        if (!path || style == lsp::PathStyle::kWindows) continue;
        if (lsp::pathFromUri(lsp::uriFromPath(*path, style), style) != path) fail("a URI that does not map back", uri);
    }
}

class Checking : public lsp::Features {
public:
    void workspace(const std::optional<std::string>& root, lsp::Client& client) override {
        if (root) checkUri(*root);
        client.logMessage(lsp::MessageType::kLog, "root");
    }
    void opened(const lsp::TextDocument& document, lsp::Client&) override { checkUri(document.uri); }
    void changed(const lsp::TextDocument& document, lsp::Client&) override { checkUri(document.uri); }
    void saved(const lsp::TextDocument&, lsp::Client&) override {}
    void closed(const std::string& uri, lsp::Client&) override { checkUri(uri); }
    std::vector<lsp::Location> definition(const lsp::TextDocument& document, lsp::Position position) override {
        checkPosition(document.text, position);
        return {lsp::Location{document.uri, lsp::Range{position, position}}};
    }
    std::vector<lsp::Location> references(const lsp::TextDocument& document, lsp::Position position, bool) override {
        checkPosition(document.text, position);
        return {};
    }
    std::optional<lsp::Hover> hover(const lsp::TextDocument& document, lsp::Position position) override {
        checkPosition(document.text, position);
        // Text that is no UTF-8 goes out all the same.
        return lsp::Hover{document.text.substr(0, 64), lsp::Range{position, position}};
    }
};

struct Discard : lsp::MessageSink {
    void send(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lsp::MemoryInput input(std::string_view(reinterpret_cast<const char*>(data), size));
    Discard sink;
    Checking features;
    lsp::ServerInfo info{"quorrel", "fuzz", lsp::PathStyle::kPosix, nullptr};
    lsp::serve(input, sink, features, info);
    return 0;
}
