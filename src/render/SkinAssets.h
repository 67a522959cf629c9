// What a window's drawing takes from its skin, through the skin model:
// constants, colours, strings, expressions, fonts (Font.xml's file and size,
// the TrueType file from the skin's fonts folder) and textures (the bundle's
// entry, else the media folder's file), each read and decoded once and
// shared by every drawing made with these assets. One drawing at a time uses
// them, and the model does not change meanwhile (whoever holds both updates
// the model between drawings, then calls forget()). Portable.
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

// Most bytes of decoded textures kept at once; past it the least recently
// added are dropped (and decoded again when asked).
constexpr std::size_t kMostTextureBytes = std::size_t{256} << 20;

class SkinAssets {
public:
    SkinAssets(const skin::SkinModel& model, skin::FileReader readFile);
    ~SkinAssets();
    SkinAssets(const SkinAssets&) = delete;
    SkinAssets& operator=(const SkinAssets&) = delete;

    // After the model changed: textures and fonts whose files changed are
    // read again (everything is dropped; the cost is one decoding each).
    void forget();

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

    const skin::SkinModel& model() const { return model_; }

private:
    const skin::SkinModel& model_;
    skin::FileReader readFile_;
    std::map<std::string, FontChoice> fonts_;
    std::map<std::string, std::shared_ptr<FontFace>> faces_;  // by font file
    std::map<std::string, TextureChoice> textures_;
    std::size_t textureBytes_ = 0;
    std::unique_ptr<OrtReader> bundle_;  // opened at the first texture it holds
};

}  // namespace render
