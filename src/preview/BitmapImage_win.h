// An image held in a GDI DIB section (bottom-up, rows addressed from the top),
// files read into it through GDI+ codecs chosen by extension, and drawing onto
// a device context. GDI+ runs only while a codec exists; a loaded image
// depends on GDI alone.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "preview/ImageMath.h"
#include "preview/ImagePixels.h"

class BitmapImage : public preview::ImagePixels {
public:
    BitmapImage();

    // Loads the first frame of the file through the codec for its extension.
    bool Load(const std::wstring& path);
    // Bitmap resource `id` of `module` (the process's main module when null).
    bool LoadBitmapResource(HINSTANCE module, int id);
    // A 32-bit uncompressed DIB section is copied as it is; anything else is
    // drawn into a 24-bit image of its size.
    bool CopyFromBitmap(HBITMAP bitmap);
    // The whole image into the rectangle: alpha-blended (premultiplied colours
    // expected) above 24 bits per pixel, stretched opaque otherwise.
    void Draw(HDC dc, int left, int top, int right, int bottom) const;

    HBITMAP GetHandle() const;
};

using BitmapImageList = std::vector<std::unique_ptr<BitmapImage>>;

class ImageCodec {
public:
    virtual ~ImageCodec() = default;
    virtual bool LoadFromFile(const std::wstring& path, BitmapImageList& images);
};

// GDI+ started for the owner's lifetime.
class ScopedGdiplus {
public:
    ScopedGdiplus();
    ~ScopedGdiplus();
    ScopedGdiplus(const ScopedGdiplus&) = delete;
    ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;
    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

class GdiplusImageCodec : public ImageCodec {
public:
    GdiplusImageCodec();
    bool LoadFromFile(const std::wstring& path, BitmapImageList& images) override;

private:
    std::unique_ptr<ScopedGdiplus> gdiplus_;
};

class ImageCodecFactory {
public:
    virtual ~ImageCodecFactory() = default;
    virtual preview::ImageType TypeFromFileName(const std::wstring& path) const {
        return preview::TypeFromFileName(path);
    }
    virtual std::unique_ptr<ImageCodec> MakeCodec(int type) const = 0;
};

class GdiplusCodecFactory : public ImageCodecFactory {
public:
    std::unique_ptr<ImageCodec> MakeCodec(int type) const override;
};
