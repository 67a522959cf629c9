#include "render/TextDrawing.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace render {

struct FontFace::Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    float advance = 0;
    std::vector<std::uint8_t> alpha;  // width x rows
};

struct FontFace::Impl {
    std::string bytes;  // FreeType reads the face from these while it lives
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int size = 0;
    // (size << 32 | code point) to its glyph; bounded, dropped whole when full.
    std::unordered_map<std::uint64_t, Glyph> glyphs;
    ~Impl() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {
constexpr std::size_t kMostGlyphs = 4096;

int pixelSize(float size) {
    if (std::isnan(size)) return static_cast<int>(kSmallestTextSize);
    return static_cast<int>(std::lround(std::clamp(size, kSmallestTextSize, kLargestTextSize)));
}
}  // namespace

FontFace::FontFace() : impl_(std::make_unique<Impl>()) {}
FontFace::~FontFace() = default;

std::shared_ptr<FontFace> FontFace::Load(std::string bytes, std::string& reason) {
    if (bytes.size() > kLargestFontFile) {
        reason = "font file larger than " + std::to_string(kLargestFontFile >> 20) + " MiB";
        return nullptr;
    }
    std::shared_ptr<FontFace> f(new FontFace());
    Impl& i = *f->impl_;
    i.bytes = std::move(bytes);
    if (FT_Init_FreeType(&i.library) != 0) {
        reason = "the font library did not start";
        return nullptr;
    }
    if (FT_New_Memory_Face(i.library, reinterpret_cast<const FT_Byte*>(i.bytes.data()),
                           static_cast<FT_Long>(i.bytes.size()), 0, &i.face) != 0 ||
        !FT_IS_SCALABLE(i.face)) {
        reason = "not a TrueType font FreeType can read";
        return nullptr;
    }
    return f;
}

bool FontFace::setSize(int size) {
    if (impl_->size == size) return true;
    if (FT_Set_Pixel_Sizes(impl_->face, 0, static_cast<FT_UInt>(size)) != 0) return false;
    impl_->size = size;
    return true;
}

const FontFace::Glyph* FontFace::glyph(char32_t c, int size) {
    const std::uint64_t key = (static_cast<std::uint64_t>(size) << 32) | c;
    if (auto it = impl_->glyphs.find(key); it != impl_->glyphs.end()) return &it->second;
    if (!setSize(size)) return nullptr;
    if (impl_->glyphs.size() >= kMostGlyphs) impl_->glyphs.clear();
    Glyph& g = impl_->glyphs[key];
    FT_Face face = impl_->face;
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return &g;
    const FT_GlyphSlot slot = face->glyph;
    g.advance = static_cast<float>(slot->advance.x) / 64.0f;
    const FT_Bitmap& b = slot->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY || b.buffer == nullptr) return &g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(b.width);
    g.rows = static_cast<int>(b.rows);
    g.alpha.resize(static_cast<std::size_t>(g.width) * g.rows);
    for (int y = 0; y < g.rows; ++y) {
        const unsigned char* row = b.buffer + static_cast<std::ptrdiff_t>(y) * b.pitch;
        std::copy(row, row + g.width, g.alpha.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
    }
    return &g;
}

float FontFace::width(std::u32string_view line, float size) {
    const int px = pixelSize(size);
    float w = 0;
    for (char32_t c : line) {
        if (const Glyph* g = glyph(c, px)) w += g->advance;
    }
    return w;
}

float FontFace::lineHeight(float size) {
    if (!setSize(pixelSize(size))) return size;
    return static_cast<float>(impl_->face->size->metrics.height) / 64.0f;
}

float FontFace::ascender(float size) {
    if (!setSize(pixelSize(size))) return size;
    return static_cast<float>(impl_->face->size->metrics.ascender) / 64.0f;
}

void FontFace::draw(Coverage& coverage, std::u32string_view line, float x, float baseline, float size) {
    const int px = pixelSize(size);
    float pen = x;
    const int base = static_cast<int>(std::lround(baseline));
    for (char32_t c : line) {
        const Glyph* g = glyph(c, px);
        if (!g) continue;
        if (pen > coverage.width) break;
        const int gx = static_cast<int>(std::lround(pen)) + g->left;
        const int gy = base - g->top;
        for (int y = std::max(0, -gy); y < g->rows && gy + y < coverage.height; ++y) {
            std::uint8_t* out = &coverage.bytes[static_cast<std::size_t>(gy + y) * coverage.stride];
            const std::uint8_t* in = &g->alpha[static_cast<std::size_t>(y) * g->width];
            for (int xx = std::max(0, -gx); xx < g->width && gx + xx < coverage.width; ++xx) {
                out[gx + xx] = std::max(out[gx + xx], in[xx]);
            }
        }
        pen += g->advance;
    }
}

std::u32string CodePoints(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 ? 1 : 0;
        if (b >= 0xF8) extra = 0;
        char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
        bool ok = true;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                ok = false;
            } else {
                c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            }
        }
        if (!ok) {
            out.push_back(b);
            ++i;
        } else {
            out.push_back(c);
            i += static_cast<std::size_t>(extra) + 1;
        }
    }
    return out;
}

std::vector<std::u32string> TextLines(FontFace& face, std::u32string_view text, const TextStyle& style, float width) {
    std::vector<std::u32string> lines;
    std::u32string current;
    const auto breakLine = [&] {
        lines.push_back(current);
        current.clear();
    };
    const std::u32string cr = U"[CR]";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\n') {
            breakLine();
            continue;
        }
        if (text.compare(i, cr.size(), cr) == 0) {
            breakLine();
            i += cr.size() - 1;
            continue;
        }
        current.push_back(text[i]);
        if (style.wrap && width > 0 && face.width(current, style.size) > width) {
            // Back to the last blank; a word longer than the line breaks where it is.
            const std::size_t blank = current.find_last_of(U' ');
            if (blank != std::u32string::npos && blank > 0) {
                std::u32string rest = current.substr(blank + 1);
                current.resize(blank);
                breakLine();
                current = std::move(rest);
            } else if (current.size() > 1) {
                const char32_t last = current.back();
                current.pop_back();
                breakLine();
                current.push_back(last);
            }
        }
    }
    lines.push_back(current);
    return lines;
}

void DrawText(Canvas& canvas, FontFace& face, std::u32string_view text, const TextStyle& style, float x, float y,
              float w, float h) {
    const int x0 = static_cast<int>(std::lround(std::max(x, -1.0e7f)));
    const int y0 = static_cast<int>(std::lround(std::max(y, -1.0e7f)));
    // Only the part of the box on the canvas gets coverage.
    const int cx0 = std::max(x0, 0);
    const int cy0 = std::max(y0, 0);
    const int cx1 = std::min(static_cast<int>(std::lround(std::min(x + w, 1.0e7f))), canvas.width());
    const int cy1 = std::min(static_cast<int>(std::lround(std::min(y + h, 1.0e7f))), canvas.height());
    if (cx1 <= cx0 || cy1 <= cy0 || text.empty()) return;
    const float inner = w - 2 * style.offsetX;
    const std::vector<std::u32string> lines = TextLines(face, text, style, inner);
    const float lineHeight = face.lineHeight(style.size);
    const float total = lineHeight * static_cast<float>(lines.size());
    float top = y + style.offsetY;
    if (style.alignY == AlignY::Centre) top = y + (h - total) / 2;
    Coverage coverage;
    coverage.allocate(cx1 - cx0, cy1 - cy0);
    const float ascender = face.ascender(style.size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float lineTop = top + lineHeight * static_cast<float>(i);
        if (lineTop > static_cast<float>(cy1)) break;
        if (lineTop + lineHeight < static_cast<float>(cy0)) continue;
        const float lw = face.width(lines[i], style.size);
        float left = x + style.offsetX;
        if (style.alignX == AlignX::Right) left = x + w - style.offsetX - lw;
        if (style.alignX == AlignX::Centre) left = x + (w - lw) / 2;
        face.draw(coverage, lines[i], left - static_cast<float>(cx0), lineTop + ascender - static_cast<float>(cy0),
                  style.size);
    }
    canvas.drawCoverage(coverage, cx0, cy0, style.colour);
}

}  // namespace render
