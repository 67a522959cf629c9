#include "cli/LanguageServer.h"

#include "base/TextCodec.h"
#include "cli/Usage.h"
#include "lsp/Server.h"
#include "lsp/SkinFeatures.h"

namespace cli {
namespace {

// The elements whose text names an image: the controls catalogue's image rows
// (its tags that hold "texture", but for the usealttexture condition).
// The catalogue lives with the controls panel, which the command line does
// not link.
const std::vector<std::wstring> kImageElements = {
    L"alttexturefocus", L"alttexturenofocus", L"bordertexture",    L"texture",        L"texturebg",
    L"texturefocus",    L"textureleft",       L"textureleftfocus", L"texturenofocus", L"textureradiooff",
    L"textureradioon",  L"textureright",      L"texturerightfocus"};

}  // namespace

int runLanguageServer(const std::vector<std::wstring>& options, Console& console, ProtocolStreams& streams) {
    lsp::SkinFeaturesOptions settings;
    settings.imageElements = kImageElements;
    for (const std::wstring& element : kImageElements)
        settings.catalogue.imageElements.push_back(text::toUtf8(element));
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == L"--stdio") continue;
        if (options[i] == L"--core-strings" && i + 1 < options.size() && !options[i + 1].empty()) {
            settings.coreStringsPath = options[++i];
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
