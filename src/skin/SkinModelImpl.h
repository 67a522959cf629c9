// The skin model's state and what it keeps up to date: the layout of the
// skin's files, the files read, the media and bundle names and the index of
// definitions. Shared by the model's loading and its queries; not for use
// outside them.
#pragma once

#include "skin/SkinModel.h"

#include "base/TextCodec.h"
#include "skin/ExpandedWindow.h"
#include "skin/MediaPaths.h"
#include "skin/SkinReferences.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace skin {
namespace model {

inline std::wstring keyOf(const std::wstring& path) { return ReferenceKey(path); }

inline bool endsWith(const std::wstring& key, std::wstring_view tail) {
    return key.size() >= tail.size() && key.compare(key.size() - tail.size(), tail.size(), tail) == 0;
}

inline std::string stemOf(const std::wstring& fileName) {
    const std::size_t dot = fileName.rfind(L'.');
    return text::toUtf8(fileName.substr(0, dot));
}

inline std::uint32_t be32(const std::string& b, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}
inline std::uint32_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}
inline std::uint32_t le32(const std::string& b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

// An image file's pixel size from its header (PNG, GIF, BMP, JPEG).
inline bool imageSize(const std::string& b, std::uint32_t& w, std::uint32_t& h) {
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

inline std::string lookupKey(SymbolKind kind, std::string_view name, std::string_view scope) {
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

inline bool sameRole(FileRole a, FileRole b) {
    auto window = [](FileRole r) { return r == FileRole::Window || r == FileRole::Includes; };
    return a == b || (window(a) && window(b));
}

inline std::string fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return text::toUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

}  // namespace model

using namespace model;

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

    std::vector<std::unique_ptr<IncludeLibrary>> libraries;  // per window folder
    std::vector<std::unique_ptr<ExpandedWindow>> expanded;   // the window files'
    void expandWindows();
    // After an edit that kept the file's definitions: its window again, or
    // every window when it is an include file.
    void expandAfterEdit(const SkinFile& edited);

    Impl(DirectoryLister& l, FileReader r, BundleInfoReader b, SkinModelOptions o)
        : lister(l), readFile(std::move(r)), readBundle(std::move(b)), options(std::move(o)) {
        for (const std::wstring& e : options.imageElements) images.push_back(NameKey(text::toUtf8(e)));
    }

    // Paths are joined with the separator the document's folder uses: '\\' on
    // Windows, '/' where a native program (a language server) reads a skin.
    wchar_t sep = L'\\';
    std::wstring join(const std::wstring& folder, const std::wstring& name) const { return folder + sep + name; }

    std::vector<DirItem> list(const std::wstring& folder);

    // The child of `folder` named `name` in any letter case; empty when none.
    std::wstring child(const std::wstring& folder, const std::wstring& name, bool wantFolder);

    // A relative path ("a/b.xml") below `folder`, each part in any letter case.
    std::wstring resolve(const std::wstring& folder, const std::string& relative, bool isFolder = false);

    void stampFolder(const std::wstring& path) { layoutStamps.push_back({path, lister.stamp(path)}); }

    void addMissing(const std::wstring& path, const char* what) { missing.push_back({path, what}); }

    std::vector<std::wstring> addonWindowFolders();

    void computeLayout();

    // Reads (or keeps) the files of the layout; true when any file changed.
    bool reconcile();

    std::unique_ptr<SkinFile> load(const Wanted& want, const std::string* overlay);

    bool changedStamps(const std::vector<Stamped>& stamps);

    void loadMedia();

    void loadBundle();

    static bool indexed(const SkinFile& f, const Definition& d);

    void rebuildIndex();  // the windows' expansions too

    SkinFile* find(const std::wstring& path) const;
};

}  // namespace skin
