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

class FCObjImage : public preview::ImagePixels {
public:
    FCObjImage();

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

using FCObjImageList = std::vector<std::unique_ptr<FCObjImage>>;

class FCImageCodec {
public:
    virtual ~FCImageCodec() = default;
    virtual bool LoadFromFile(const std::wstring& path, FCObjImageList& images);
};

// GDI+ started for the owner's lifetime.
class FCAutoInitGDIPlus {
public:
    FCAutoInitGDIPlus();
    ~FCAutoInitGDIPlus();
    FCAutoInitGDIPlus(const FCAutoInitGDIPlus&) = delete;
    FCAutoInitGDIPlus& operator=(const FCAutoInitGDIPlus&) = delete;
    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

class FCImageCodec_Gdiplus : public FCImageCodec {
public:
    FCImageCodec_Gdiplus();
    bool LoadFromFile(const std::wstring& path, FCObjImageList& images) override;

private:
    std::unique_ptr<FCAutoInitGDIPlus> gdiplus_;
};

class FCImageCodecFactory {
public:
    virtual ~FCImageCodecFactory() = default;
    virtual preview::ImageType TypeFromFileName(const std::wstring& path) const {
        return preview::TypeFromFileName(path);
    }
    virtual std::unique_ptr<FCImageCodec> MakeCodec(int type) const = 0;
};

class FCImageCodecFactory_Gdiplus : public FCImageCodecFactory {
public:
    std::unique_ptr<FCImageCodec> MakeCodec(int type) const override;
};
