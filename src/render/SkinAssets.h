// What a window's drawing takes from its skin: constants, colours, strings,
// expressions, fonts (Font.xml's file and size, the TrueType file from the
// skin's fonts folder) and textures (the bundle's entry, else the media
// folder's file). The model's definitions are copied when the assets are
// made, so a drawing may run on another thread while the model changes; the
// decoded textures and fonts live in an AssetCache that the assets of
// successive models of one skin share, so each is read and decoded once.
// One drawing at a time uses a cache. Portable.
#pragma once

#include "render/Canvas.h"
#include "render/TextDrawing.h"
#include "skin/IncludeScan.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class OrtReader;
namespace skin {
class SkinModel;
}

namespace render {

struct FontChoice {
    std::shared_ptr<FontFace> face;  // null when it cannot be had
    float size = 0;                  // skin pixels
    std::string problem;             // why there is no face
};

struct TextureChoice {
    std::shared_ptr<const Picture> picture;  // null when it cannot be had
    std::string problem;
};

// Most bytes of decoded textures kept at once; past it all are dropped (and
// decoded again when asked).
constexpr std::size_t kMostTextureBytes = std::size_t{256} << 20;

// Decoded textures and font faces by file, kept across models of one skin.
class AssetCache {
public:
    AssetCache();
    ~AssetCache();
    AssetCache(const AssetCache&) = delete;
    AssetCache& operator=(const AssetCache&) = delete;
    // Files changed on disk: everything is read again when next asked.
    void forget();

private:
    friend class SkinAssets;
    std::map<std::wstring, std::shared_ptr<FontFace>> faces;  // by font file; null when unreadable
    std::map<std::string, TextureChoice> textures;           // by texture name key
    std::size_t textureBytes = 0;
    std::unique_ptr<OrtReader> bundle;  // opened at the first texture it holds
    std::wstring bundlePath;
};

class SkinAssets {
public:
    // `cache` is shared with the assets of earlier models of the skin; a new
    // one is made when none is given.
    SkinAssets(const skin::SkinModel& model, skin::FileReader readFile, std::shared_ptr<AssetCache> cache = {});
    ~SkinAssets();
    SkinAssets(const SkinAssets&) = delete;
    SkinAssets& operator=(const SkinAssets&) = delete;

    // After the skin's files changed on disk: textures and fonts are read again.
    void forget();
    const std::shared_ptr<AssetCache>& cache() const { return cache_; }

    // The value of a constant, when `value` names one; otherwise `value`.
    std::string resolved(std::string_view value) const;
    // A colour: eight hex digits (AARRGGBB) or a name from the colours file.
    std::optional<std::uint32_t> colour(std::string_view value) const;
    // A string's text by its id (skin's or the media center's own).
    std::optional<std::string> string(std::string_view id) const;
    // An expression's condition text, when it is known whole.
    std::optional<std::string> expression(std::string_view name) const;
    FontChoice font(std::string_view name);
    TextureChoice texture(std::string_view name);

private:
    struct Defined {
        std::string value;
        bool primary = false;
    };
    struct TextureFile {
        bool inBundle = false;
        std::string name;   // as the bundle stores it
        std::wstring path;  // the media folder's file
    };
    const Defined* find(int kind, std::string_view name) const;

    skin::FileReader readFile_;
    std::shared_ptr<AssetCache> cache_;
    std::map<std::pair<int, std::string>, Defined> defined_;
    std::map<std::string, std::vector<TextureFile>> textureFiles_;  // by name key, bundle entries first
    std::wstring skinFolder_;
    std::wstring bundlePath_;
    std::map<std::string, FontChoice> fonts_;
};

}  // namespace render
