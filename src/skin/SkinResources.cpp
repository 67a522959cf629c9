#include "skin/SkinResources.h"

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "textures/DXTexture.h"
#include "base/FileAccess.h"

#include <tinyxml.h>

#include <cstdio>
#include <exception>

namespace {

SkinResources* gInstance = nullptr;

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    files::FilePtr file = files::open(path, "rb");
    if (!file) {
        return false;
    }
    bytes.clear();
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
    }
    return std::ferror(file.get()) == 0;
}

// The root "includes" element of an includes file, or null when the file is
// missing or not well-formed.
const TiXmlElement* includesRoot(const SkinResources::FileReader& readFile, const std::wstring& path,
                                 TiXmlDocument& doc) {
    std::string bytes;
    if (!readFile || !readFile(path, bytes)) {
        return nullptr;
    }
    doc.Parse(bytes.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (doc.Error()) {
        return nullptr;
    }
    return doc.FirstChildElement("includes");
}

void appendAttribute(const TiXmlElement& element, const char* name, std::vector<std::wstring>& out) {
    const char* value = element.Attribute(name);
    if (value && *value) {
        out.push_back(preview::DecodeSkinText(value));
    }
}

void replaceAll(std::wstring& s, const std::wstring& what, const std::wstring& with) {
    if (what.empty()) {
        return;
    }
    for (std::size_t at = s.find(what); at != std::wstring::npos; at = s.find(what, at + with.size())) {
        s.replace(at, what.size(), with);
    }
}

}  // namespace

SkinResources::SkinResources() : SkinResources(makePlatformDirectoryLister(), readWholeFile) {}

SkinResources::SkinResources(std::unique_ptr<DirectoryLister> lister, FileReader reader)
    : lister_(std::move(lister)), readFile_(std::move(reader)) {}

SkinResources::~SkinResources() {
    if (gInstance == this) {
        gInstance = nullptr;
    }
    bundle_.Close();
}

SkinResources* SkinResources::instance() noexcept { return gInstance; }

void SkinResources::setInstance(SkinResources* resources) noexcept { gInstance = resources; }

void SkinResources::LoadIncludes(const std::wstring& includesPath) {
    includeFiles_.clear();
    includeNames_.clear();
    TiXmlDocument doc;
    const TiXmlElement* root = includesRoot(readFile_, includesPath, doc);
    if (!root) {
        return;
    }
    for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        appendAttribute(*e, "file", includeFiles_);
        appendAttribute(*e, "name", includeNames_);
    }
    // Names of the nested files come after every name of includes.xml; their
    // own "file" attributes are not followed.
    for (const std::wstring& file : includeFiles_) {
        std::wstring path = includesPath;
        replaceAll(path, L"includes.xml", file);
        TiXmlDocument nested;
        const TiXmlElement* nestedRoot = includesRoot(readFile_, path, nested);
        if (!nestedRoot) {
            continue;
        }
        for (const TiXmlElement* e = nestedRoot->FirstChildElement(); e; e = e->NextSiblingElement()) {
            appendAttribute(*e, "name", includeNames_);
        }
    }
}

void SkinResources::ListMedia(const std::wstring& documentFolder) {
    imageNames_.clear();
    if (!lister_) {
        return;
    }
    const std::wstring media = preview::MediaFolderOf(documentFolder);
    CSADirRead reader(*lister_);
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

bool SkinResources::openBundle(const std::wstring& bundlePath) {
    if (bundlePath != bundlePath_) {
        bundle_.Close();
    }
    bundlePath_ = bundlePath;
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

std::unique_ptr<CDXTexture> SkinResources::loadFirstFrame(const OrtEntry* entry) {
    if (!entry || entry->frames.empty()) {
        return nullptr;
    }
    return bundle_.LoadFrame(entry->frames.front());
}

std::unique_ptr<CDXTexture> SkinResources::FindTexture(const std::wstring& imagePath) {
    const preview::BundleLocation where = preview::BundleFor(imagePath);
    if (!openBundle(where.bundlePath)) {
        return nullptr;
    }
    return loadFirstFrame(findEntry(where.entryName));
}

std::unique_ptr<CDXTexture> SkinResources::LoadBundleTexture(const std::wstring& entryName) {
    if (!bundle_.IsOpen()) {
        return nullptr;
    }
    return loadFirstFrame(findEntry(entryName));
}
