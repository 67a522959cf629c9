// Writing every entry of a texture bundle as a PNG file into a folder tree
// that mirrors the entries' paths.
#pragma once

#include <string>
#include <vector>

class CDXTexture;

namespace textures {

struct ExtractionReport {
    bool opened = false;             // the bundle could be read at all
    int written = 0;                 // PNG files written
    int kept = 0;                    // targets that existed already and were left untouched
    std::vector<std::wstring> failed;  // entries not written, in bundle order
};

// Writes one texture as PNG data (whatever the extension says), at the
// image's own size, converting formats the PNG writer cannot take to 32-bit
// pixels first. False when nothing was written.
bool SaveAsPng(CDXTexture& texture, const std::wstring& path);

// Extracts the bundle into `outputFolder` (ending with a backslash). Entries
// whose names would leave the folder are skipped; existing files are left as
// they are. Uses the display device when there is one, and otherwise one
// made for the extraction on a hidden window.
ExtractionReport ExtractBundle(const std::wstring& bundlePath, const std::wstring& outputFolder);

}  // namespace textures
