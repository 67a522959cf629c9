#include "preview/ImagePreviewer.h"

#include "npp/NppInterface.h"
#include "editor/NppEditor_win.h"
#include "base/TextCodec.h"
#include "preview/PreviewFrame.h"
#include "skin/SkinResources.h"
#include "preview/preview_ids.h"
#include "textures/DXTexture.h"
#include "textures/DisplayDevice_win.h"
#include "textures/TextureDrawing_win.h"
#include "base/Win32Handles.h"

#include <d3d9.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr char kTagValuePattern[] = ">(.+?)<";
constexpr D3DCOLOR kBackground = 0xFFD4D0C8;  // the panel's grey, opaque

UINT frameMessage() {
    static const UINT id = ::RegisterWindowMessageW(preview::kPreviewFrameMessage);
    return id;
}

// A file that can be opened for reading (and is closed again at once).
bool fileReadable(const std::wstring& path) {
    win::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

}  // namespace

ImagePreviewer::ImagePreviewer() : DockingDlgInterface(IDD_IMAGE_PREVIEWER, kCommandIndex, L"Ormu Image Previewer") {}

ImagePreviewer::~ImagePreviewer() = default;

void ImagePreviewer::update() noexcept {
    try {
        updater_.setShown(markedShown() && isCreated());
        updater_.update(*this, *this);
    } catch (...) {
        // Nothing of a failed preview reaches the user; the next line tries again.
    }
}

void ImagePreviewer::redraw() noexcept {
    updater_.forgetLine();
    update();
}

void ImagePreviewer::onRegistered() {
    if (display_ != nullptr) display_->create(hwnd_);
}

bool ImagePreviewer::drawsHere() const {
    return display_ != nullptr && display_->device() != nullptr && display_->window() == hwnd_;
}

INT_PTR ImagePreviewer::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        update();
        return FALSE;  // the hit test itself is the default one
    case WM_SIZE:
        onSize(true);
        return FALSE;
    case WM_MOVE:
        onSize(false);
        return FALSE;
    case WM_DESTROY:
        // The device presents to this window; it cannot outlive it.
        if (display_ != nullptr && display_->window() == hwnd_) {
            display_->release();
        }
        return FALSE;
    default:
        break;
    }
    if (message == frameMessage() && message != 0) {
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, frameRequest(wParam, lParam));
        return TRUE;
    }
    return DockingDlgInterface::dialogProc(message, wParam, lParam);
}

void ImagePreviewer::onDpiChanged() {
    // The back buffer stays at the client area's size in pixels, whatever the scale.
    onSize(true);
}

void ImagePreviewer::onSize(bool redraw) {
    if (!drawsHere()) {
        return;
    }
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    const UINT width = static_cast<UINT>(std::max<LONG>(0, rc.right - rc.left));
    const UINT height = static_cast<UINT>(std::max<LONG>(0, rc.bottom - rc.top));
    if (width == 0 || height == 0) {
        return;  // minimised or collapsed: keep the last size
    }
    const D3DPRESENT_PARAMETERS& parameters = display_->parameters();
    const bool resized = width != parameters.BackBufferWidth || height != parameters.BackBufferHeight;
    // The back buffer first, then the picture: drawing before a reset would
    // leave the new back buffer undefined until the caret's line changes.
    if (resized) {
        display_->resize(width, height);
    }
    if (resized || redraw) {
        updater_.forgetLine();
        update();
    }
}

// --- the editor ---------------------------------------------------------------

int ImagePreviewer::caretLine() { return editor_ == nullptr ? -1 : static_cast<int>(editor_->caretLine()); }

bool ImagePreviewer::tagValueOnLine(int line, std::wstring& value) {
    if (editor_ == nullptr) return false;
    // The caret line is the active view's, so is the line read.
    const HWND view = editor_->activeView();
    const std::optional<std::string> match = editor_->findInLine(view, line, kTagValuePattern);
    // The match includes both brackets; anything shorter has no name between them.
    if (!match || match->size() < 3) {
        return false;
    }
    const std::string name = match->substr(1, match->size() - 2);
    value = text::fromCodePage(name, editor_->codePage(view));
    return !value.empty();
}

std::wstring ImagePreviewer::currentDirectory() {
    return editor_ == nullptr ? std::wstring() : editor_->currentDirectory();
}

// --- drawing ------------------------------------------------------------------

void ImagePreviewer::clearWindow() {
    if (!isCreated()) {
        return;
    }
    win::WindowDC dc(hwnd_);
    // While the editor is dark, its background instead of the grey bitmap.
    if (ui::eraseDark(hwnd_, dc.get(), theme(), brushes_)) {
        ++clears_;
        return;
    }
    if (!fill_.LoadBitmapResource(instance_, IDB_PREVIEW_BACKGROUND)) {
        return;
    }
    preview::PremultiplyAlpha premultiply;
    fill_.ApplyEffect(premultiply);  // only 32-bit images take it
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    fill_.Draw(dc.get(), 0, 0, rc.right - rc.left, rc.bottom - rc.top);
    ++clears_;
}

void ImagePreviewer::clear() { clearWindow(); }

void ImagePreviewer::themeChanged() {
    DockingDlgInterface::themeChanged();
    if (!isCreated()) {
        return;
    }
    // The picture the caret's line named, again, on the new background.
    clearWindow();
    const std::wstring& last = updater_.lastImagePath();
    if (last.empty() || (!showFile(last) && !showBundleImage(last))) {
        showNothing();
    }
}

bool ImagePreviewer::previewImageFile(const std::wstring& imagePath) {
    if (!isCreated()) {
        return false;
    }
    clearWindow();
    BitmapImage image;
    if (!image.Load(imagePath)) {
        return false;
    }
    preview::PremultiplyAlpha premultiply;
    image.ApplyEffect(premultiply);
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    const preview::ImageRect fit =
        preview::FitInto(image.Width(), image.Height(), rc.left, rc.top, rc.right, rc.bottom);
    win::WindowDC dc(hwnd_);
    image.Draw(dc.get(), fit.left, fit.top, fit.right, fit.bottom);
    return true;
}

bool ImagePreviewer::showFile(const std::wstring& imagePath) {
    if (!fileReadable(imagePath)) {
        return false;
    }
    // Read at the image's own size (system codecs, or D3DX where installed).
    if (display_ == nullptr) {
        return false;
    }
    DXTexture texture(&display_->textures());
    if (!texture.ReadImageFile(imagePath)) {
        return false;
    }
    presentFrame(&texture);
    return true;
}

bool ImagePreviewer::showBundleImage(const std::wstring& imagePath) {
    std::unique_ptr<DXTexture> texture = resources_ != nullptr ? resources_->FindTexture(imagePath) : nullptr;
    if (!texture) {
        return false;
    }
    presentFrame(texture.get());
    return true;
}

void ImagePreviewer::showNothing() {
    // The device's back buffer is what the panel shows next time it is
    // presented; keep it in step with the cleared panel.
    presentFrame(nullptr);
}

void ImagePreviewer::presentFrame(BaseTexture* texture, IDirect3DTexture9* plain) {
    if (!drawsHere()) {
        return;
    }
    IDirect3DDevice9* device = display_->device();
    if (FAILED(device->TestCooperativeLevel())) {
        display_->reset();
        return;
    }
    IDirect3DTexture9* deviceTexture = plain;
    if (texture != nullptr) {
        if (!texture->pixels().empty()) {
            texture->SendPixelsToDevice();
        }
        deviceTexture = texture->DeviceTexture();
    }

    const UINT width = display_->parameters().BackBufferWidth;
    const UINT height = display_->parameters().BackBufferHeight;
    D3DVIEWPORT9 viewport{0, 0, width, height, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    const D3DCOLOR background =
        theme().isDark() ? ui::opaqueArgb(theme().pick(0, &ui::Palette::background)) : kBackground;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    if (SUCCEEDED(device->BeginScene())) {
        const bool bound = texture != nullptr ? texture->BindForDrawing(0) : SUCCEEDED(device->SetTexture(0, plain));
        if (deviceTexture != nullptr && bound) {
            textures::drawAtOwnSize(*device, *deviceTexture);
        }
        device->EndScene();
    }
    if (capturing_) {
        captureBackBuffer();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++presents_;
    if (texture != nullptr) {
        texture->DropDeviceTexture();
    }
}

void ImagePreviewer::captureBackBuffer() {
    IDirect3DDevice9* device = display_->device();
    win::ComPtr<IDirect3DSurface9> back;
    D3DSURFACE_DESC desc{};
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.put())) || FAILED(back->GetDesc(&desc))) {
        return;
    }
    win::ComPtr<IDirect3DSurface9> copy;
    if (FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, copy.put(),
                                                   nullptr)) ||
        FAILED(device->GetRenderTargetData(back.get(), copy.get()))) {
        return;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        return;
    }
    try {
        frame_.resize(static_cast<std::size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            std::memcpy(frame_.data() + static_cast<std::size_t>(y) * desc.Width,
                        static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch,
                        static_cast<std::size_t>(desc.Width) * 4);
        }
        frameWidth_ = desc.Width;
        frameHeight_ = desc.Height;
    } catch (const std::bad_alloc&) {
        frame_.clear();
        frameWidth_ = frameHeight_ = 0;
    }
    copy->UnlockRect();
}

LRESULT ImagePreviewer::frameRequest(WPARAM request, LPARAM argument) {
    switch (request) {
    case preview::kStartCapture:
        capturing_ = true;
        presents_ = clears_ = 0;
        frame_.clear();
        frameWidth_ = frameHeight_ = 0;
        return 1;
    case preview::kStopCapture:
        capturing_ = false;
        return 1;
    case preview::kReadFrame: {
        auto* out = reinterpret_cast<preview::CapturedFrame*>(argument);
        if (out == nullptr) {
            return 0;
        }
        out->width = frameWidth_;
        out->height = frameHeight_;
        out->presents = presents_;
        out->clears = clears_;
        if (frame_.empty() || out->pixels == nullptr || out->capacity < frame_.size()) {
            return 0;
        }
        std::copy(frame_.begin(), frame_.end(), out->pixels);
        return 1;
    }
    default:
        return 0;
    }
}

void ImagePreviewer::setEditor(editor::NppEditor* editor) {
    editor_ = editor;
    setShell(editor);
}
