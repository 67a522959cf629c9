#include "skin/SkinModel.h"

#include "skin/SkinModelImpl.h"

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "skin/SkinReferences.h"
#include "textures/OrtReader.h"

#include <algorithm>
#include <unordered_set>

namespace skin {

const char* symbolKindName(SymbolKind kind) {
    switch (kind) {
    case SymbolKind::Include:
        return "include";
    case SymbolKind::Param:
        return "parameter";
    case SymbolKind::Variable:
        return "variable";
    case SymbolKind::Expression:
        return "expression";
    case SymbolKind::Constant:
        return "constant";
    case SymbolKind::Font:
        return "font";
    case SymbolKind::Colour:
        return "colour";
    case SymbolKind::String:
        return "string";
    case SymbolKind::Texture:
        return "texture";
    case SymbolKind::IncludeFile:
        return "include file";
    }
    return "";
}

bool ReadBundleInfo(const std::wstring& path, std::vector<BundleEntryInfo>& out) {
    OrtReader reader;
    if (!reader.Open(path)) {
        return false;
    }
    out.clear();
    out.reserve(reader.entries().size());
    for (const OrtEntry& entry : reader.entries()) {
        BundleEntryInfo info;
        info.name = entry.path;
        if (!entry.frames.empty()) {
            info.width = entry.frames.front().width;
            info.height = entry.frames.front().height;
        }
        out.push_back(std::move(info));
    }
    return true;
}

SkinModel::SkinModel(DirectoryLister& lister, FileReader readFile, BundleInfoReader readBundle,
                     SkinModelOptions options)
    : impl_(std::make_unique<Impl>(lister, std::move(readFile), std::move(readBundle), std::move(options))) {}

SkinModel::~SkinModel() = default;

bool SkinModel::refresh(const std::wstring& documentFolder) {
    Impl& m = *impl_;
    const std::wstring folder = NormaliseFolder(documentFolder);
    bool changed = false;
    if (!m.loaded || keyOf(folder) != keyOf(m.documentFolder)) {
        m.loaded = true;
        m.documentFolder = folder;
        m.sep = folder.find(L'\\') == std::wstring::npos && folder.find(L'/') != std::wstring::npos ? L'/' : L'\\';
        const std::size_t last = folder.rfind(m.sep);
        m.skinFolder = last == std::wstring::npos ? std::wstring() : folder.substr(0, last);
        m.files.clear();
        m.textures.clear();
        m.computeLayout();
        const std::wstring media = m.child(m.skinFolder, L"media", true);
        m.mediaFolder = media.empty() ? m.join(m.skinFolder, L"media") : media;
        const std::wstring bundle = m.child(m.mediaFolder, L"textures.ort", false);
        m.bundlePath = bundle.empty() ? m.join(m.mediaFolder, L"textures.ort") : bundle;
        m.loadMedia();
        m.loadBundle();
        m.reconcile();
        m.rebuildIndex();
        return true;
    }
    if (m.changedStamps(m.layoutStamps)) {
        m.computeLayout();
        changed = true;
    }
    if (m.changedStamps(m.mediaStamps)) {
        m.loadMedia();
        changed = true;
    }
    if (m.changedStamps(m.bundleStamps)) {
        m.loadBundle();
        changed = true;
    }
    changed = m.reconcile() || changed;
    if (changed) m.rebuildIndex();
    return changed;
}

void SkinModel::setOverlay(const std::wstring& path, std::string text) {
    Impl& m = *impl_;
    const std::wstring key = keyOf(path);
    auto it = m.overlays.find(key);
    if (it != m.overlays.end() && it->second == text) return;
    m.overlays[key] = std::move(text);
    SkinFile* f = m.find(path);
    if (!f) return;
    SkinFile scanned;
    scanned.path = f->path;
    scanned.role = f->role;
    scanned.group = f->group;
    scanned.overlay = true;
    scanned.text = m.overlays[key];
    ScanSkinFile(scanned, m.images);
    // Most edits leave the file's definitions as they were (the same names in
    // the same order): then they are updated in place and the index, which
    // points at them, still holds.
    const bool sameNames = scanned.includedFiles == f->includedFiles &&
                           scanned.definitions.size() == f->definitions.size() &&
                           std::equal(scanned.definitions.begin(), scanned.definitions.end(), f->definitions.begin(),
                                      [](const Definition& a, const Definition& b) {
                                          return a.kind == b.kind && a.name == b.name && a.scope == b.scope &&
                                                 a.group == b.group && a.primary == b.primary;
                                      });
    if (sameNames) {
        for (std::size_t k = 0; k < scanned.definitions.size(); ++k) {
            f->definitions[k].at = std::move(scanned.definitions[k].at);
            f->definitions[k].nameAt = std::move(scanned.definitions[k].nameAt);
            f->definitions[k].value = std::move(scanned.definitions[k].value);
        }
        scanned.definitions = std::move(f->definitions);
    }
    scanned.stamp = f->stamp;
    *f = std::move(scanned);
    if (sameNames) {
        m.expandAfterEdit(*f);
        return;
    }
    m.reconcile();
    m.rebuildIndex();
}

void SkinModel::clearOverlay(const std::wstring& path) {
    Impl& m = *impl_;
    if (m.overlays.erase(keyOf(path)) == 0) return;
    if (m.loaded && m.find(path)) {
        m.reconcile();
        m.rebuildIndex();
    }
}

void SkinModel::setCoreStringsPath(const std::wstring& path) {
    Impl& m = *impl_;
    if (m.options.coreStringsPath == path) return;
    m.options.coreStringsPath = path;
    if (m.loaded) {
        m.computeLayout();
        m.reconcile();
        m.rebuildIndex();
    }
}

void SkinModel::setCoreColoursPath(const std::wstring& path) {
    Impl& m = *impl_;
    if (m.options.coreColoursPath == path) return;
    m.options.coreColoursPath = path;
    if (m.loaded) {
        m.computeLayout();
        m.reconcile();
        m.rebuildIndex();
    }
}

const std::wstring& SkinModel::skinFolder() const { return impl_->skinFolder; }
const std::vector<std::wstring>& SkinModel::windowFolders() const { return impl_->windowFolders; }
const std::wstring& SkinModel::bundlePath() const { return impl_->bundlePath; }
const std::vector<std::unique_ptr<SkinFile>>& SkinModel::files() const { return impl_->files; }
const SkinFile* SkinModel::file(const std::wstring& path) const { return impl_->find(path); }
const std::vector<Definition>& SkinModel::textures() const { return impl_->textures; }
int SkinModel::fileReads() const { return impl_->reads; }

std::vector<ModelProblem> SkinModel::problems() const {
    const Impl& m = *impl_;
    std::vector<ModelProblem> out = m.missing;
    for (const auto& f : m.files) {
        if (!f->problem.empty()) out.push_back({f->path, f->problem});
    }
    out.insert(out.end(), m.missingRefs.begin(), m.missingRefs.end());
    if (!m.bundleProblem.empty()) out.push_back({m.bundlePath, m.bundleProblem});
    for (const auto& window : m.expanded) {
        for (const std::string& note : window->notes()) out.push_back({window->path(), note});
    }
    return out;
}

std::vector<const Definition*> SkinModel::definitions(SymbolKind kind, std::string_view name,
                                                      std::string_view scope) const {
    const auto it = impl_->index.find(lookupKey(kind, name, scope));
    return it == impl_->index.end() ? std::vector<const Definition*>() : it->second;
}

std::vector<const SymbolReference*> SkinModel::references(SymbolKind kind, std::string_view name,
                                                          std::string_view scope) const {
    std::vector<const SymbolReference*> out;
    const bool folded = kind == SymbolKind::Texture || kind == SymbolKind::IncludeFile;
    const std::string key = folded ? NameKey(name) : std::string(name);
    for (const auto& f : impl_->files) {
        for (const SymbolReference& r : f->references) {
            if (r.kind != kind || r.form != ReferenceForm::Name) continue;
            if (kind == SymbolKind::Param && r.scope != scope) continue;
            if (folded ? NameKey(r.name) == key : r.name == key) out.push_back(&r);
        }
    }
    return out;
}

NameAt SkinModel::nameAt(const std::wstring& path, std::string_view text, std::uint32_t line,
                         std::uint32_t column) const {
    const Impl& m = *impl_;
    const SkinFile* held = m.find(path);
    SkinFile scratch;
    const SkinFile* f = held;
    if (!held || held->text != text) {
        scratch.path = held ? held->path : path;
        scratch.role = held ? held->role : FileRole::Window;
        scratch.group = held ? held->group : std::string();
        scratch.text = std::string(text);
        ScanSkinFile(scratch, m.images);
        f = &scratch;
    }
    NameAt out;
    std::uint32_t best = UINT32_MAX;
    auto on = [&](const Location& at) {
        return at.line == line && column >= at.column && column <= at.column + at.length && at.length < best;
    };
    for (const SymbolReference& r : f->references) {
        if (!on(r.at)) continue;
        best = r.at.length;
        out.found = true;
        out.isDefinition = false;
        out.kind = r.kind;
        out.form = r.form;
        out.name = r.name;
        out.scope = r.scope;
        out.context = r.context;
        out.at = r.at;
    }
    for (const Definition& d : f->definitions) {
        if (!on(d.nameAt) || d.nameAt.length == 0) continue;
        best = d.nameAt.length;
        out.found = true;
        out.isDefinition = true;
        out.kind = d.kind;
        out.form = ReferenceForm::Name;
        out.name = d.name;
        out.scope = d.scope;
        out.context = d.kind == SymbolKind::Param ? d.scope : std::string();
        out.at = d.nameAt;
    }
    if (out.found) out.at.path = path;
    return out;
}

std::string SkinModel::lineText(const Location& at) const {
    const SkinFile* f = impl_->find(at.path);
    if (!f || at.line == 0 || at.line > f->lineStarts.size()) return std::string();
    const std::size_t begin = f->lineStarts[at.line - 1];
    std::size_t end = at.line < f->lineStarts.size() ? f->lineStarts[at.line] : f->text.size();
    while (end > begin && (f->text[end - 1] == '\n' || f->text[end - 1] == '\r')) --end;
    return f->text.substr(begin, end - begin);
}

std::string SkinModel::hover(const NameAt& name) const {
    if (!name.found || name.form != ReferenceForm::Name) return std::string();
    const std::vector<const Definition*> defs = definitions(name.kind, name.name, name.scope);
    const std::string what = std::string(symbolKindName(name.kind)) + " " + name.name;
    auto where = [](const Definition& d) {
        return "Defined in " + fileName(d.at.path) + (d.at.line ? ", line " + std::to_string(d.at.line) : "");
    };
    if (defs.empty()) {
        if (name.kind == SymbolKind::Param) {
            return "Parameter " + name.name + " of include " + name.scope +
                   ": not declared (empty unless a call passes it)";
        }
        return "No definition of " + what;
    }
    const Definition& first = *defs.front();
    switch (name.kind) {
    case SymbolKind::String:
        return first.value;
    case SymbolKind::Colour:
    case SymbolKind::Font: {
        std::string out = what;
        for (const Definition* d : defs) out += "\n" + d->group + ": " + d->value;
        return out;
    }
    case SymbolKind::Param:
        return "Parameter " + name.name + " of include " + name.scope +
               (first.value.empty() ? std::string() : ", default: " + first.value) + "\n" + where(first);
    case SymbolKind::Constant:
        return what + " = " + first.value + "\n" + where(first);
    case SymbolKind::Expression:
        return what + ": " + first.value + "\n" + where(first);
    case SymbolKind::Include:
    case SymbolKind::Variable:
        return first.value + "\n" + where(first);
    case SymbolKind::IncludeFile:
        return what + "\n" + text::toUtf8(first.at.path);
    case SymbolKind::Texture: {
        std::string out = what;
        for (const Definition* d : defs) {
            if (d->group == "bundle") {
                out += "\n" + d->value + " (in " + fileName(d->at.path) + ")";
                continue;
            }
            std::string bytes;
            std::uint32_t w = 0;
            std::uint32_t h = 0;
            if (impl_->readFile && impl_->readFile(d->at.path, bytes) && imageSize(bytes, w, h)) {
                out += "\n" + std::to_string(w) + " x " + std::to_string(h) + " pixels (on disk)";
            } else {
                out += "\n(on disk, size not known)";
            }
        }
        return out;
    }
    }
    return std::string();
}

std::vector<std::string> SkinModel::includeNames() const {
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const std::wstring& key : impl_->includeOrder) {
        const SkinFile* f = impl_->find(key);
        if (!f) continue;
        for (const Definition& d : f->definitions) {
            if (d.kind == SymbolKind::Include && seen.insert(d.name).second) out.push_back(d.name);
        }
    }
    return out;
}

std::vector<std::wstring> SkinModel::imageNames() const {
    std::vector<std::wstring> out;
    for (const Definition& d : impl_->textures) {
        if (d.group == "bundle") out.push_back(text::fromUtf8(d.name));
    }
    for (const char* extension : {".png", ".jpg", ".bmp"}) {
        for (const Definition& d : impl_->textures) {
            const std::string key = NameKey(d.name);
            if (d.group != "disk" || key.size() < 4 || key.compare(key.size() - 4, 4, extension) != 0) continue;
            std::wstring name = text::fromUtf8(d.name);
            std::replace(name.begin(), name.end(), L'/', L'\\');
            out.push_back(std::move(name));
        }
    }
    return out;
}

}  // namespace skin
