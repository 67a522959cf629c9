// Screenshots: a window's pixels, frame included, written as PNG by GDI+.
#include "HostImpl.h"

#include <gdiplus.h>

#include <cstdint>
#include <memory>

namespace host {
namespace {

// GDI+ PNG encoder.
const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

struct ImageDisposer {
    void operator()(Gdiplus::GpBitmap* image) const noexcept { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using Image = std::unique_ptr<Gdiplus::GpBitmap, ImageDisposer>;

}  // namespace

void GraphicsSession::start() {
    if (token_ != 0) return;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

void GraphicsSession::stop() {
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
    token_ = 0;
}

bool screenshot(HWND hwnd, const std::wstring& path, std::wstring& error) {
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {
        error = L"the window has no area";
        return false;
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    win::WindowDC window(hwnd, win::WindowDC::WholeWindow{});
    win::MemoryDC memory(window.get());
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::Bitmap bitmap(CreateDIBSection(window.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (window.get() == nullptr || memory.get() == nullptr || !bitmap) {
        error = L"cannot create the bitmap";
        return false;
    }
    BOOL copied = FALSE;
    {
        win::SelectObjectScope selected(memory.get(), bitmap.get());
        if (IsWindowVisible(hwnd)) copied = BitBlt(memory.get(), 0, 0, w, h, window.get(), 0, 0, SRCCOPY | CAPTUREBLT);
        if (!copied) copied = PrintWindow(hwnd, memory.get(), 0);
    }
    if (!copied) {
        error = L"cannot copy the window's pixels";
        return false;
    }
    // Opaque pixels: the window DC leaves the alpha byte at 0.
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) px[i] |= 0xFF000000u;
    Gdiplus::GpBitmap* made = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppARGB, static_cast<BYTE*>(bits),
                                                       &made) != Gdiplus::Ok) {
        error = L"GDI+ cannot make the image";
        return false;
    }
    Image image(made);
    auto status = Gdiplus::DllExports::GdipSaveImageToFile(image.get(), path.c_str(), &kPngEncoder, nullptr);
    if (status != Gdiplus::Ok) {
        error = L"GDI+ cannot write " + path + L" (status " + std::to_wstring(static_cast<int>(status)) + L")";
        return false;
    }
    return true;
}

}  // namespace host
