// A window drawn as the media center lays it out on an idle installation,
// and the list of what was drawn where and what was left out. Positions and
// sizes are resolved in the skin's coordinate space (its resolution for
// the window's folder) and the picture is that space scaled to the size
// asked for. What cannot be drawn faithfully (a type not drawn here, a
// texture that does not decode, a font that cannot be read, an image built
// at run time) is left out and listed, never guessed. Portable.
#pragma once

#include "render/ControlLayout.h"
#include "render/SkinAssets.h"
#include "render/WindowSource.h"
#include "textures/PixelImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// A control that was laid out and shown, in drawing order (the last one
// drawn at a point is the topmost there). Its box is in skin coordinates.
struct DrawnControl {
    std::string type;
    std::string id;
    std::uint32_t file = 0;  // index into WindowSource::files
    std::uint32_t line = 0;
    Box box;
};

struct LeftOut {
    std::string type;  // the control's type, or the window's element
    std::uint32_t file = 0;
    std::uint32_t line = 0;
    std::string why;
};

struct RenderOptions {
    int skinWidth = 1920;   // the coordinate space
    int skinHeight = 1080;
    int width = 0;          // the picture; 0 for the skin's size
    int height = 0;
    std::string time = "12:00";  // what $INFO[System.Time] shows
    std::string windowName;      // the file's name without ".xml" (for Window.IsActive)
};

// Controls laid out in one window at most (beyond, the rest is one note),
// list items per list, and levels of groups within groups.
constexpr std::size_t kMostControls = 20000;
constexpr int kMostItems = 200;
constexpr int kDeepestGroup = 64;
// The largest picture drawn, each side and in all (larger sizes are
// refused): 8K video's 7680x4320 fits, and its pixels take 128 MiB.
constexpr int kLargestPicture = 8192;
constexpr long long kMostPicturePixels = 7680LL * 4320;

struct Rendering {
    textures::Image32 picture;  // B, G, R, A; empty when the size was refused
    std::vector<DrawnControl> drawn;
    std::vector<LeftOut> leftOut;
    float scaleX = 1;  // picture pixels per skin pixel
    float scaleY = 1;
};

Rendering RenderWindow(const WindowSource& window, SkinAssets& assets, const RenderOptions& options);

// The coordinate space of a window folder from the skin's addon.xml text:
// the <res width height folder> whose folder is `folderName` (letter case
// ignored). False when none says it.
bool ResolutionOf(std::string_view addonText, std::string_view folderName, int& width, int& height);

}  // namespace render
