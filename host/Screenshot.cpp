// Screenshots: a window's pixels, frame included, written as PNG by GDI+.
#include "Screenshot.h"

#include "HostImpl.h"

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

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

namespace {

// The pixels of a rectangle of a device context.
bool copyPixels(HDC source, const RECT& area, Picture& out, std::wstring& error, HWND printable = nullptr) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) {
        error = L"the window has no area";
        return false;
    }
    win::MemoryDC memory(source);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::Bitmap bitmap(CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (source == nullptr || memory.get() == nullptr || !bitmap) {
        error = L"cannot create the bitmap";
        return false;
    }
    BOOL copied = FALSE;
    {
        win::SelectObjectScope selected(memory.get(), bitmap.get());
        if (printable == nullptr || IsWindowVisible(printable))
            copied = BitBlt(memory.get(), 0, 0, w, h, source, area.left, area.top, SRCCOPY | CAPTUREBLT);
        if (!copied && printable != nullptr) copied = PrintWindow(printable, memory.get(), 0);
    }
    if (!copied) {
        error = L"cannot copy the window's pixels";
        return false;
    }
    const auto* px = static_cast<const std::uint32_t*>(bits);
    out.width = w;
    out.height = h;
    out.pixels.assign(px, px + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    return true;
}

}  // namespace

bool captureWindow(HWND window, Picture& out, std::wstring& error) {
    RECT r{};
    GetWindowRect(window, &r);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    win::WindowDC dc(window, win::WindowDC::WholeWindow{});
    return copyPixels(dc.get(), RECT{0, 0, r.right - r.left, r.bottom - r.top}, out, error, window);
}

bool captureScreen(const RECT& area, Picture& out, std::wstring& error) {
    win::WindowDC screen(nullptr);
    return copyPixels(screen.get(), area, out, error);
}

bool savePng(const Picture& picture, const std::wstring& path, std::wstring& error) {
    if (picture.empty()) {
        error = L"no pixels to write";
        return false;
    }
    // Opaque pixels: a window DC leaves the alpha byte at 0.
    std::vector<std::uint32_t> opaque(picture.pixels);
    for (std::uint32_t& p : opaque) p |= 0xFF000000u;
    Gdiplus::GpBitmap* made = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(picture.width, picture.height, picture.width * 4,
                                                       PixelFormat32bppARGB, reinterpret_cast<BYTE*>(opaque.data()),
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

bool screenshot(HWND hwnd, const std::wstring& path, std::wstring& error) {
    Picture picture;
    return captureWindow(hwnd, picture, error) && savePng(picture, path, error);
}

}  // namespace host
