// GIF files into 32-bit frames with giflib: every frame of an animation is
// drawn onto the picture as the format says (local or global colours, a
// transparent index, frames placed anywhere, interlaced rows) and the picture
// after each frame becomes one frame of the result; then the frame's
// disposal is applied before the next one.
#include <algorithm>
#include <cstring>
#include <limits>

#include <gif_lib.h>

#include "textures/ImageFiles.h"

namespace textures {
namespace {

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
};

int readMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    if (length <= 0) return 0;
    const std::size_t wanted = static_cast<std::size_t>(length);
    const std::size_t count = std::min(wanted, input->size - input->at);
    std::memcpy(buffer, input->data + input->at, count);
    input->at += count;
    return static_cast<int>(count);
}

struct GifCloser {
    GifFileType* gif = nullptr;
    ~GifCloser() {
        if (gif != nullptr) {
            int ignored = 0;
            DGifCloseFile(gif, &ignored);
        }
    }
};

// Rows of a frame in the order the file holds them: top to bottom, or the
// four interlaced passes.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int next() {
        if (!interlaced_) return count_++;
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        while (pass_ < 4) {
            const int row = kStart[pass_] + kStep[pass_] * index_;
            if (row < height_) {
                ++index_;
                return row;
            }
            ++pass_;
            index_ = 0;
        }
        return height_;
    }

private:
    int height_;
    bool interlaced_;
    int count_ = 0;
    int pass_ = 0;
    int index_ = 0;
};

void clearRect(std::vector<std::uint8_t>& canvas, std::uint32_t canvasWidth, std::uint32_t canvasHeight, int left,
               int top, int width, int height) {
    const std::uint32_t x0 = std::min<std::uint32_t>(static_cast<std::uint32_t>(left), canvasWidth);
    const std::uint32_t x1 = std::min<std::uint32_t>(static_cast<std::uint32_t>(left + width), canvasWidth);
    for (int r = 0; r < height; ++r) {
        const std::uint32_t y = static_cast<std::uint32_t>(top + r);
        if (y >= canvasHeight || x1 <= x0) break;
        std::memset(&canvas[(static_cast<std::size_t>(y) * canvasWidth + x0) * 4], 0, (x1 - x0) * 4);
    }
}

const char* gifReason(int code) noexcept {
    switch (code) {
    case D_GIF_ERR_READ_FAILED:
        return "damaged GIF data: it ends early";
    case D_GIF_ERR_NOT_GIF_FILE:
        return "not a GIF image";
    case D_GIF_ERR_NO_SCRN_DSCR:
        return "damaged GIF data: no screen descriptor";
    case D_GIF_ERR_NO_IMAG_DSCR:
        return "damaged GIF data: no image descriptor";
    case D_GIF_ERR_NO_COLOR_MAP:
        return "damaged GIF data: no colour table";
    case D_GIF_ERR_WRONG_RECORD:
        return "damaged GIF data: unknown record";
    case D_GIF_ERR_DATA_TOO_BIG:
        return "damaged GIF data: more pixels than the frame holds";
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        return "out of memory";
    case D_GIF_ERR_IMAGE_DEFECT:
        return "damaged GIF data: broken pixel codes";
    case D_GIF_ERR_EOF_TOO_SOON:
        return "damaged GIF data: image data ends early";
    default:
        return "damaged GIF data";
    }
}

}  // namespace

bool decodeGif(const std::uint8_t* data, std::size_t size, std::vector<ImageFrame>& frames, std::string& reason,
               ChannelOrder order) noexcept {
    frames.clear();
    try {
        MemoryInput input{data, data != nullptr ? size : 0, 0};
        int error = 0;
        GifCloser file;
        file.gif = DGifOpen(&input, readMemory, &error);
        if (file.gif == nullptr) {
            reason = gifReason(error);
            return false;
        }
        GifFileType* gif = file.gif;
        const auto fail = [&](const std::string& why) {
            frames.clear();
            reason = why;
            return false;
        };

        std::uint32_t width = static_cast<std::uint32_t>(std::max(0, gif->SWidth));
        std::uint32_t height = static_cast<std::uint32_t>(std::max(0, gif->SHeight));
        std::vector<std::uint8_t> canvas;
        std::vector<std::uint8_t> saved;
        std::vector<GifPixelType> line;
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        const std::size_t red = order == ChannelOrder::Bgra ? 2 : 0, blue = 2 - red;

        // The picture after the latest frame is stored as a frame only when
        // another frame follows (then the frame's disposal is applied), and
        // the last one takes the picture itself: no file holds more than its
        // frames and one working picture, and a still image no copy at all.
        struct Drawn {
            bool pending = false;
            int left = 0, top = 0, width = 0, height = 0;
            int disposal = DISPOSAL_UNSPECIFIED;
            std::uint32_t durationMs = 0;
        } drawn;
        const auto storeDrawn = [&](bool last) {
            ImageFrame frame;
            frame.image.width = width;
            frame.image.height = height;
            frame.image.order = order;
            frame.durationMs = drawn.durationMs;
            if (last)
                frame.image.pixels = std::move(canvas);
            else
                frame.image.pixels = canvas;
            frames.push_back(std::move(frame));
            drawn.pending = false;
            if (last) return;
            if (drawn.disposal == DISPOSE_BACKGROUND) {
                clearRect(canvas, width, height, drawn.left, drawn.top, drawn.width, drawn.height);
            } else if (drawn.disposal == DISPOSE_PREVIOUS) {
                canvas.swap(saved);
            }
        };

        for (;;) {
            GifRecordType record = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
                // Many files in the wild lack the final trailer byte: after a
                // complete frame that is the end, not damage.
                if (drawn.pending && gif->Error == D_GIF_ERR_READ_FAILED && input.at == input.size) break;
                return fail(gifReason(gif->Error));
            }
            if (record == TERMINATE_RECORD_TYPE) break;
            if (record == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return fail(gifReason(gif->Error));
                if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
                    DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR) {
                    control = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
                }
                while (block != nullptr) {
                    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return fail(gifReason(gif->Error));
                }
                continue;
            }
            if (record != IMAGE_DESC_RECORD_TYPE) return fail("damaged GIF data: unknown record");

            if (DGifGetImageDesc(gif) == GIF_ERROR) return fail(gifReason(gif->Error));
            const GifImageDesc& desc = gif->Image;
            if (desc.Width <= 0 || desc.Height <= 0) return fail("damaged GIF data: an empty frame");
            const bool first = frames.empty() && !drawn.pending;
            if (first && (width == 0 || height == 0)) {
                // A picture of no size takes the first frame's extent.
                width = static_cast<std::uint32_t>(desc.Left + desc.Width);
                height = static_cast<std::uint32_t>(desc.Top + desc.Height);
            }
            // Checked before the picture is made: its size, this frame's own
            // (its rows are decoded even where they fall outside the
            // picture), and all frames together with the working pictures.
            if (!withinImageLimits(width, height)) return fail(tooLargeReason(width, height));
            if (!withinImageLimits(static_cast<std::uint32_t>(desc.Width), static_cast<std::uint32_t>(desc.Height)))
                return fail(
                    tooLargeReason(static_cast<std::uint32_t>(desc.Width), static_cast<std::uint32_t>(desc.Height)));
            const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
            const std::uint64_t stored = frames.size() + (drawn.pending ? 1 : 0);
            const std::uint64_t pictures = stored + 1 + (control.DisposalMode == DISPOSE_PREVIOUS ? 1 : 0);
            if (pixels * pictures > kLargestImagePixels)
                return fail("image too large: its frames together have more than " +
                            std::to_string(kLargestImagePixels) + " pixels");
            if (stored >= std::numeric_limits<std::uint16_t>::max()) return fail("damaged GIF data: too many frames");
            const ColorMapObject* colours = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
            if (colours == nullptr) return fail("damaged GIF data: no colour table");
            if (first) canvas.assign(static_cast<std::size_t>(pixels) * 4, 0);
            if (drawn.pending) storeDrawn(false);

            if (control.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
            line.resize(static_cast<std::size_t>(desc.Width));
            RowOrder rows(desc.Height, desc.Interlace);
            for (int i = 0; i < desc.Height; ++i) {
                if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return fail(gifReason(gif->Error));
                const std::uint32_t y = static_cast<std::uint32_t>(desc.Top + rows.next());
                if (y >= height) continue;
                for (int c = 0; c < desc.Width; ++c) {
                    const std::uint32_t x = static_cast<std::uint32_t>(desc.Left + c);
                    if (x >= width) break;
                    const int index = line[static_cast<std::size_t>(c)];
                    if (index == control.TransparentColor) continue;
                    std::uint8_t* p = &canvas[(static_cast<std::size_t>(y) * width + x) * 4];
                    // An index past the colour table stands for black.
                    if (index < colours->ColorCount) {
                        const GifColorType& colour = colours->Colors[index];
                        p[red] = colour.Red;
                        p[1] = colour.Green;
                        p[blue] = colour.Blue;
                    } else {
                        p[0] = p[1] = p[2] = 0;
                    }
                    p[3] = 255;
                }
            }

            drawn.pending = true;
            drawn.left = desc.Left, drawn.top = desc.Top, drawn.width = desc.Width, drawn.height = desc.Height;
            drawn.disposal = control.DisposalMode;
            drawn.durationMs = static_cast<std::uint32_t>(std::max(0, control.DelayTime)) * 10;
            control = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        }
        if (!drawn.pending) return fail("damaged GIF data: no frame");
        storeDrawn(true);
        return true;
    } catch (...) {
        frames.clear();
        reason = "out of memory";
        return false;
    }
}

}  // namespace textures
