#include "skin/SkinIndex.h"

#include "skin/MediaPaths.h"
#include "textures/OrtReader.h"

#include <algorithm>

namespace skin {

namespace {

// Includes of includes of includes... deeper than any real skin goes; the
// scan reads each file once, so a loop of files ends anyway.
constexpr int kIncludeDepth = 32;

}  // namespace

bool ReadBundleNames(const std::wstring& path, std::vector<std::string>& names) {
    OrtReader reader;
    if (!reader.Open(path)) {
        return false;
    }
    names.clear();
    names.reserve(reader.entries().size());
    for (const OrtEntry& entry : reader.entries()) {
        names.push_back(entry.path);
    }
    reader.Close();
    return true;
}

SkinIndex::SkinIndex(DirectoryLister& lister, FileReader readFile, BundleNameReader readBundle)
    : lister_(lister), readFile_(std::move(readFile)), readBundle_(std::move(readBundle)) {}

bool SkinIndex::changed(const std::vector<Stamped>& stamps) const {
    return std::any_of(stamps.begin(), stamps.end(),
                       [this](const Stamped& s) { return lister_.stamp(s.path) != s.stamp; });
}

bool SkinIndex::refresh(const std::wstring& documentFolder) {
    const std::wstring folder = NormaliseFolder(documentFolder);
    if (!loaded_ || ReferenceKey(folder) != ReferenceKey(documentFolder_)) {
        loaded_ = true;
        documentFolder_ = folder;
        mediaFolder_ = preview::MediaFolderOf(folder);
        bundlePath_ = mediaFolder_ + L"textures.ort";
        includesPath_ = folder + L"\\includes.xml";
        loadMedia();
        loadBundle();
        loadIncludes();
        loadFolder();
        return true;
    }
    bool any = false;
    if (changed(mediaStamps_)) {
        loadMedia();
        any = true;
    }
    if (changed(bundleStamps_)) {
        loadBundle();
        any = true;
    }
    if (changed(includeStamps_)) {
        loadIncludes();
        any = true;
    }
    if (changed(folderStamps_)) {
        loadFolder();
        any = true;
    }
    return any;
}

void SkinIndex::loadMedia() {
    ++mediaScans_;
    mediaFiles_.clear();
    mediaStamps_.clear();
    DirectoryReader reader(lister_);
    reader.ScanFolders(mediaFolder_);
    // A folder's time moves when an entry in it comes, goes or is renamed:
    // enough to tell that a name may now resolve differently.
    for (const std::wstring& folder : reader.folders()) {
        mediaStamps_.push_back({folder, lister_.stamp(folder)});
    }
    reader.FindFiles(L"*");
    const std::wstring prefix = reader.startFolder() + L"\\";
    for (const DirEntry& file : reader.files()) {
        if (file.path.compare(0, prefix.size(), prefix) == 0) {
            mediaFiles_.insert(ReferenceKey(std::wstring_view(file.path).substr(prefix.size())));
        }
    }
}

void SkinIndex::loadBundle() {
    bundleEntries_.clear();
    bundleStamps_.assign(1, {bundlePath_, lister_.stamp(bundlePath_)});
    std::vector<std::string> names;
    if (!bundleStamps_.front().stamp.exists || !readBundle_) {
        return;
    }
    ++bundleReads_;
    if (!readBundle_(bundlePath_, names)) {
        return;
    }
    for (const std::string& name : names) {
        bundleEntries_.insert(ReferenceKey(preview::DecodeSkinText(name)));
    }
}

void SkinIndex::loadIncludes() {
    IncludeScan scan = ScanIncludes(readFile_, includesPath_, kIncludeDepth);
    includeNames_ = std::unordered_set<std::wstring>(scan.names.begin(), scan.names.end());
    includesRead_ = scan.rootRead;
    includeFilesRead_ = scan.paths.size() - 1;
    includeStamps_.clear();
    for (const std::wstring& path : scan.paths) {
        includeStamps_.push_back({path, lister_.stamp(path)});
    }
}

void SkinIndex::loadFolder() {
    includeFiles_.clear();
    folderStamps_.assign(1, {documentFolder_, lister_.stamp(documentFolder_)});
}

std::wstring SkinIndex::includeFilePath(const std::wstring& name) const {
    std::wstring path = documentFolder_ + L"\\" + name;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

bool SkinIndex::resolves(const Reference& ref) const {
    switch (ref.kind) {
    case ReferenceKind::Texture: {
        const std::wstring key = ReferenceKey(ref.name);
        return mediaFiles_.count(key) != 0 || bundleEntries_.count(key) != 0;
    }
    case ReferenceKind::Include:
        return includeNames_.count(ref.name) != 0;
    case ReferenceKind::IncludeFile: {
        const std::wstring key = ReferenceKey(ref.name);
        auto it = includeFiles_.find(key);
        if (it == includeFiles_.end()) {
            const FileStamp stamp = lister_.stamp(includeFilePath(ref.name));
            it = includeFiles_.emplace(key, stamp.exists && !stamp.isFolder).first;
        }
        return it->second;
    }
    }
    return false;
}

std::wstring SkinIndex::explainMissing(const Reference& ref) const {
    switch (ref.kind) {
    case ReferenceKind::Texture: {
        std::wstring text =
            L"Texture not found: " + ref.name + L"\nLooked in " + mediaFolder_ + L" and in " + bundlePath_;
        if (bundleStamps_.empty() || !bundleStamps_.front().stamp.exists) {
            text += L" (no such file)";
        }
        return text;
    }
    case ReferenceKind::Include: {
        std::wstring text = L"Include not defined: " + ref.name + L"\nLooked in " + includesPath_;
        if (!includesRead_) {
            text += L" (missing or not readable)";
        } else if (includeFilesRead_ > 0) {
            text += L" and the " + std::to_wstring(includeFilesRead_) +
                    (includeFilesRead_ == 1 ? L" file it includes" : L" files it includes");
        }
        return text;
    }
    case ReferenceKind::IncludeFile:
        return L"Include file not found: " + ref.name + L"\nLooked for " + includeFilePath(ref.name);
    }
    return std::wstring();
}

}  // namespace skin
