#include "cli/LanguageServer.h"

#include "base/TextCodec.h"
#include "cli/ImageElements.h"
#include "cli/Usage.h"
#include "lsp/Server.h"
#include "lsp/SkinFeatures.h"

namespace cli {

int runLanguageServer(const std::vector<std::wstring>& options, Console& console, ProtocolStreams& streams) {
    lsp::SkinFeaturesOptions settings;
    settings.imageElements = imageElements();
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == L"--stdio") continue;
        const bool valued = i + 1 < options.size() && !options[i + 1].empty();
        if (options[i] == L"--core-strings" && valued) {
            settings.coreStringsPath = options[++i];
            continue;
        }
        if (options[i] == L"--core-colours" && valued) {
            settings.coreColoursPath = options[++i];
            continue;
        }
        return usage(console, L"unknown option " + options[i] + L" for lsp");
    }
    std::FILE* output = streams.takeOutput();
    if (output == nullptr) {
        console.err(L"quorrel: standard output cannot carry the protocol");
        return kFailed;
    }
    lsp::StreamInput input(streams.input());
    lsp::StreamSink sink(output);
    lsp::SkinFeatures features(makePlatformDirectoryLister(), settings);
    return lsp::serve(input, sink, features, lsp::ServerInfo{"quorrel", QUORREL_VERSION});
}

}  // namespace cli
