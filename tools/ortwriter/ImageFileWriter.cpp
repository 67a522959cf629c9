#include "ImageFileWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include "textures/PngCodec.h"

namespace ortwriter {
namespace {

void put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

int appendGif(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(what);
}

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// One sample of `bits` bits from an 8-bit value, big-endian when 16 bits.
void putSample(Bytes& row, std::uint8_t value, int bits) {
    if (bits == 16) {
        row.push_back(value);
        row.push_back(value);
    } else {
        row.push_back(static_cast<std::uint8_t>(value >> (8 - bits)));
    }
}

// The rows as libpng takes them with png_set_packing: one byte a sample
// below 8 bits.
std::vector<Bytes> pngRows(const Image& image, const PngLayout& layout) {
    std::vector<Bytes> rows(image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
            switch (layout.colourType) {
            case PNG_COLOR_TYPE_PALETTE:
                rows[y].push_back(static_cast<std::uint8_t>(p[0] >> (8 - layout.bitDepth)));
                break;
            case PNG_COLOR_TYPE_GRAY:
                putSample(rows[y], p[0], layout.bitDepth);
                break;
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                putSample(rows[y], p[0], layout.bitDepth);
                putSample(rows[y], p[3], layout.bitDepth);
                break;
            default:
                for (int c = 0; c < (layout.colourType == PNG_COLOR_TYPE_RGB ? 3 : 4); ++c)
                    putSample(rows[y], p[c], layout.bitDepth);
                break;
            }
        }
    }
    return rows;
}

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

// libpng leaves by longjmp on an error: only plain data lives across it.
bool writePng(PngWriter& w, Bytes& out, const Image& image, const PngLayout& layout, png_bytepp rows,
              const png_color* palette, const png_byte* alphas, const png_color_16* transparent) {
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_set_write_fn(w.png, &out, appendPng, flushNothing);
    png_set_IHDR(w.png, w.info, image.width, image.height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    const int entries = 1 << (layout.bitDepth < 8 ? layout.bitDepth : 8);
    if (layout.colourType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(w.png, w.info, palette, entries);
    if (layout.transparency) {
        if (layout.colourType == PNG_COLOR_TYPE_PALETTE)
            png_set_tRNS(w.png, w.info, alphas, entries, nullptr);
        else
            png_set_tRNS(w.png, w.info, nullptr, 0, transparent);
    }
    png_write_info(w.png, w.info);
    if (layout.bitDepth < 8) png_set_packing(w.png);
    png_write_image(w.png, rows);
    png_write_end(w.png, nullptr);
    return true;
}

}  // namespace

Bytes pngFile(const Image& image) {
    textures::Image32 pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    pixels.order = textures::ChannelOrder::Rgba;
    pixels.pixels = image.rgba;
    Bytes png;
    check(textures::encodePng(pixels, png), "PNG encoding failed");
    return png;
}

Bytes pngFile(const Image& image, const PngLayout& layout) {
    std::vector<Bytes> rows = pngRows(image, layout);
    std::vector<png_bytep> rowPointers;
    for (Bytes& row : rows) rowPointers.push_back(row.data());
    png_color palette[256];
    png_byte alphas[256];
    for (int i = 0; i < 256; ++i) {
        const int entries = 1 << (layout.bitDepth < 8 ? layout.bitDepth : 8);
        const auto level = static_cast<png_byte>(i * 255 / std::max(1, entries - 1) & 0xFF);
        palette[i] = png_color{level, level, level};
        alphas[i] = static_cast<png_byte>(255 - level);
    }
    // The first pixel's colour, in the file's sample range.
    const std::uint8_t* first = image.rgba.data();
    const int shift = layout.bitDepth < 8 ? 8 - layout.bitDepth : 0;
    const auto sample = [&](std::uint8_t v) {
        return static_cast<png_uint_16>(layout.bitDepth == 16 ? v * 257 : v >> shift);
    };
    png_color_16 transparent{0, sample(first[0]), sample(first[1]), sample(first[2]), sample(first[0])};
    PngWriter w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    check(w.png != nullptr, "png_create_write_struct failed");
    w.info = png_create_info_struct(w.png);
    check(w.info != nullptr, "png_create_info_struct failed");
    Bytes out;
    check(writePng(w, out, image, layout, rowPointers.data(), palette, alphas, &transparent), "PNG encoding failed");
    return out;
}

Bytes jpegFile(const Image& image, int quality, bool progressive) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = image.width;
    info.image_height = image.height;
    info.input_components = 4;
    info.in_color_space = JCS_EXT_RGBX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(&image.rgba[static_cast<std::size_t>(info.next_scanline) * image.width * 4]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes bmpFile(const Image& image, BmpLayout layout) {
    const std::uint32_t bits = layout == BmpLayout::Rgb24BottomUp ? 24 : layout == BmpLayout::Bgra32TopDown ? 32 : 8;
    const std::uint32_t stride = (image.width * bits + 31) / 32 * 4;
    std::vector<std::uint32_t> palette;
    std::map<std::uint32_t, std::uint32_t> indexOf;
    if (bits == 8) {
        for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
            const std::uint32_t bgr = image.rgba[i + 2] | image.rgba[i + 1] << 8 | image.rgba[i] << 16;
            if (indexOf.emplace(bgr, static_cast<std::uint32_t>(palette.size())).second) palette.push_back(bgr);
        }
        check(palette.size() <= 256, "too many colours for an 8-bit BMP");
    }
    const std::uint32_t pixelsAt = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
    Bytes out = {'B', 'M'};
    put32(out, pixelsAt + stride * image.height);
    put32(out, 0);
    put32(out, pixelsAt);
    put32(out, 40);
    put32(out, image.width);
    put32(out, layout == BmpLayout::Bgra32TopDown ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(image.height))
                                                  : image.height);
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);  // uncompressed
    put32(out, stride * image.height);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, static_cast<std::uint32_t>(palette.size()));
    put32(out, 0);
    for (const std::uint32_t bgr : palette) put32(out, bgr);
    for (std::uint32_t r = 0; r < image.height; ++r) {
        const std::uint32_t y = layout == BmpLayout::Bgra32TopDown ? r : image.height - 1 - r;
        const std::size_t rowStart = out.size();
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
            if (bits == 8) {
                out.push_back(static_cast<std::uint8_t>(indexOf.at(p[2] | p[1] << 8 | p[0] << 16)));
            } else {
                out.push_back(p[2]);
                out.push_back(p[1]);
                out.push_back(p[0]);
                if (bits == 32) out.push_back(p[3]);
            }
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

Bytes gifFile(std::uint32_t width, std::uint32_t height, const std::vector<GifColour>& palette,
              const std::vector<GifFrame>& frames, bool loop) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendGif, &error);
    check(gif != nullptr, "EGifOpen failed");
    EGifSetGifVersion(gif, true);
    std::vector<GifColorType> colours;
    for (const GifColour& c : palette) colours.push_back({c[0], c[1], c[2]});
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    check(map != nullptr, "GifMakeMapObject failed");
    bool ok = EGifPutScreenDesc(gif, static_cast<int>(width), static_cast<int>(height), 8, 0, map) == GIF_OK;
    if (ok && loop) {
        const unsigned char application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const unsigned char forever[] = {1, 0, 0};
        ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
             EGifPutExtensionBlock(gif, sizeof application, application) == GIF_OK &&
             EGifPutExtensionBlock(gif, sizeof forever, forever) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    }
    for (const GifFrame& frame : frames) {
        if (!ok) break;
        GraphicsControlBlock control{frame.disposal, false, static_cast<int>(frame.delay), frame.transparent};
        GifByteType block[4];
        EGifGCBToExtension(&control, block);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block) == GIF_OK &&
             EGifPutImageDesc(gif, static_cast<int>(frame.left), static_cast<int>(frame.top),
                              static_cast<int>(frame.width), static_cast<int>(frame.height), frame.interlaced,
                              nullptr) == GIF_OK;
        // Interlaced rows go out in the four passes' order.
        std::vector<std::uint32_t> rows;
        if (frame.interlaced) {
            const std::uint32_t start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (std::uint32_t y = start[pass]; y < frame.height; y += step[pass]) rows.push_back(y);
        } else {
            for (std::uint32_t y = 0; y < frame.height; ++y) rows.push_back(y);
        }
        std::vector<GifPixelType> line(frame.width);
        for (const std::uint32_t y : rows) {
            if (!ok) break;
            std::memcpy(line.data(), &frame.indices[static_cast<std::size_t>(y) * frame.width], frame.width);
            ok = EGifPutLine(gif, line.data(), static_cast<int>(frame.width)) == GIF_OK;
        }
    }
    GifFreeMapObject(map);
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    check(ok && closed, "GIF encoding failed");
    return out;
}

std::vector<std::pair<std::string, Bytes>> imageSeeds() {
    const auto picture = [](std::uint32_t w, std::uint32_t h) {
        Image image{w, h, Bytes(static_cast<std::size_t>(w) * h * 4)};
        for (std::size_t i = 0; i < image.rgba.size(); ++i)
            image.rgba[i] = static_cast<std::uint8_t>(i % 4 == 3 ? (i * 5) % 256 : (i * 37) % 256 & 0xE0);
        return image;
    };
    const std::vector<GifColour> palette = {{{0, 0, 0}}, {{255, 0, 0}}, {{0, 255, 0}}, {{255, 255, 255}}};
    GifFrame whole{0, 0, 8, 6, Bytes(48), 4, 2, 3, true};
    for (std::size_t i = 0; i < whole.indices.size(); ++i) whole.indices[i] = static_cast<std::uint8_t>(i % 4);
    const GifFrame part{2, 1, 3, 2, {1, 2, 1, 2, 1, 2}, 9, 3, -1, false};
    const int grey = PNG_COLOR_TYPE_GRAY, greyAlpha = PNG_COLOR_TYPE_GRAY_ALPHA, rgb = PNG_COLOR_TYPE_RGB,
              rgba = PNG_COLOR_TYPE_RGB_ALPHA, palette8 = PNG_COLOR_TYPE_PALETTE;
    const Image odd = picture(11, 7);
    // Frames as the frame decoders' fuzzer reads them: the first byte picks
    // the format, then width and height in 12 bits each, then the pixels.
    const auto frame = [&odd](std::uint8_t choice, std::uint32_t format) {
        Bytes out = {choice, static_cast<std::uint8_t>(odd.width), 0, static_cast<std::uint8_t>(odd.height), 0, 0};
        const Bytes pixels = encode(odd, format);
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    };
    return {
        {"frame/dxt1", frame(0, kDxt1)},
        {"frame/dxt3", frame(1, kDxt3)},
        {"frame/dxt5", frame(2, kDxt5)},
        {"frame/bgra32", frame(4, kBgra32)},
        {"frame/alpha8", frame(5, kAlpha8)},
        {"frame/rgb24", frame(6, kRgb24)},
        {"png/rgba.png", pngFile(picture(9, 5))},
        {"png/grey1.png", pngFile(odd, {grey, 1, false, false})},
        {"png/grey2-interlaced.png", pngFile(odd, {grey, 2, true, false})},
        {"png/grey4-trns.png", pngFile(odd, {grey, 4, false, true})},
        {"png/grey8-interlaced.png", pngFile(odd, {grey, 8, true, false})},
        {"png/grey16-trns.png", pngFile(odd, {grey, 16, false, true})},
        {"png/grey-alpha8.png", pngFile(odd, {greyAlpha, 8, false, false})},
        {"png/grey-alpha16-interlaced.png", pngFile(odd, {greyAlpha, 16, true, false})},
        {"png/rgb8-trns.png", pngFile(odd, {rgb, 8, false, true})},
        {"png/rgb16-interlaced.png", pngFile(odd, {rgb, 16, true, false})},
        {"png/rgba8-interlaced.png", pngFile(odd, {rgba, 8, true, false})},
        {"png/rgba16.png", pngFile(odd, {rgba, 16, false, false})},
        {"png/palette1.png", pngFile(odd, {palette8, 1, false, false})},
        {"png/palette2-trns-interlaced.png", pngFile(odd, {palette8, 2, true, true})},
        {"png/palette4.png", pngFile(odd, {palette8, 4, false, false})},
        {"png/palette8-trns.png", pngFile(odd, {palette8, 8, false, true})},
        {"jpeg/baseline.jpg", jpegFile(picture(16, 9), 75)},
        {"jpeg/progressive.jpg", jpegFile(picture(17, 8), 60, true)},
        {"gif/animation.gif", gifFile(8, 6, palette, {whole, part, whole}, true)},
        {"gif/still.gif", gifFile(3, 2, palette, {GifFrame{0, 0, 3, 2, {0, 1, 2, 3, 2, 1}, 0, 0, -1, false}}, false)},
        {"bmp/rgb24.bmp", bmpFile(picture(5, 3), BmpLayout::Rgb24BottomUp)},
        {"bmp/bgra32.bmp", bmpFile(picture(4, 4), BmpLayout::Bgra32TopDown)},
        {"bmp/palette8.bmp",
         bmpFile(Image{3, 2, Bytes{1, 2, 3, 255, 4, 5, 6, 255, 1, 2, 3, 255, 9, 9, 9, 255, 4, 5, 6, 255, 1, 2, 3, 255}},
                 BmpLayout::Palette8BottomUp)},
    };
}

}  // namespace ortwriter
