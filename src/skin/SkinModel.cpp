#include "skin/SkinModel.h"

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "skin/SkinReferences.h"
#include "textures/OrtReader.h"

#include <algorithm>
#include <unordered_set>

namespace skin {

namespace {

std::wstring keyOf(const std::wstring& path) { return ReferenceKey(path); }

bool endsWith(const std::wstring& key, std::wstring_view tail) {
    return key.size() >= tail.size() && key.compare(key.size() - tail.size(), tail.size(), tail) == 0;
}

std::string stemOf(const std::wstring& fileName) {
    const std::size_t dot = fileName.rfind(L'.');
    return text::toUtf8(fileName.substr(0, dot));
}

std::uint32_t be32(const std::string& b, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}
std::uint32_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}
std::uint32_t le32(const std::string& b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

// An image file's pixel size from its header (PNG, GIF, BMP, JPEG).
bool imageSize(const std::string& b, std::uint32_t& w, std::uint32_t& h) {
    if (b.size() >= 24 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        w = be32(b, 16);
        h = be32(b, 20);
        return true;
    }
    if (b.size() >= 10 && (b.compare(0, 6, "GIF87a") == 0 || b.compare(0, 6, "GIF89a") == 0)) {
        w = le16(b, 6);
        h = le16(b, 8);
        return true;
    }
    if (b.size() >= 26 && b.compare(0, 2, "BM") == 0) {
        w = le32(b, 18);
        const auto height = static_cast<std::int32_t>(le32(b, 22));
        h = static_cast<std::uint32_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
        return true;
    }
    if (b.size() >= 4 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8) {
        std::size_t at = 2;
        while (at + 9 < b.size()) {
            if (static_cast<unsigned char>(b[at]) != 0xFF) return false;
            const auto marker = static_cast<unsigned char>(b[at + 1]);
            const std::size_t length = (static_cast<std::size_t>(static_cast<unsigned char>(b[at + 2])) << 8) |
                                       static_cast<unsigned char>(b[at + 3]);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                h = (be32(b, at + 5) >> 16) & 0xFFFF;
                w = be32(b, at + 5) & 0xFFFF;
                return true;
            }
            if (length < 2) return false;
            at += 2 + length;
        }
    }
    return false;
}

std::string lookupKey(SymbolKind kind, std::string_view name, std::string_view scope) {
    std::string key(1, static_cast<char>('a' + static_cast<int>(kind)));
    if (kind == SymbolKind::Param) key.append(scope);
    key.push_back('\x1f');
    if (kind == SymbolKind::Texture || kind == SymbolKind::IncludeFile) {
        key += NameKey(name);
    } else {
        key.append(name);
    }
    return key;
}

struct Stamped {
    std::wstring path;
    FileStamp stamp;
};

struct Wanted {
    std::wstring path;
    FileRole role = FileRole::Window;
    std::string group;
    std::size_t windowFolder = 0;  // index into the window folders (window and include files)
};

bool sameRole(FileRole a, FileRole b) {
    auto window = [](FileRole r) { return r == FileRole::Window || r == FileRole::Includes; };
    return a == b || (window(a) && window(b));
}

std::string fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return text::toUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

}  // namespace

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

struct SkinModel::Impl {
    DirectoryLister& lister;
    FileReader readFile;
    BundleInfoReader readBundle;
    SkinModelOptions options;
    std::vector<std::string> images;

    bool loaded = false;
    std::wstring documentFolder;
    std::wstring skinFolder;
    std::wstring mediaFolder;
    std::wstring bundlePath;
    std::vector<std::wstring> windowFolders;

    std::vector<Wanted> layout;
    std::vector<Stamped> layoutStamps;
    std::vector<ModelProblem> missing;       // parts of the layout not found
    std::vector<ModelProblem> missingRefs;   // include files named but not found
    std::vector<std::wstring> includeOrder;  // keys of the include files, as reached
    std::vector<std::unique_ptr<SkinFile>> files;
    std::vector<std::size_t> fileWindowFolder;  // parallel to files
    std::unordered_map<std::wstring, std::string> overlays;

    std::vector<Definition> textures;
    std::vector<Definition> includeFiles;
    std::vector<Stamped> mediaStamps;
    std::vector<Stamped> bundleStamps;
    std::string bundleProblem;

    std::unordered_map<std::string, std::vector<const Definition*>> index;
    int reads = 0;

    Impl(DirectoryLister& l, FileReader r, BundleInfoReader b, SkinModelOptions o)
        : lister(l), readFile(std::move(r)), readBundle(std::move(b)), options(std::move(o)) {
        for (const std::wstring& e : options.imageElements) images.push_back(NameKey(text::toUtf8(e)));
    }

    // Paths are joined with the separator the document's folder uses: '\\' on
    // Windows, '/' where a native program (a language server) reads a skin.
    wchar_t sep = L'\\';
    std::wstring join(const std::wstring& folder, const std::wstring& name) const { return folder + sep + name; }

    std::vector<DirItem> list(const std::wstring& folder) {
        std::vector<DirItem> items;
        if (!lister.list(join(folder, L"*"), items)) items.clear();
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [](const DirItem& i) { return i.name == L"." || i.name == L".."; }),
                    items.end());
        return items;
    }

    // The child of `folder` named `name` in any letter case; empty when none.
    std::wstring child(const std::wstring& folder, const std::wstring& name, bool wantFolder) {
        const std::wstring key = keyOf(name);
        for (const DirItem& item : list(folder)) {
            if (item.isFolder == wantFolder && keyOf(item.name) == key) return join(folder, item.name);
        }
        return std::wstring();
    }

    // A relative path ("a/b.xml") below `folder`, each part in any letter case.
    std::wstring resolve(const std::wstring& folder, const std::string& relative, bool isFolder = false) {
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

    void stampFolder(const std::wstring& path) { layoutStamps.push_back({path, lister.stamp(path)}); }

    void addMissing(const std::wstring& path, const char* what) { missing.push_back({path, what}); }

    std::vector<std::wstring> addonWindowFolders() {
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
            if (!folder.empty() && std::none_of(out.begin(), out.end(),
                                                [&](const std::wstring& o) { return keyOf(o) == keyOf(folder); })) {
                out.push_back(folder);
            }
        }
        return out;
    }

    void computeLayout() {
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

    // Reads (or keeps) the files of the layout; true when any file changed.
    bool reconcile() {
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

    std::unique_ptr<SkinFile> load(const Wanted& want, const std::string* overlay) {
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

    bool changedStamps(const std::vector<Stamped>& stamps) {
        return std::any_of(stamps.begin(), stamps.end(),
                           [this](const Stamped& s) { return lister.stamp(s.path) != s.stamp; });
    }

    void loadMedia() {
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

    void loadBundle() {
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

    static bool indexed(const SkinFile& f, const Definition& d) {
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

    void rebuildIndex() {
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
    }

    SkinFile* find(const std::wstring& path) const {
        const std::wstring key = keyOf(path);
        for (const auto& f : files) {
            if (keyOf(f->path) == key) return f.get();
        }
        return nullptr;
    }
};

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
    if (sameNames) return;
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

std::vector<std::string> SkinModel::textureNames() const {
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const Definition& d : impl_->textures) {
        if (seen.insert(NameKey(d.name)).second) out.push_back(d.name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace skin
