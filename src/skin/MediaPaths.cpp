#include "skin/MediaPaths.h"

#include "base/TextCodec.h"

#include <algorithm>

namespace preview {

std::wstring SkinFolderOf(const std::wstring& documentFolder) {
    const std::size_t last = documentFolder.rfind(L'\\');
    if (last == std::wstring::npos) {
        return std::wstring();
    }
    return documentFolder.substr(0, last + 1);
}

std::wstring MediaFolderOf(const std::wstring& documentFolder) { return SkinFolderOf(documentFolder) + L"media\\"; }

std::wstring ImagePathFor(const std::wstring& mediaFolder, const std::wstring& imageName) {
    std::wstring path = mediaFolder + imageName;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

BundleLocation BundleFor(const std::wstring& imagePath) {
    static const std::wstring kMedia = L"\\media\\";
    static const std::wstring kSlashedMedia = L"/media/";
    BundleLocation where;
    const std::size_t at = imagePath.find(kMedia);
    if (at != std::wstring::npos && at > 0) {
        where.bundlePath = imagePath.substr(0, at) + L"\\media\\textures.ort";
    } else {
        where.bundlePath = imagePath;
    }
    std::wstring name = imagePath;
    std::replace(name.begin(), name.end(), L'\\', L'/');
    const std::size_t media = name.find(kSlashedMedia);
    if (media != std::wstring::npos) {
        name.erase(0, media + kSlashedMedia.size());
    }
    where.entryName = std::move(name);
    return where;
}

namespace {

bool isValidUtf8(const std::string& bytes) { return text::toUtf8(text::fromUtf8(bytes)) == bytes; }

}  // namespace

std::wstring DecodeSkinText(const std::string& bytes) {
    if (isValidUtf8(bytes)) {
        return text::fromUtf8(bytes);
    }
    return text::widenBytes(bytes);
}

std::vector<std::string> SkinTextEncodings(const std::wstring& text) {
    std::vector<std::string> forms;
    forms.push_back(text::toUtf8(text));
    const bool fitsBytes =
        std::all_of(text.begin(), text.end(), [](wchar_t c) { return static_cast<unsigned long>(c) <= 0xFF; });
    if (fitsBytes) {
        std::string bytes = text::narrowBytes(text);
        // Only bytes that DecodeSkinText would itself widen stand for this text.
        if (bytes != forms.front() && !isValidUtf8(bytes)) {
            forms.push_back(std::move(bytes));
        }
    }
    return forms;
}

}  // namespace preview
