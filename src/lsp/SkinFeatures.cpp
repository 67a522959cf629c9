#include "lsp/SkinFeatures.h"

#include <algorithm>

#include "base/TextCodec.h"
#include "skin/WindowOutline.h"

namespace lsp {
namespace {

// The model's paths have backslashes between folders on every system.
std::wstring modelPath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring parentOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::string keyOf(const std::wstring& path) { return skin::NameKey(text::toUtf8(path)); }

// The system's form of a model's path: natively, slashes between folders.
std::wstring systemPath(std::wstring path, PathStyle style) {
    if (style == PathStyle::kPosix) std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

// Markdown's special characters, escaped so that the text reads as it is.
std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (std::string_view("\\`*_{}[]<>()#+-.!|~&").find(c) != std::string_view::npos) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// Plain lines as Markdown lines (each a line of its own).
std::string markdownLines(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (!out.empty()) out += "  \n";
        out += escaped(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string fileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return text::toUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

// A longer fence than any run of backticks in the text.
std::string fenceFor(std::string_view text) {
    std::size_t longest = 0, run = 0;
    for (char c : text) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return std::string(std::max<std::size_t>(3, longest + 1), '`');
}

int completionKind(skin::CompletionContext context, skin::SymbolKind kind) {
    if (context == skin::CompletionContext::ElementName) return 10;  // Property
    if (context == skin::CompletionContext::ControlType) return 7;   // Class
    switch (kind) {
    case skin::SymbolKind::Include:
        return 9;  // Module
    case skin::SymbolKind::Param:
        return 5;  // Field
    case skin::SymbolKind::Variable:
        return 6;  // Variable
    case skin::SymbolKind::Expression:
        return 3;  // Function
    case skin::SymbolKind::Constant:
        return 21;  // Constant
    case skin::SymbolKind::Font:
        return 12;  // Value
    case skin::SymbolKind::Colour:
        return 16;  // Color
    case skin::SymbolKind::String:
        return 1;  // Text
    case skin::SymbolKind::Texture:
        return 17;  // File
    case skin::SymbolKind::IncludeFile:
        return 17;
    }
    return 1;
}

}  // namespace

SkinFeatures::SkinFeatures(std::unique_ptr<DirectoryLister> lister, SkinFeaturesOptions options)
    : lister_(std::move(lister)), options_(std::move(options)) {}

SkinFeatures::~SkinFeatures() = default;

SkinFeatures::Skin& SkinFeatures::skinFor(const std::wstring& windowFolder, Client* client) {
    Skin& skin = skins_[keyOf(parentOf(windowFolder))];
    if (!skin.model) {
        skin::SkinModelOptions options;
        options.imageElements = options_.imageElements;
        options.coreStringsPath = options_.coreStringsPath;
        options.coreColoursPath = options_.coreColoursPath;
        const PathStyle style = options_.pathStyle;
        skin.model = std::make_unique<skin::SkinModel>(
            *lister_,
            [style](const std::wstring& path, std::string& bytes) {
                return skin::ReadWholeFile(systemPath(path, style), bytes);
            },
            [style](const std::wstring& path, std::vector<skin::BundleEntryInfo>& entries) {
                return skin::ReadBundleInfo(systemPath(path, style), entries);
            },
            options);
    }
    skin.windowFolder = windowFolder;
    skin.model->refresh(windowFolder);
    if (client != nullptr) logProblems(skin, *client);
    return skin;
}

SkinFeatures::Skin* SkinFeatures::skinOf(const std::wstring& path, Client* client) {
    // A file the model already holds (an include file, a colour theme, a
    // strings file) belongs to that skin, wherever it lies in it.
    for (auto& [key, skin] : skins_) {
        if (skin.model->file(path) != nullptr) {
            skin.model->refresh(skin.windowFolder);
            if (client != nullptr) logProblems(skin, *client);
            return &skin;
        }
    }
    // A window folder and a skin folder above it, or no skin at all.
    const std::wstring folder = parentOf(path);
    if (parentOf(folder).empty()) return nullptr;
    return &skinFor(folder, client);
}

void SkinFeatures::logProblems(Skin& skin, Client& client) {
    for (const skin::ModelProblem& problem : skin.model->problems()) {
        const std::string line = text::toUtf8(systemPath(problem.path, options_.pathStyle)) + ": " + problem.reason;
        if (skin.logged.insert(line).second) client.logMessage(MessageType::kWarning, line);
    }
}

void SkinFeatures::workspace(const std::optional<std::string>& rootUri, Client& client) {
    if (!rootUri) return;
    const std::optional<std::wstring> root = pathFromUri(*rootUri, options_.pathStyle);
    if (!root || root->empty()) return;
    const std::wstring folder = modelPath(*root);
    // The root is a window folder, a skin folder or a folder of skins: the
    // first folder (by name) with an include file is read now, the others
    // when a document of theirs opens.
    const auto hasIncludes = [this](const std::wstring& where) {
        std::vector<DirItem> items;
        return lister_->list(where + L"\\includes.xml", items);
    };
    const auto subfolders = [this](const std::wstring& where) {
        std::vector<DirItem> items;
        std::vector<std::wstring> out;
        if (lister_->list(where + L"\\*", items)) {
            for (const DirItem& item : items)
                if (item.isFolder && !item.isLink && item.name != L"." && item.name != L"..")
                    out.push_back(where + L"\\" + item.name);
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    std::vector<std::wstring> candidates{folder};
    for (const std::wstring& child : subfolders(folder)) {
        candidates.push_back(child);
        for (const std::wstring& grandchild : subfolders(child)) candidates.push_back(grandchild);
    }
    for (const std::wstring& candidate : candidates) {
        if (!hasIncludes(candidate)) continue;
        Skin& skin = skinFor(candidate, &client);
        client.logMessage(MessageType::kInfo,
                          "skin " + text::toUtf8(systemPath(skin.model->skinFolder(), options_.pathStyle)) + ": " +
                              std::to_string(skin.model->files().size()) + " files read");
        return;
    }
    client.logMessage(MessageType::kInfo,
                      "no skin below " + text::toUtf8(*root) + "; each opened document's skin is read from its folder");
}

void SkinFeatures::opened(const TextDocument& document, Client& client) {
    if (document.path.empty()) return;
    const std::wstring path = modelPath(document.path);
    openUris_[keyOf(path)] = document.uri;
    Skin* skin = skinOf(path, &client);
    if (skin == nullptr) return;
    skin->model->setOverlay(path, document.text);
    publishFindings(*skin, client);
}

void SkinFeatures::changed(const TextDocument& document, Client& client) {
    if (document.path.empty()) return;
    const std::wstring path = modelPath(document.path);
    Skin* skin = skinOf(path, &client);
    if (skin == nullptr) return;
    skin->model->setOverlay(path, document.text);
    publishFindings(*skin, client);
}

void SkinFeatures::saved(const TextDocument& document, Client& client) {
    if (document.path.empty()) return;
    if (Skin* skin = skinOf(modelPath(document.path), &client)) publishFindings(*skin, client);
}

void SkinFeatures::closed(const std::string& uri, Client& client) {
    const std::optional<std::wstring> path = pathFromUri(uri, options_.pathStyle);
    if (!path) return;
    const std::wstring inModel = modelPath(*path);
    if (openUris_.erase(keyOf(inModel)) != 0) client.publishDiagnostics(uri, {});
    for (auto& [key, skin] : skins_) {
        if (skin.model->file(inModel) == nullptr) continue;
        // The file on disk stands for the document again.
        skin.model->clearOverlay(inModel);
        publishFindings(skin, client);
    }
}

void SkinFeatures::publishFindings(Skin& skin, Client& client) {
    const skin::SkinModel& model = *skin.model;
    for (const auto& file : model.files()) {
        const auto open = openUris_.find(keyOf(file->path));
        if (open == openUris_.end()) continue;
        std::vector<Diagnostic> diagnostics;
        for (const skin::CheckFinding& finding : skin.checker.checkFile(model, file->path)) {
            if (finding.at.line == 0) continue;
            Diagnostic d;
            d.range = location(model, finding.at).range;
            d.severity = finding.rule->severity == skin::Severity::Error ? 1 : 2;
            d.code = finding.rule->id;
            d.message = finding.message;
            diagnostics.push_back(std::move(d));
        }
        client.publishDiagnostics(open->second, diagnostics);
    }
}

std::string SkinFeatures::uriOf(const std::wstring& path) const {
    const auto open = openUris_.find(keyOf(path));
    if (open != openUris_.end()) return open->second;
    return uriFromPath(systemPath(path, options_.pathStyle), options_.pathStyle);
}

Location SkinFeatures::location(const skin::SkinModel& model, const skin::Location& at) const {
    Location result;
    result.uri = uriOf(at.path);
    if (at.line == 0) return result;  // a whole file (a texture)
    const std::string line = model.lineText(at);
    const std::size_t start = std::min<std::size_t>(at.column, line.size());
    const std::size_t end = std::min<std::size_t>(start + at.length, line.size());
    result.range.start = {at.line - 1u, utf16Length(std::string_view(line).substr(0, start))};
    result.range.end = {at.line - 1u, utf16Length(std::string_view(line).substr(0, end))};
    return result;
}

SkinFeatures::Lookup SkinFeatures::lookup(const TextDocument& document, Position position) {
    Lookup found;
    if (document.path.empty()) return found;
    const std::wstring path = modelPath(document.path);
    Skin* skin = skinOf(path, nullptr);
    if (skin == nullptr) return found;
    const std::size_t lineStart = offsetOf(document.text, Position{position.line, 0});
    const std::size_t at = offsetOf(document.text, position);
    if (position.line >= UINT32_MAX || at - lineStart >= UINT32_MAX) return found;
    found.skin = skin;
    found.name = skin->model->nameAt(path, document.text, static_cast<std::uint32_t>(position.line + 1),
                                     static_cast<std::uint32_t>(at - lineStart));
    return found;
}

SkinFeatures::IdLookup SkinFeatures::controlId(const TextDocument& document, Position position) {
    IdLookup found;
    if (document.path.empty()) return found;
    const std::wstring path = modelPath(document.path);
    Skin* skin = skinOf(path, nullptr);
    const skin::SkinFile* file = skin != nullptr ? skin->model->file(path) : nullptr;
    if (file == nullptr || file->text != document.text) return found;
    const std::size_t lineStart = offsetOf(document.text, Position{position.line, 0});
    const std::size_t at = offsetOf(document.text, position);
    if (position.line >= UINT32_MAX || at - lineStart >= UINT32_MAX) return found;
    found.site = skin::ControlIdAt(*skin->model, path, static_cast<std::uint32_t>(position.line + 1),
                                   static_cast<std::uint32_t>(at - lineStart));
    if (found.site.found) found.skin = skin;
    return found;
}

std::vector<DocumentSymbol> SkinFeatures::documentSymbols(const TextDocument& document) {
    std::vector<DocumentSymbol> out;
    if (document.path.empty()) return out;
    const std::wstring path = modelPath(document.path);
    Skin* skin = skinOf(path, nullptr);
    const skin::ExpandedWindow* window = skin != nullptr ? skin->model->expandedWindow(path) : nullptr;
    if (window == nullptr) return out;
    const skin::SkinModel& model = *skin->model;
    auto convert = [&](auto&& self, const skin::OutlineEntry& entry) -> DocumentSymbol {
        DocumentSymbol symbol;
        symbol.name = entry.name;
        symbol.detail = entry.detail;
        // A control an include brings stands at the call in this document;
        // its detail says where it is written.
        symbol.range.start = location(model, entry.inWindow).range.start;
        symbol.range.end = location(model, entry.inWindowEnd).range.start;
        symbol.selectionRange = entry.fromInclude ? symbol.range : location(model, entry.at).range;
        for (const skin::OutlineEntry& child : entry.children) symbol.children.push_back(self(self, child));
        return symbol;
    };
    for (const skin::OutlineEntry& entry : skin::BuildWindowOutline(*window)) out.push_back(convert(convert, entry));
    return out;
}

std::vector<Location> SkinFeatures::definition(const TextDocument& document, Position position) {
    if (const IdLookup id = controlId(document, position); id.skin != nullptr) {
        std::vector<Location> targets;
        for (const skin::ControlTarget& target : skin::ControlIdDefinitions(id.site))
            targets.push_back(location(*id.skin->model, target.at));
        return targets;
    }
    const Lookup found = lookup(document, position);
    std::vector<Location> out;
    if (found.skin == nullptr || !found.name.found || found.name.form != skin::ReferenceForm::Name) return out;
    const skin::SkinModel& model = *found.skin->model;
    for (const skin::Definition* definition : model.definitions(found.name.kind, found.name.name, found.name.scope)) {
        // A bundle's entry has no text to show.
        if (definition->kind == skin::SymbolKind::Texture && definition->group == "bundle") continue;
        out.push_back(location(model, definition->nameAt.length != 0 ? definition->nameAt : definition->at));
    }
    return out;
}

std::vector<Location> SkinFeatures::references(const TextDocument& document, Position position,
                                               bool includeDeclaration) {
    if (const IdLookup id = controlId(document, position); id.skin != nullptr) {
        std::vector<Location> places;
        if (includeDeclaration) {
            for (const skin::ControlTarget& target : skin::ControlIdDefinitions(id.site))
                places.push_back(location(*id.skin->model, target.at));
        }
        for (const skin::Location& at : skin::ControlIdReferences(id.site))
            places.push_back(location(*id.skin->model, at));
        return places;
    }
    const Lookup found = lookup(document, position);
    std::vector<Location> out;
    if (found.skin == nullptr || !found.name.found || found.name.form != skin::ReferenceForm::Name) return out;
    const skin::SkinModel& model = *found.skin->model;
    const skin::NameAt& name = found.name;
    if (includeDeclaration) {
        for (const skin::Definition* definition : model.definitions(name.kind, name.name, name.scope)) {
            if (definition->kind == skin::SymbolKind::Texture && definition->group == "bundle") continue;
            out.push_back(location(model, definition->nameAt.length != 0 ? definition->nameAt : definition->at));
        }
    }
    for (const skin::SymbolReference* reference : model.references(name.kind, name.name, name.scope))
        out.push_back(location(model, reference->at));
    return out;
}

std::optional<Hover> SkinFeatures::hover(const TextDocument& document, Position position) {
    if (const IdLookup id = controlId(document, position); id.skin != nullptr) {
        Hover result;
        result.markdown = markdownLines(skin::ControlIdHover(id.site));
        result.range = location(*id.skin->model, id.site.at).range;
        return result;
    }
    const Lookup found = lookup(document, position);
    if (found.skin == nullptr || !found.name.found) return std::nullopt;
    const skin::SkinModel& model = *found.skin->model;
    const skin::NameAt& name = found.name;
    const std::string plain = model.hover(name);
    if (plain.empty()) return std::nullopt;
    Hover result;
    const std::vector<const skin::Definition*> definitions = model.definitions(name.kind, name.name, name.scope);
    const bool markup = name.kind == skin::SymbolKind::Include || name.kind == skin::SymbolKind::Variable ||
                        name.kind == skin::SymbolKind::Expression;
    if (markup && !definitions.empty()) {
        // The definition's own text, as the XML it is, and where it stands.
        const skin::Definition& first = *definitions.front();
        const std::string fence = fenceFor(first.value);
        result.markdown = "**" + std::string(skin::symbolKindName(name.kind)) + "** `" + name.name + "`\n\n" + fence +
                          "xml\n" + first.value + "\n" + fence + "\n\n" +
                          escaped("Defined in " + fileNameOf(first.at.path) +
                                  (first.at.line != 0 ? ", line " + std::to_string(first.at.line) : ""));
    } else {
        result.markdown = markdownLines(plain);
    }
    if (name.at.line != 0) result.range = location(model, name.at).range;
    return result;
}

std::vector<CompletionItem> SkinFeatures::completion(const TextDocument& document, Position position) {
    std::vector<CompletionItem> out;
    if (document.path.empty()) return out;
    Skin* skin = skinOf(modelPath(document.path), nullptr);
    if (skin == nullptr) return out;
    const skin::CompletionSite site =
        skin::FindCompletionSite(document.text, offsetOf(document.text, position), options_.catalogue);
    if (site.context == skin::CompletionContext::None) return out;
    const Range edit{positionOf(document.text, site.start), positionOf(document.text, site.end)};
    const std::string typedKey = skin::NameKey(site.typed);
    for (skin::CompletionEntry& entry : skin::CompletionEntries(*skin->model, site, options_.catalogue)) {
        CompletionItem item;
        item.kind = completionKind(site.context, entry.kind);
        item.newText = skin::CompletionInsertText(document.text, site, entry.name);
        // Found by its text: the client must not filter it out by the label.
        if (skin::NameKey(entry.name).find(typedKey) == std::string::npos) item.filterText = site.typed;
        item.label = std::move(entry.name);
        item.detail = std::move(entry.detail);
        item.edit = edit;
        out.push_back(std::move(item));
    }
    return out;
}

}  // namespace lsp
