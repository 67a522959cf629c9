// Text in a skin's TrueType font, through FreeType: a face read from the
// font file's bytes, its glyphs rendered anti-aliased at a pixel size and
// kept, lines measured, wrapped at blanks to a width, aligned and drawn as
// coverage clipped to a box. A face is used by one thread at a time.
// Portable.
#pragma once

#include "render/Canvas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace render {

// Font files larger than this are not read (no skin font comes near it).
constexpr std::size_t kLargestFontFile = 32u << 20;
// Pixel sizes beyond these are held at them.
constexpr float kSmallestTextSize = 1.0f;
constexpr float kLargestTextSize = 512.0f;

class FontFace {
public:
    // The first face of a TrueType file; null with the reason when FreeType
    // cannot read it.
    static std::shared_ptr<FontFace> Load(std::string bytes, std::string& reason);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    float width(std::u32string_view line, float size);
    float lineHeight(float size);
    float ascender(float size);
    // The line's glyphs added to `coverage`, the pen starting at x, the
    // baseline at `baseline` (coverage pixels).
    void draw(Coverage& coverage, std::u32string_view line, float x, float baseline, float size);

private:
    struct Glyph;
    struct Impl;
    FontFace();
    const Glyph* glyph(char32_t c, int size);
    bool setSize(int size);
    std::unique_ptr<Impl> impl_;
};

enum class AlignX : unsigned char { Left, Centre, Right, Justify };
enum class AlignY : unsigned char { Top, Centre };

struct TextStyle {
    float size = 20;            // pixels of the canvas
    std::uint32_t colour = 0xFFFFFFFF;
    AlignX alignX = AlignX::Left;
    AlignY alignY = AlignY::Top;
    bool wrap = false;          // break lines at blanks to the box's width
    float offsetX = 0;          // space kept at the left and right, canvas pixels
    float offsetY = 0;
};

// UTF-8 to code points (bytes that are not UTF-8 taken one to one).
std::u32string CodePoints(std::string_view utf8);

// The text's lines as drawn in a box `width` wide (wrapped when asked; "\n"
// and "[CR]" always break).
std::vector<std::u32string> TextLines(FontFace& face, std::u32string_view text, const TextStyle& style, float width);

// Draws the text into the box (canvas pixels), clipped to it.
void DrawText(Canvas& canvas, FontFace& face, std::u32string_view text, const TextStyle& style, float x, float y,
              float w, float h);

}  // namespace render
