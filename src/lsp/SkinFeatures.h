// The protocol's features over the skin model: one model per skin, found from
// the workspace's root or from each document's folder (the skin folder is the
// window folder's parent); the open documents' text stands for their files.
// Models are built when first needed, on the server's thread, and brought up
// to date (sizes and times) before each answer, so an answer always reflects
// the files as they are. What a model could not read is logged to the client
// once.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lsp/Features.h"
#include "lsp/Uri.h"
#include "skin/DirectoryReader.h"
#include "skin/Completion.h"
#include "skin/ControlIds.h"
#include "skin/SkinCheck.h"
#include "skin/SkinModel.h"

namespace lsp {

struct SkinFeaturesOptions {
    std::vector<std::wstring> imageElements;  // the elements whose text names an image
    std::wstring coreStringsPath;             // the media center's own strings.po, or empty
    std::wstring coreColoursPath;             // the media center's own colours file, or empty
    skin::CompletionCatalogue catalogue;      // control types and their elements, image elements
    PathStyle pathStyle = nativePathStyle();
};

class SkinFeatures : public Features {
public:
    SkinFeatures(std::unique_ptr<DirectoryLister> lister, SkinFeaturesOptions options);
    ~SkinFeatures() override;

    void workspace(const std::optional<std::string>& rootUri, Client& client) override;
    void opened(const TextDocument& document, Client& client) override;
    void changed(const TextDocument& document, Client& client) override;
    void saved(const TextDocument& document, Client& client) override;
    void closed(const std::string& uri, Client& client) override;

    std::vector<Location> definition(const TextDocument& document, Position position) override;
    std::vector<Location> references(const TextDocument& document, Position position, bool includeDeclaration) override;
    std::optional<Hover> hover(const TextDocument& document, Position position) override;
    std::vector<CompletionItem> completion(const TextDocument& document, Position position) override;
    std::vector<DocumentSymbol> documentSymbols(const TextDocument& document) override;

private:
    struct Skin {
        std::unique_ptr<skin::SkinModel> model;
        skin::SkinChecker checker;
        std::wstring windowFolder;     // the folder the model was last read for
        std::set<std::string> logged;  // problems already told
    };
    // The name under a position, and the skin that knows it.
    struct Lookup {
        Skin* skin = nullptr;
        skin::NameAt name;
    };

    // The skin of a file (the model's path form), read or brought up to date;
    // nothing for a file with no folder above its own.
    Skin* skinOf(const std::wstring& path, Client* client);
    Skin& skinFor(const std::wstring& windowFolder, Client* client);
    void logProblems(Skin& skin, Client& client);
    // The check's findings of every open document of the skin.
    void publishFindings(Skin& skin, Client& client);
    Lookup lookup(const TextDocument& document, Position position);
    // The control id under a position, when the model holds the document's text.
    struct IdLookup {
        Skin* skin = nullptr;
        skin::ControlIdSite site;
    };
    IdLookup controlId(const TextDocument& document, Position position);
    Location location(const skin::SkinModel& model, const skin::Location& at) const;
    std::string uriOf(const std::wstring& path) const;

    std::unique_ptr<DirectoryLister> lister_;
    SkinFeaturesOptions options_;
    std::map<std::string, Skin> skins_;            // by the skin folder's key
    std::map<std::string, std::string> openUris_;  // an open document's URI by its path's key
};

}  // namespace lsp
