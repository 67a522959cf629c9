#include "skin/SkinResources.h"

#include <algorithm>

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "textures/DXTexture.h"
#include "skin/IncludeScan.h"

SkinResources::SkinResources() : SkinResources(makePlatformDirectoryLister(), skin::ReadWholeFile) {}

SkinResources::SkinResources(std::unique_ptr<DirectoryLister> lister, FileReader reader)
    : lister_(std::move(lister)), readFile_(std::move(reader)) {}

SkinResources::~SkinResources() { bundle_.Close(); }

void SkinResources::LoadIncludes(const std::wstring& includesPath) {
    // Names of the nested files come after every name of includes.xml; their
    // own "file" attributes are not followed.
    skin::IncludeScan scan = skin::ScanIncludes(readFile_, includesPath, 1);
    includeFiles_ = std::move(scan.files);
    includeNames_ = std::move(scan.names);
}

void SkinResources::ListMedia(const std::wstring& documentFolder) {
    imageNames_.clear();
    if (!lister_) {
        return;
    }
    const std::wstring media = preview::MediaFolderOf(documentFolder);
    DirectoryReader reader(*lister_);
    reader.ScanFolders(media);

    reader.FindFiles(L"textures.ort");
    for (const DirEntry& bundle : reader.files()) {
        std::vector<std::wstring> names;
        if (ListBundle(bundle.path, names)) {
            imageNames_.insert(imageNames_.end(), names.begin(), names.end());
        }
    }
    reader.ClearFiles();

    for (const wchar_t* mask : {L"*.png", L"*.jpg", L"*.bmp"}) {
        reader.FindFiles(mask);
    }
    for (const DirEntry& file : reader.files()) {
        std::wstring name = file.path;
        if (name.compare(0, media.size(), media) == 0) {
            name.erase(0, media.size());
        }
        imageNames_.push_back(std::move(name));
    }
}

namespace {

// Windows paths: either separator, any case.
bool samePath(const std::wstring& a, const std::wstring& b) {
    const auto fold = [](wchar_t c) {
        if (c == L'/') return L'\\';
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

}  // namespace

void SkinResources::HoldBundle(const std::wstring& bundlePath) {
    heldPath_ = bundlePath;
    if (bundle_.IsOpen() && samePath(bundlePath_, bundlePath)) {
        bundle_.Close();
        reopenHeld_ = true;
    }
}

void SkinResources::ReleaseBundle() {
    heldPath_.clear();
    if (reopenHeld_) {
        reopenHeld_ = false;
        openBundle(bundlePath_);
    }
}

bool SkinResources::openBundle(const std::wstring& bundlePath) {
    if (bundlePath != bundlePath_) {
        bundle_.Close();
    }
    bundlePath_ = bundlePath;
    if (!heldPath_.empty() && samePath(bundlePath, heldPath_)) {
        bundle_.Close();
        return false;
    }
    if (!bundle_.IsOpen() && !bundle_.Open(bundlePath)) {
        return false;
    }
    return true;
}

bool SkinResources::ListBundle(const std::wstring& bundlePath, std::vector<std::wstring>& names) {
    names.clear();
    if (!openBundle(bundlePath)) {
        return false;
    }
    names.reserve(bundle_.entries().size());
    for (const OrtEntry& entry : bundle_.entries()) {
        names.push_back(preview::DecodeSkinText(entry.path));
    }
    return true;
}

const OrtEntry* SkinResources::findEntry(const std::wstring& name) const {
    // The reader indexes names byte for byte; ask for every byte form that
    // lists as this name, so what the drop-downs show is what is found.
    for (const std::string& bytes : preview::SkinTextEncodings(name)) {
        if (const OrtEntry* entry = bundle_.Find(text::widenBytes(bytes))) {
            return entry;
        }
    }
    return nullptr;
}

std::unique_ptr<DXTexture> SkinResources::loadFirstFrame(const OrtEntry* entry) {
    if (!entry || entry->frames.empty()) {
        return nullptr;
    }
    return bundle_.LoadFrame(entry->frames.front());
}

std::unique_ptr<DXTexture> SkinResources::FindTexture(const std::wstring& imagePath) {
    const preview::BundleLocation where = preview::BundleFor(imagePath);
    if (!openBundle(where.bundlePath)) {
        return nullptr;
    }
    return loadFirstFrame(findEntry(where.entryName));
}

std::unique_ptr<DXTexture> SkinResources::LoadBundleTexture(const std::wstring& entryName) {
    if (!bundle_.IsOpen()) {
        return nullptr;
    }
    return loadFirstFrame(findEntry(entryName));
}
