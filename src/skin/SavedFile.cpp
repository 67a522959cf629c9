#include "skin/SavedFile.h"

#include "base/Files.h"
#include "skin/MediaPaths.h"
#include "skin/SkinReferences.h"

namespace skin {
namespace {

// As deep as the reference check follows include files.
constexpr int kIncludeDepth = 32;

bool endsWith(const std::wstring& key, const std::wstring& ending) {
    return key.size() >= ending.size() && key.compare(key.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

SavedFileRole RoleOfSavedFile(const std::wstring& path, const FileReader& readFile, const FolderProbe& isFolder) {
    const std::wstring key = ReferenceKey(path);
    const std::size_t slash = path.rfind(L'\\');
    if (!endsWith(key, L".xml") || slash == std::wstring::npos) return SavedFileRole::None;
    const std::wstring folder = path.substr(0, slash);
    const std::wstring media = preview::MediaFolderOf(folder);
    if (preview::SkinFolderOf(folder).empty() || !isFolder(media.substr(0, media.size() - 1))) {
        return SavedFileRole::None;
    }
    const std::wstring name = key.substr(key.rfind(L'/') + 1);
    if (name == L"font.xml" || name == L"includes.xml") return SavedFileRole::Shared;
    const IncludeScan scan = ScanIncludes(readFile, folder + L"\\includes.xml", kIncludeDepth);
    for (const std::wstring& included : scan.paths) {
        if (ReferenceKey(included) == key) return SavedFileRole::Shared;
    }
    return SavedFileRole::Window;
}

SavedFileRole RoleOfSavedFile(const std::wstring& path) {
    return RoleOfSavedFile(path, &ReadWholeFile, [](const std::wstring& folder) { return files::exists(folder); });
}

}  // namespace skin
