// Image files read back through GDI+, a decoder independent of the plugin's:
// what the extraction wrote is compared with what went in.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// The image's pixels as 0xAARRGGBB, rows from the top; false when it cannot be read.
inline bool readPng(const std::wstring& path, UINT& width, UINT& height, std::vector<std::uint32_t>& pixels) {
    Gdiplus::Bitmap bitmap(path.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return false;
    width = bitmap.GetWidth();
    height = bitmap.GetHeight();
    Gdiplus::Rect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return false;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (UINT x = 0; x < width; ++x) pixels[y * width + x] = row[x];
    }
    bitmap.UnlockBits(&data);
    return true;
}

}  // namespace testsupport
