// The skin model's loading: finding the skin's layout, reading (or keeping)
// its files, its media and bundle names, and indexing the definitions.
#include "skin/SkinModelImpl.h"

#include "textures/OrtReader.h"

#include <algorithm>
#include <unordered_set>

namespace skin {

std::vector<DirItem> SkinModel::Impl::list(const std::wstring& folder) {
    std::vector<DirItem> items;
    if (!lister.list(join(folder, L"*"), items)) items.clear();
    items.erase(
        std::remove_if(items.begin(), items.end(), [](const DirItem& i) { return i.name == L"." || i.name == L".."; }),
        items.end());
    return items;
}

std::wstring SkinModel::Impl::child(const std::wstring& folder, const std::wstring& name, bool wantFolder) {
    const std::wstring key = keyOf(name);
    for (const DirItem& item : list(folder)) {
        if (item.isFolder == wantFolder && keyOf(item.name) == key) return join(folder, item.name);
    }
    return std::wstring();
}

std::wstring SkinModel::Impl::resolve(const std::wstring& folder, const std::string& relative, bool isFolder) {
    std::wstring rest = text::fromUtf8(relative);
    std::replace(rest.begin(), rest.end(), L'\\', L'/');
    std::wstring at = folder;
    std::size_t b = 0;
    while (b <= rest.size()) {
        std::size_t e = rest.find(L'/', b);
        if (e == std::wstring::npos) e = rest.size();
        const std::wstring part = rest.substr(b, e - b);
        const bool last = e == rest.size();
        if (part.empty() || part == L".") {
            if (last) return std::wstring();
        } else if (part == L"..") {
            return std::wstring();  // a skin's include files stay in its folders
        } else {
            at = child(at, part, !last || isFolder);
            if (at.empty()) return at;
        }
        b = e + 1;
    }
    return at;
}

std::vector<std::wstring> SkinModel::Impl::addonWindowFolders() {
    std::vector<std::wstring> out;
    const std::wstring addon = child(skinFolder, L"addon.xml", false);
    if (addon.empty()) return out;
    layoutStamps.push_back({addon, lister.stamp(addon)});
    std::string bytes;
    ++reads;
    if (!readFile || !readFile(addon, bytes)) {
        addMissing(addon, "not readable");
        return out;
    }
    SkinFile f;
    f.path = addon;
    f.text = std::move(bytes);
    // <res ... folder="NAME"/>: the plain scan of the tag's attributes.
    for (std::size_t at = f.text.find("<res"); at != std::string::npos; at = f.text.find("<res", at + 4)) {
        const std::size_t end = f.text.find('>', at);
        const std::size_t attr = f.text.find("folder=", at);
        if (attr == std::string::npos || attr > end) continue;
        const char quote = f.text[attr + 7];
        if (quote != '"' && quote != '\'') continue;
        const std::size_t close = f.text.find(quote, attr + 8);
        if (close == std::string::npos || close > end) continue;
        const std::wstring folder = resolve(skinFolder, f.text.substr(attr + 8, close - attr - 8), true);
        if (!folder.empty() &&
            std::none_of(out.begin(), out.end(), [&](const std::wstring& o) { return keyOf(o) == keyOf(folder); })) {
            out.push_back(folder);
        }
    }
    return out;
}

void SkinModel::Impl::computeLayout() {
    layout.clear();
    layoutStamps.clear();
    missing.clear();
    stampFolder(skinFolder);
    windowFolders = addonWindowFolders();
    if (std::none_of(windowFolders.begin(), windowFolders.end(),
                     [&](const std::wstring& w) { return keyOf(w) == keyOf(documentFolder); })) {
        windowFolders.insert(windowFolders.begin(), documentFolder);
    }
    for (std::size_t w = 0; w < windowFolders.size(); ++w) {
        const std::wstring& folder = windowFolders[w];
        stampFolder(folder);
        bool includes = false;
        bool fonts = false;
        std::vector<DirItem> items = list(folder);
        std::sort(items.begin(), items.end(),
                  [](const DirItem& a, const DirItem& b) { return keyOf(a.name) < keyOf(b.name); });
        for (const DirItem& item : items) {
            const std::wstring key = keyOf(item.name);
            if (item.isFolder || !endsWith(key, L".xml")) continue;
            Wanted want;
            want.path = join(folder, item.name);
            want.windowFolder = w;
            if (key == L"font.xml") {
                want.role = FileRole::Fonts;
                fonts = true;
            }
            includes = includes || key == L"includes.xml";
            layout.push_back(std::move(want));
        }
        if (!includes) addMissing(join(folder, L"includes.xml"), "not found");
        if (!fonts) addMissing(join(folder, L"Font.xml"), "not found");
    }
    const std::wstring colours = child(skinFolder, L"colors", true);
    bool defaults = false;
    if (!colours.empty()) {
        stampFolder(colours);
        for (const DirItem& item : list(colours)) {
            const std::wstring key = keyOf(item.name);
            if (item.isFolder || !endsWith(key, L".xml")) continue;
            Wanted want;
            want.path = join(colours, item.name);
            want.role = FileRole::Colours;
            want.group = key == L"defaults.xml" ? "defaults" : stemOf(item.name);
            defaults = defaults || key == L"defaults.xml";
            layout.push_back(std::move(want));
        }
    }
    if (!defaults) addMissing(join(join(skinFolder, L"colors"), L"defaults.xml"), "not found");
    const std::wstring language = child(skinFolder, L"language", true);
    std::wstring strings;
    if (!language.empty()) {
        stampFolder(language);
        std::vector<std::wstring> folders;
        for (const DirItem& item : list(language)) {
            if (item.isFolder) folders.push_back(item.name);
        }
        std::sort(folders.begin(), folders.end(),
                  [](const std::wstring& a, const std::wstring& b) { return keyOf(a) < keyOf(b); });
        auto chosen = std::find_if(folders.begin(), folders.end(),
                                   [](const std::wstring& f) { return endsWith(keyOf(f), L"en_gb"); });
        if (chosen == folders.end() && !folders.empty()) chosen = folders.begin();
        if (chosen != folders.end()) {
            const std::wstring folder = join(language, *chosen);
            stampFolder(folder);
            strings = child(folder, L"strings.po", false);
        }
    }
    if (!strings.empty()) {
        layout.push_back({strings, FileRole::Strings, "skin", 0});
    } else {
        addMissing(join(skinFolder, L"language"), "no strings.po found");
    }
    if (!options.coreStringsPath.empty()) {
        layout.push_back({options.coreStringsPath, FileRole::CoreStrings, "core", 0});
    }
    if (!options.coreColoursPath.empty()) {
        layout.push_back({options.coreColoursPath, FileRole::Colours, "core", 0});
    }
}

bool SkinModel::Impl::reconcile() {
    std::unordered_map<std::wstring, std::size_t> old;
    for (std::size_t k = 0; k < files.size(); ++k) old.emplace(keyOf(files[k]->path), k);
    std::vector<std::unique_ptr<SkinFile>> next;
    std::vector<std::size_t> nextFolders;
    bool changed = files.size() != layout.size();
    std::unordered_set<std::wstring> seen;
    auto take = [&](const Wanted& want) {
        const std::wstring key = keyOf(want.path);
        if (!seen.insert(key).second) return;
        const auto overlay = overlays.find(key);
        const auto it = old.find(key);
        std::unique_ptr<SkinFile> kept;
        if (it != old.end() && files[it->second] && sameRole(files[it->second]->role, want.role)) {
            SkinFile& f = *files[it->second];
            const bool same = overlay != overlays.end() ? f.overlay && f.text == overlay->second
                                                        : !f.overlay && lister.stamp(f.path) == f.stamp;
            if (same) kept = std::move(files[it->second]);
        }
        if (!kept) {
            changed = true;
            kept = load(want, overlay != overlays.end() ? &overlay->second : nullptr);
        }
        next.push_back(std::move(kept));
        nextFolders.push_back(want.windowFolder);
    };
    for (const Wanted& want : layout) take(want);
    // Include files, level by level from each window folder's includes.xml;
    // a file reached twice (a loop) is read once.
    missingRefs.clear();
    includeOrder.clear();
    std::unordered_set<std::wstring> reached;
    std::vector<std::size_t> queue;
    for (std::size_t k = 0; k < next.size(); ++k) {
        if (sameRole(next[k]->role, FileRole::Window) && endsWith(keyOf(next[k]->path), L"/includes.xml")) {
            reached.insert(keyOf(next[k]->path));
            queue.push_back(k);
        }
    }
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const std::size_t k = queue[q];
        includeOrder.push_back(keyOf(next[k]->path));
        const std::size_t w = nextFolders[k];
        const std::vector<std::string> named = next[k]->includedFiles;
        const std::wstring from = next[k]->path;
        for (const std::string& name : named) {
            const std::wstring path = resolve(windowFolders[w], name);
            if (path.empty()) {
                missingRefs.push_back({from, "names the include file " + name + ", which is not found"});
                continue;
            }
            const std::wstring key = keyOf(path);
            if (!reached.insert(key).second) continue;
            if (!seen.count(key)) {
                take(Wanted{path, FileRole::Includes, std::string(), w});
                layout.push_back(Wanted{path, FileRole::Includes, std::string(), w});
            }
            for (std::size_t m = 0; m < next.size(); ++m) {
                if (keyOf(next[m]->path) == key) queue.push_back(m);
            }
        }
    }
    for (const auto& f : next) {
        if (sameRole(f->role, FileRole::Window)) {
            const FileRole role = reached.count(keyOf(f->path)) ? FileRole::Includes : FileRole::Window;
            changed = changed || role != f->role;
            f->role = role;
        }
    }
    files = std::move(next);
    fileWindowFolder = std::move(nextFolders);
    return changed;
}

std::unique_ptr<SkinFile> SkinModel::Impl::load(const Wanted& want, const std::string* overlay) {
    auto f = std::make_unique<SkinFile>();
    f->path = want.path;
    f->role = want.role;
    f->group = want.group;
    if (overlay) {
        f->overlay = true;
        f->text = *overlay;
    } else {
        f->stamp = lister.stamp(want.path);
        ++reads;
        if (!readFile || !readFile(want.path, f->text)) {
            f->text.clear();
            ScanSkinFile(*f, images);
            f->problem = "not readable";
            return f;
        }
    }
    ScanSkinFile(*f, images);
    return f;
}

bool SkinModel::Impl::changedStamps(const std::vector<Stamped>& stamps) {
    return std::any_of(stamps.begin(), stamps.end(),
                       [this](const Stamped& s) { return lister.stamp(s.path) != s.stamp; });
}

void SkinModel::Impl::loadMedia() {
    mediaStamps.clear();
    textures.erase(
        std::remove_if(textures.begin(), textures.end(), [](const Definition& d) { return d.group == "disk"; }),
        textures.end());
    DirectoryReader reader(lister);
    reader.ScanFolders(mediaFolder);
    for (const std::wstring& folder : reader.folders()) mediaStamps.push_back({folder, lister.stamp(folder)});
    reader.FindFiles(L"*");
    const std::wstring prefix = reader.startFolder() + sep;
    std::vector<Definition> disk;
    for (const DirEntry& file : reader.files()) {
        if (file.path.compare(0, prefix.size(), prefix) != 0 || keyOf(file.path) == keyOf(bundlePath)) continue;
        std::wstring relative = file.path.substr(prefix.size());
        std::replace(relative.begin(), relative.end(), sep, L'/');
        Definition d;
        d.kind = SymbolKind::Texture;
        d.name = text::toUtf8(relative);
        d.group = "disk";
        d.at.path = file.path;
        d.nameAt = d.at;
        disk.push_back(std::move(d));
    }
    textures.insert(textures.begin(), std::make_move_iterator(disk.begin()), std::make_move_iterator(disk.end()));
}

void SkinModel::Impl::loadBundle() {
    textures.erase(
        std::remove_if(textures.begin(), textures.end(), [](const Definition& d) { return d.group == "bundle"; }),
        textures.end());
    bundleProblem.clear();
    bundleStamps.assign(1, {bundlePath, lister.stamp(bundlePath)});
    if (!bundleStamps.front().stamp.exists || !readBundle) return;
    std::vector<BundleEntryInfo> entries;
    ++reads;
    if (!readBundle(bundlePath, entries)) {
        bundleProblem = "not a readable texture bundle";
        return;
    }
    for (BundleEntryInfo& e : entries) {
        Definition d;
        d.kind = SymbolKind::Texture;
        d.name = text::toUtf8(preview::DecodeSkinText(e.name));
        d.group = "bundle";
        d.primary = false;
        d.at.path = bundlePath;
        d.nameAt = d.at;
        d.value = std::to_string(e.width) + " x " + std::to_string(e.height) + " pixels";
        textures.push_back(std::move(d));
    }
}

bool SkinModel::Impl::indexed(const SkinFile& f, const Definition& d) {
    switch (d.kind) {
    case SymbolKind::Include:
    case SymbolKind::Param:
    case SymbolKind::Variable:
    case SymbolKind::Expression:
    case SymbolKind::Constant:
        return f.role == FileRole::Includes;
    case SymbolKind::Font:
        return f.role == FileRole::Fonts;
    case SymbolKind::Colour:
        return f.role == FileRole::Colours;
    case SymbolKind::String:
        return f.role == FileRole::Strings || f.role == FileRole::CoreStrings;
    default:
        return false;
    }
}

void SkinModel::Impl::rebuildIndex() {
    index.clear();
    includeFiles.clear();
    for (std::size_t k = 0; k < files.size(); ++k) {
        const SkinFile& f = *files[k];
        if (!sameRole(f.role, FileRole::Window) && f.role != FileRole::Fonts) continue;
        const std::wstring& folder = windowFolders[fileWindowFolder[k]];
        if (keyOf(f.path).compare(0, folder.size() + 1, keyOf(folder + sep)) != 0) continue;
        std::wstring relative = f.path.substr(folder.size() + 1);
        std::replace(relative.begin(), relative.end(), sep, L'/');
        Definition d;
        d.kind = SymbolKind::IncludeFile;
        d.name = text::toUtf8(relative);
        d.at.path = f.path;
        d.at.line = 1;
        d.nameAt = d.at;
        includeFiles.push_back(std::move(d));
    }
    for (const auto& f : files) {
        for (const Definition& d : f->definitions) {
            if (indexed(*f, d)) index[lookupKey(d.kind, d.name, d.scope)].push_back(&d);
        }
    }
    for (const Definition& d : textures) index[lookupKey(d.kind, d.name, d.scope)].push_back(&d);
    for (const Definition& d : includeFiles) index[lookupKey(d.kind, d.name, d.scope)].push_back(&d);
    for (auto& entry : index) {
        std::stable_sort(entry.second.begin(), entry.second.end(),
                         [](const Definition* a, const Definition* b) { return a->primary && !b->primary; });
    }
    expandWindows();
}

SkinFile* SkinModel::Impl::find(const std::wstring& path) const {
    const std::wstring key = keyOf(path);
    for (const auto& f : files) {
        if (keyOf(f->path) == key) return f.get();
    }
    return nullptr;
}

}  // namespace skin
