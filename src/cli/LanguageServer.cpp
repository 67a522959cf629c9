#include "cli/LanguageServer.h"

#include "cli/Usage.h"
#include "lsp/Server.h"

namespace cli {
namespace {

// Until the skin model answers: the protocol alone, with no names known.
class NoFeatures : public lsp::Features {
public:
    void workspace(const std::optional<std::string>&, lsp::Client&) override {}
    void opened(const lsp::TextDocument&, lsp::Client&) override {}
    void changed(const lsp::TextDocument&, lsp::Client&) override {}
    void saved(const lsp::TextDocument&, lsp::Client&) override {}
    void closed(const std::string&, lsp::Client&) override {}
    std::vector<lsp::Location> definition(const lsp::TextDocument&, lsp::Position) override { return {}; }
    std::vector<lsp::Location> references(const lsp::TextDocument&, lsp::Position, bool) override { return {}; }
    std::optional<lsp::Hover> hover(const lsp::TextDocument&, lsp::Position) override { return std::nullopt; }
};

}  // namespace

int runLanguageServer(const std::vector<std::wstring>& options, Console& console, ProtocolStreams& streams) {
    for (const std::wstring& option : options)
        if (option != L"--stdio") return usage(console, L"unknown option " + option + L" for lsp");
    std::FILE* output = streams.takeOutput();
    if (output == nullptr) {
        console.err(L"quorrel: standard output cannot carry the protocol");
        return kFailed;
    }
    lsp::StreamInput input(streams.input());
    lsp::StreamSink sink(output);
    NoFeatures features;
    return lsp::serve(input, sink, features, lsp::ServerInfo{"quorrel", QUORREL_VERSION});
}

}  // namespace cli
