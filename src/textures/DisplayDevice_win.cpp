#include "textures/DisplayDevice_win.h"

#include <memory>
#include <new>

#include "base/Win32Handles.h"
#include "textures/D3DTexture_win.h"
#include "textures/D3dxRuntime_win.h"

namespace textures {
namespace {

constexpr wchar_t kHiddenWindowClass[] = L"QuorrelDisplayDeviceWindow";

HINSTANCE thisModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

HWND createHiddenWindow() noexcept {
    const HINSTANCE instance = thisModule();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kHiddenWindowClass;
    if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    // A real (never shown) top-level window: Direct3D needs a window with a
    // client area for the back buffer, which a message-only window lacks.
    return ::CreateWindowExW(0, kHiddenWindowClass, L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, instance, nullptr);
}

}  // namespace

// Texture objects reach Direct3D through this.
class Direct3DTextures : public TextureDevice {
public:
    explicit Direct3DTextures(DisplayDevice& display) : display_(display) {}

    std::unique_ptr<DeviceTexture> makeTexture(std::uint32_t width, std::uint32_t height,
                                               std::uint32_t d3dFormat) override {
        IDirect3DDevice9* device = display_.device();
        if (!device) return nullptr;
        auto texture = std::make_unique<D3DTexture>();
        if (!texture->Create(*device, width, height, static_cast<D3DFORMAT>(d3dFormat))) return nullptr;
        return texture;
    }

    std::unique_ptr<DeviceTexture> readImageFile(const std::wstring& path) override {
        IDirect3DDevice9* device = display_.device();
        if (!device) return nullptr;
        auto texture = std::make_unique<D3DTexture>();
        if (!texture->CreateFromFile(*device, display_.d3dx(), path)) return nullptr;
        return texture;
    }

    bool bind(std::uint32_t stage, DeviceTexture* texture) override {
        IDirect3DDevice9* device = display_.device();
        if (!device) return false;
        const HRESULT set = device->SetTexture(stage, texture ? texture->handle() : nullptr);
        device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        return SUCCEEDED(set);
    }

    TextureLimits limits() const override { return display_.limits(); }

private:
    DisplayDevice& display_;
};

struct DisplayDevice::Home {
    explicit Home(DisplayDevice& owner) : textures(owner) {}
    win::ComPtr<IDirect3D9> direct3d;
    win::ComPtr<IDirect3DDevice9> device;
    win::OwnedWindow hiddenWindow;
    Direct3DTextures textures;
    HWND window = nullptr;
    bool onHiddenWindow = false;
    D3DPRESENT_PARAMETERS parameters{};
    TextureLimits limits;
    D3dxRuntime d3dx;
};

DisplayDevice::DisplayDevice() : home_(std::make_unique<Home>(*this)) {}

DisplayDevice::~DisplayDevice() {
    release();
    // Its windows are gone; a module loaded again registers the class anew.
    ::UnregisterClassW(kHiddenWindowClass, thisModule());
}

bool DisplayDevice::createOn(HWND window) noexcept {
    Home& h = *home_;
    win::ComPtr<IDirect3D9> direct3d(::Direct3DCreate9(D3D_SDK_VERSION));
    if (!direct3d) return false;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferWidth = 0;
    parameters.BackBufferHeight = 0;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.hDeviceWindow = window;
    win::ComPtr<IDirect3DDevice9> device;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, device.put())))
        return false;
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);

    D3DCAPS9 caps{};
    if (FAILED(device->GetDeviceCaps(&caps))) return false;
    // The back buffer's real size (a zero size in the parameters means the client area's).
    win::ComPtr<IDirect3DSurface9> backBuffer;
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.put())) &&
        SUCCEEDED(backBuffer->GetDesc(&desc))) {
        parameters.BackBufferWidth = desc.Width;
        parameters.BackBufferHeight = desc.Height;
    }

    h.direct3d = std::move(direct3d);
    h.device = std::move(device);
    h.limits = TextureLimits{caps.MaxTextureWidth, caps.MaxTextureHeight};
    h.window = window;
    h.parameters = parameters;
    return true;
}

bool DisplayDevice::create(HWND window) noexcept {
    if (!window) return false;
    if (home_->device && home_->window == window) return true;
    release();
    return createOn(window);
}

bool DisplayDevice::createHidden() noexcept {
    Home& h = *home_;
    if (h.device) return true;
    h.hiddenWindow.reset(createHiddenWindow());
    if (!h.hiddenWindow) return false;
    if (!createOn(h.hiddenWindow.get())) {
        h.hiddenWindow.reset();
        return false;
    }
    h.onHiddenWindow = true;
    return true;
}

bool DisplayDevice::resize(UINT width, UINT height) noexcept {
    if (width > 0 && height > 0) {
        home_->parameters.BackBufferWidth = width;
        home_->parameters.BackBufferHeight = height;
    }
    return reset();
}

bool DisplayDevice::reset() noexcept {
    if (!home_->device) return false;
    D3DPRESENT_PARAMETERS parameters = home_->parameters;
    return SUCCEEDED(home_->device->Reset(&parameters));
}

void DisplayDevice::release() noexcept {
    Home& h = *home_;
    h.limits = TextureLimits{};
    h.window = nullptr;
    h.onHiddenWindow = false;
    h.parameters = D3DPRESENT_PARAMETERS{};
    h.device.reset();
    h.direct3d.reset();
    h.hiddenWindow.reset();
    h.d3dx.release();
}

IDirect3DDevice9* DisplayDevice::device() const noexcept { return home_->device.get(); }

HWND DisplayDevice::window() const noexcept { return home_->window; }

bool DisplayDevice::onHiddenWindow() const noexcept { return home_->onHiddenWindow; }

const D3DPRESENT_PARAMETERS& DisplayDevice::parameters() const noexcept { return home_->parameters; }

TextureLimits DisplayDevice::limits() const noexcept { return home_->limits; }

TextureDevice& DisplayDevice::textures() noexcept { return home_->textures; }

D3dxRuntime& DisplayDevice::d3dx() noexcept { return home_->d3dx; }

}  // namespace textures
