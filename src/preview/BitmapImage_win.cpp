#include "preview/BitmapImage_win.h"

#include "base/Win32Handles.h"

#include <gdiplus.h>

#include <cstring>
#include <new>

namespace gp = Gdiplus;
namespace gdip = Gdiplus::DllExports;

namespace {

// Pixel memory of a DIB section; the bitmap handle owns it.
class DibMemory : public preview::ImageMemory {
public:
    DibMemory(HBITMAP bitmap, std::uint8_t* bits) : bitmap_(bitmap), bits_(bits) {}
    std::uint8_t* bits() const override { return bits_; }
    HBITMAP handle() const { return bitmap_.get(); }

private:
    win::Bitmap bitmap_;
    std::uint8_t* bits_;
};

std::unique_ptr<preview::ImageMemory> makeDib(int width, int height, int bpp, std::size_t,
                                              const std::uint8_t* palette) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;  // positive: bottom-up
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bpp);
    info.header.biCompression = BI_RGB;
    if (palette != nullptr) {
        info.header.biClrUsed = 256;
        std::memcpy(info.colours, palette, sizeof info.colours);
    }
    void* bits = nullptr;
    HBITMAP bitmap =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) {
            ::DeleteObject(bitmap);
        }
        return nullptr;
    }
    // A fresh DIB section is zero-filled by the system.
    try {
        return std::make_unique<DibMemory>(bitmap, static_cast<std::uint8_t*>(bits));
    } catch (const std::bad_alloc&) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
}

ImageCodecFactory& codecFactory() {
    static GdiplusCodecFactory factory;
    return factory;
}

// The BMP container's GUID, as GDI+ reports it for its raw format.
constexpr GUID kImageFormatBmp = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Disposes of a GDI+ image when the load ends.
struct GdipImageOwner {
    gp::GpBitmap* bitmap = nullptr;
    ~GdipImageOwner() {
        if (bitmap != nullptr) {
            gdip::GdipDisposeImage(bitmap);
        }
    }
};

bool convertFrame(gp::GpBitmap* bitmap, BitmapImage& image) {
    UINT width = 0;
    UINT height = 0;
    gdip::GdipGetImageWidth(bitmap, &width);
    gdip::GdipGetImageHeight(bitmap, &height);
    if (width == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return false;
    }
    UINT flags = 0;
    gdip::GdipGetImageFlags(bitmap, &flags);
    gp::PixelFormat format = 0;
    gdip::GdipGetImagePixelFormat(bitmap, &format);
    GUID raw{};
    gdip::GdipGetImageRawFormat(bitmap, &raw);

    int bpp = 24;
    gp::PixelFormat target = PixelFormat24bppRGB;
    if ((flags & gp::ImageFlagsHasAlpha) != 0 || format == PixelFormat32bppARGB) {
        bpp = 32;
        target = PixelFormat32bppARGB;
    } else if (raw == kImageFormatBmp && format == PixelFormat32bppRGB) {
        bpp = 32;
        target = PixelFormat32bppRGB;
    }
    if (!image.Create(static_cast<int>(width), static_cast<int>(height), bpp)) {
        return false;
    }
    // One row at a time straight into the DIB's own row: GDI+ writes top-down
    // rows, the DIB stores them bottom-up.
    for (int y = 0; y < image.Height(); ++y) {
        gp::GpRect row(0, y, static_cast<INT>(width), 1);
        gp::BitmapData data{};
        data.Width = width;
        data.Height = 1;
        data.Stride = static_cast<INT>(image.Stride());
        data.PixelFormat = target;
        data.Scan0 = image.GetBits(y);
        if (gdip::GdipBitmapLockBits(bitmap, &row, gp::ImageLockModeRead | gp::ImageLockModeUserInputBuf, target,
                                     &data) != gp::Ok) {
            break;
        }
        gdip::GdipBitmapUnlockBits(bitmap, &data);
    }
    return image.HasPixels();
}

}  // namespace

BitmapImage::BitmapImage() : preview::ImagePixels(makeDib) {}

HBITMAP BitmapImage::GetHandle() const {
    const auto* dib = static_cast<const DibMemory*>(memory());
    return dib != nullptr ? dib->handle() : nullptr;
}

bool BitmapImage::Load(const std::wstring& path) {
    ImageCodecFactory& factory = codecFactory();
    std::unique_ptr<ImageCodec> codec = factory.MakeCodec(factory.TypeFromFileName(path));
    if (!codec) {
        return false;
    }
    BitmapImageList images;
    const bool loaded = codec->LoadFromFile(path, images);
    codec.reset();
    if (!images.empty()) {
        SwapPixels(*images.front());
    }
    return loaded;
}

bool BitmapImage::CopyFromBitmap(HBITMAP bitmap) {
    Destroy();
    if (bitmap == nullptr) {
        return false;
    }
    DIBSECTION section{};
    const int got = ::GetObjectW(bitmap, sizeof section, &section);
    if (got == static_cast<int>(sizeof section) && section.dsBm.bmBitsPixel == 32 &&
        section.dsBmih.biCompression == BI_RGB && section.dsBm.bmBits != nullptr) {
        const int width = section.dsBm.bmWidth;
        const int height = section.dsBm.bmHeight;
        if (!Create(width, height, 32)) {
            return false;
        }
        // The system copies between DIBs of one format byte for byte (alpha
        // included) and turns the rows round when the source is top-down,
        // which its description does not reliably tell.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        win::MemoryDC dc(nullptr);
        if (dc.get() == nullptr || ::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), GetMemStart(), &info,
                                               DIB_RGB_COLORS) != height) {
            Destroy();
            return false;
        }
        return HasPixels();
    }
    BITMAP plain{};
    if (::GetObjectW(bitmap, sizeof plain, &plain) == 0 || !Create(plain.bmWidth, plain.bmHeight, 24)) {
        return false;
    }
    win::MemoryDC source(nullptr);
    win::MemoryDC target(nullptr);
    if (source.get() == nullptr || target.get() == nullptr) {
        Destroy();
        return false;
    }
    win::SelectObjectScope selectSource(source.get(), bitmap);
    win::SelectObjectScope selectTarget(target.get(), GetHandle());
    ::BitBlt(target.get(), 0, 0, Width(), Height(), source.get(), 0, 0, SRCCOPY);
    return HasPixels();
}

bool BitmapImage::LoadBitmapResource(HINSTANCE module, int id) {
    Destroy();
    if (module == nullptr) {
        module = ::GetModuleHandleW(nullptr);
    }
    win::Bitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return bitmap && CopyFromBitmap(bitmap.get());
}

void BitmapImage::Draw(HDC dc, int left, int top, int right, int bottom) const {
    if (!HasPixels() || dc == nullptr) {
        return;
    }
    win::MemoryDC memory(dc);
    if (memory.get() == nullptr) {
        return;
    }
    win::SelectObjectScope select(memory.get(), GetHandle());
    if (ColorBits() > 24) {
        BLENDFUNCTION blend{};
        blend.BlendOp = AC_SRC_OVER;
        blend.SourceConstantAlpha = 255;
        blend.AlphaFormat = AC_SRC_ALPHA;
        ::AlphaBlend(dc, left, top, right - left, bottom - top, memory.get(), 0, 0, Width(), Height(), blend);
    } else {
        const int previous = ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, left, top, right - left, bottom - top, memory.get(), 0, 0, Width(), Height(), SRCCOPY);
        if (previous != 0) {
            ::SetStretchBltMode(dc, previous);
        }
    }
}

bool ImageCodec::LoadFromFile(const std::wstring&, BitmapImageList&) { return false; }

ScopedGdiplus::ScopedGdiplus() {
    gp::GdiplusStartupInput input{};
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    started_ = gp::GdiplusStartup(&token_, &input, nullptr) == gp::Ok;
}

ScopedGdiplus::~ScopedGdiplus() {
    if (started_) {
        gp::GdiplusShutdown(token_);
    }
}

GdiplusImageCodec::GdiplusImageCodec() : gdiplus_(std::make_unique<ScopedGdiplus>()) {}

bool GdiplusImageCodec::LoadFromFile(const std::wstring& path, BitmapImageList& images) {
    if (!gdiplus_ || !gdiplus_->started()) {
        return false;
    }
    try {
        GdipImageOwner owner;
        if (gdip::GdipCreateBitmapFromFile(path.c_str(), &owner.bitmap) != gp::Ok || owner.bitmap == nullptr) {
            return false;
        }
        UINT dimensionCount = 0;
        if (gdip::GdipImageGetFrameDimensionsCount(owner.bitmap, &dimensionCount) != gp::Ok || dimensionCount == 0) {
            return false;
        }
        std::vector<GUID> dimensions(dimensionCount);
        if (gdip::GdipImageGetFrameDimensionsList(owner.bitmap, dimensions.data(), dimensionCount) != gp::Ok) {
            return false;
        }
        for (const GUID& dimension : dimensions) {
            UINT frames = 0;
            gdip::GdipImageGetFrameCount(owner.bitmap, &dimension, &frames);
            for (UINT frame = 0; frame < frames; ++frame) {
                gdip::GdipImageSelectActiveFrame(owner.bitmap, &dimension, frame);
                auto image = std::make_unique<BitmapImage>();
                if (convertFrame(owner.bitmap, *image)) {
                    images.push_back(std::move(image));
                }
            }
        }
        return !images.empty();
    } catch (const std::bad_alloc&) {
        return !images.empty();
    }
}

std::unique_ptr<ImageCodec> GdiplusCodecFactory::MakeCodec(int type) const {
    if (!preview::HasGdiplusCodec(type)) {
        return nullptr;
    }
    return std::make_unique<GdiplusImageCodec>();
}
