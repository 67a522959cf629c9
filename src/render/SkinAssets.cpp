#include "render/SkinAssets.h"

#include "base/TextCodec.h"
#include "render/WindowSource.h"
#include "skin/MediaPaths.h"
#include "skin/SkinModel.h"
#include "textures/ImageFiles.h"
#include "textures/OrtReader.h"

#include <algorithm>

namespace render {

namespace {

std::optional<std::uint32_t> hexColour(std::string_view v) {
    if (v.size() != 8) return std::nullopt;
    std::uint32_t c = 0;
    for (char ch : v) {
        int d = -1;
        if (ch >= '0' && ch <= '9') d = ch - '0';
        if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
        if (d < 0) return std::nullopt;
        c = (c << 4) | static_cast<std::uint32_t>(d);
    }
    return c;
}

std::string xmlText(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        static constexpr std::pair<std::string_view, char> kEntities[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            if (s.compare(i, entity.size(), entity) == 0) {
                out.push_back(c);
                i += entity.size() - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced) out.push_back(s[i]);
    }
    return out;
}

}  // namespace

AssetCache::AssetCache() = default;
AssetCache::~AssetCache() = default;

void AssetCache::forget() {
    faces.clear();
    textures.clear();
    textureBytes = 0;
    bundle.reset();
}

SkinAssets::SkinAssets(const skin::SkinModel& model, skin::FileReader readFile, std::shared_ptr<AssetCache> cache)
    : readFile_(std::move(readFile)), cache_(cache ? std::move(cache) : std::make_shared<AssetCache>()) {
    using skin::SymbolKind;
    for (const auto& file : model.files()) {
        for (const skin::Definition& d : file->definitions) {
            if (d.kind != SymbolKind::Constant && d.kind != SymbolKind::Colour && d.kind != SymbolKind::String &&
                d.kind != SymbolKind::Expression && d.kind != SymbolKind::Font)
                continue;
            Defined& slot = defined_[{static_cast<int>(d.kind), d.name}];
            // The first definition read, unless a primary one comes later.
            if ((slot.value.empty() && !slot.primary) || (d.primary && !slot.primary)) slot = {d.value, d.primary};
        }
    }
    for (const skin::Definition& d : model.textures()) {
        TextureFile t{d.group == "bundle", d.name, d.at.path};
        auto& files = textureFiles_[skin::NameKey(d.name)];
        // The media center takes a texture from the bundle when it is there.
        files.insert(t.inBundle ? files.begin() : files.end(), std::move(t));
    }
    skinFolder_ = model.skinFolder();
    bundlePath_ = model.bundlePath();
}

SkinAssets::~SkinAssets() = default;

void SkinAssets::forget() {
    cache_->forget();
    fonts_.clear();
}

const SkinAssets::Defined* SkinAssets::find(int kind, std::string_view name) const {
    const auto it = defined_.find({kind, std::string(trimmed(name))});
    return it == defined_.end() ? nullptr : &it->second;
}

std::string SkinAssets::resolved(std::string_view value) const {
    const std::string_view v = trimmed(value);
    if (!v.empty() && (std::isalpha(static_cast<unsigned char>(v.front())) || v.front() == '_')) {
        if (const Defined* d = find(static_cast<int>(skin::SymbolKind::Constant), v))
            return std::string(trimmed(d->value));
    }
    return std::string(v);
}

std::optional<std::uint32_t> SkinAssets::colour(std::string_view value) const {
    const std::string v = resolved(value);
    if (const auto hex = hexColour(v)) return hex;
    if (const Defined* d = find(static_cast<int>(skin::SymbolKind::Colour), v)) return hexColour(d->value);
    return std::nullopt;
}

std::optional<std::string> SkinAssets::string(std::string_view id) const {
    if (const Defined* d = find(static_cast<int>(skin::SymbolKind::String), id)) return d->value;
    return std::nullopt;
}

std::optional<std::string> SkinAssets::expression(std::string_view name) const {
    // The model keeps an expression's text as written.
    if (const Defined* d = find(static_cast<int>(skin::SymbolKind::Expression), name)) return xmlText(d->value);
    return std::nullopt;
}

FontChoice SkinAssets::font(std::string_view name) {
    const std::string key = lowered(trimmed(name));
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    FontChoice choice;
    const Defined* d = find(static_cast<int>(skin::SymbolKind::Font), name);
    if (!d) {
        choice.problem = "font " + std::string(trimmed(name)) + " is not in Font.xml";
    } else {
        // "file, size N"
        const std::size_t comma = d->value.rfind(", size ");
        const std::string file(trimmed(d->value.substr(0, comma)));
        if (comma != std::string::npos) choice.size = std::strtof(d->value.c_str() + comma + 7, nullptr);
        if (!(choice.size > 0)) choice.size = 20;
        const std::wstring path = skinFolder_ + L"\\fonts\\" + text::fromUtf8(file);
        auto& faces = cache_->faces;
        if (auto face = faces.find(path); face != faces.end()) {
            choice.face = face->second;
        } else {
            std::string bytes;
            std::string reason;
            if (file.empty() || !readFile_ || !readFile_(path, bytes)) {
                choice.problem = "font file fonts/" + file + " cannot be read";
            } else if (!(choice.face = FontFace::Load(std::move(bytes), reason))) {
                choice.problem = "font file fonts/" + file + ": " + reason;
            }
            faces[path] = choice.face;
        }
        if (!choice.face && choice.problem.empty()) choice.problem = "font file fonts/" + file + " cannot be read";
    }
    fonts_[key] = choice;
    return choice;
}

TextureChoice SkinAssets::texture(std::string_view name) {
    std::string key = skin::NameKey(trimmed(name));
    AssetCache& cache = *cache_;
    if (auto it = cache.textures.find(key); it != cache.textures.end()) return it->second;
    TextureChoice choice;
    textures::Image32 image;
    std::string reason = "not in the media folder or the bundle";
    const auto files = textureFiles_.find(key);
    for (std::size_t k = 0; files != textureFiles_.end() && k < files->second.size() && image.empty(); ++k) {
        const TextureFile& t = files->second[k];
        if (t.inBundle) {
            if (!cache.bundle || cache.bundlePath != bundlePath_) {
                cache.bundle = std::make_unique<OrtReader>();
                cache.bundle->Open(bundlePath_);
                cache.bundlePath = bundlePath_;
            }
            OrtReader& reader = *cache.bundle;
            const OrtEntry* entry = nullptr;
            OrtReader::FrameBytes stored, pixels;
            if (!reader.IsOpen() || !(entry = reader.Find(text::fromUtf8(t.name))) || entry->frames.empty()) {
                reason = "its bundle entry cannot be read";
            } else if (const OrtFrame& f = entry->frames.front();
                       !reader.ReadStoredBytes(f, stored) || !OrtReader::Unpack(f, stored, pixels) ||
                       !textures::decodeFrame(f.format & ort::kFormatCodeMask, f.width, f.height, pixels.data.get(),
                                              pixels.size, image)) {
                reason = "its bundle entry does not decode";
            }
            continue;
        }
        std::string bytes;
        textures::DecodedImage decoded;
        reason.clear();
        if (!readFile_ || !readFile_(t.path, bytes)) {
            reason = "its file cannot be read";
        } else if (!textures::decodeImageFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                              decoded, reason) ||
                   decoded.frames.empty()) {
            if (reason.empty()) reason = "it does not decode";
        } else {
            image = std::move(decoded.frames.front().image);
        }
    }
    if (!image.empty()) {
        choice.picture = MakePicture(image);
    } else {
        choice.problem = "texture " + std::string(trimmed(name)) + ": " + reason;
    }
    const std::size_t bytes = choice.picture ? choice.picture->pixels.size() * 4 : 0;
    if (cache.textureBytes + bytes > kMostTextureBytes) {
        cache.textures.clear();
        cache.textureBytes = 0;
    }
    cache.textureBytes += bytes;
    cache.textures[std::move(key)] = choice;
    return choice;
}

}  // namespace render
