// Where a skin keeps its images, and how an image path maps to a texture
// bundle and to a name inside it. Paths use backslashes, as on Windows.
#pragma once

#include <string>
#include <vector>

namespace preview {

// The document's folder up to and including its last backslash
// (C:\skins\mine\720p -> C:\skins\mine\); empty without any backslash.
std::wstring SkinFolderOf(const std::wstring& documentFolder);
// The skin folder followed by "media\".
std::wstring MediaFolderOf(const std::wstring& documentFolder);
// The media folder followed by the image name, every '/' made a '\'.
std::wstring ImagePathFor(const std::wstring& mediaFolder, const std::wstring& imageName);

struct BundleLocation {
    std::wstring bundlePath;  // the skin's media folder + "\textures.ort"
    std::wstring entryName;   // the path below the media folder, with '/' separators
};
// C:\skins\mine\media\buttons\focus.png -> C:\skins\mine\media\textures.ort and
// buttons/focus.png. A path without a "\media\" part stands for the bundle itself.
BundleLocation BundleFor(const std::wstring& imagePath);

// Text that a skin's own files hold (include names and files, bundle entry
// names) is UTF-8; bytes that are not valid UTF-8 are taken one byte to one
// character, so older 8-bit files still show something sensible.
std::wstring DecodeSkinText(const std::string& bytes);
// The byte strings DecodeSkinText turns into `text`: its UTF-8 form, and its
// one-byte-per-character form when that differs and means the same.
std::vector<std::string> SkinTextEncodings(const std::wstring& text);

}  // namespace preview
