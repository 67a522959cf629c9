#include "textures/DisplayDevice_win.h"

#include <memory>
#include <new>

#include "textures/D3DTexture_win.h"
#include "textures/D3dxRuntime_win.h"
#include "textures/TextureDevice.h"
#include "base/Win32Handles.h"
#include "framework/Window.h"

namespace textures {
namespace {

constexpr wchar_t kHiddenWindowClass[] = L"QuorrelDisplayDeviceWindow";

// Texture objects reach Direct3D through this.
class Direct3DTextures : public TextureDevice {
public:
    std::unique_ptr<DeviceTexture> makeTexture(std::uint32_t width, std::uint32_t height,
                                               std::uint32_t d3dFormat) override {
        auto texture = std::make_unique<CD3DTexture>();
        if (!texture->Create(width, height, static_cast<D3DFORMAT>(d3dFormat))) return nullptr;
        return texture;
    }

    std::unique_ptr<DeviceTexture> readImageFile(const std::wstring& path) override {
        auto texture = std::make_unique<CD3DTexture>();
        if (!texture->CreateFromFile(path)) return nullptr;
        return texture;
    }

    bool bind(std::uint32_t stage, DeviceTexture* texture) override {
        IDirect3DDevice9* device = displayDevice().device;
        if (!device) return false;
        const HRESULT set = device->SetTexture(stage, texture ? texture->handle() : nullptr);
        device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        return SUCCEEDED(set);
    }
};

struct Home {
    win::ComPtr<IDirect3D9> direct3d;
    win::ComPtr<IDirect3DDevice9> device;
    win::OwnedWindow hiddenWindow;
    Direct3DTextures textures;
    DisplayDevice view;
    D3dxRuntime d3dx;
};

Home& home() noexcept {
    static Home value;
    return value;
}

HINSTANCE thisModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

HWND createHiddenWindow() noexcept {
    const HINSTANCE instance = thisModule();
    if (!ui::ensureClass(instance, kHiddenWindowClass, ::DefWindowProcW, nullptr, nullptr)) return nullptr;
    // A real (never shown) top-level window: Direct3D needs a window with a
    // client area for the back buffer, which a message-only window lacks.
    return ::CreateWindowExW(0, kHiddenWindowClass, L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, instance, nullptr);
}

bool createOn(HWND window) noexcept {
    Home& h = home();
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
    h.view.device = h.device.get();
    h.view.maxTextureWidth = caps.MaxTextureWidth;
    h.view.maxTextureHeight = caps.MaxTextureHeight;
    h.view.window = window;
    h.view.parameters = parameters;
    installTextureDevice(&h.textures, TextureLimits{caps.MaxTextureWidth, caps.MaxTextureHeight});
    return true;
}

}  // namespace

const DisplayDevice& displayDevice() noexcept { return home().view; }

bool createDisplayDevice(HWND window) noexcept {
    if (!window) return false;
    const DisplayDevice& current = home().view;
    if (current.device && current.window == window) return true;
    releaseDisplayDevice();
    return createOn(window);
}

bool createHiddenDisplayDevice() noexcept {
    Home& h = home();
    if (h.view.device) return true;
    h.hiddenWindow.reset(createHiddenWindow());
    if (!h.hiddenWindow) return false;
    if (!createOn(h.hiddenWindow.get())) {
        h.hiddenWindow.reset();
        return false;
    }
    h.view.onHiddenWindow = true;
    return true;
}

bool resizeDisplayDevice(UINT width, UINT height) noexcept {
    DisplayDevice& view = home().view;
    if (width > 0 && height > 0) {
        view.parameters.BackBufferWidth = width;
        view.parameters.BackBufferHeight = height;
    }
    return resetDisplayDevice();
}

bool resetDisplayDevice() noexcept {
    DisplayDevice& view = home().view;
    if (!view.device) return false;
    D3DPRESENT_PARAMETERS parameters = view.parameters;
    return SUCCEEDED(view.device->Reset(&parameters));
}

void releaseDisplayDevice() noexcept {
    Home& h = home();
    installTextureDevice(nullptr, {});
    h.view = DisplayDevice{};
    h.device.reset();
    h.direct3d.reset();
    h.hiddenWindow.reset();
    h.d3dx.release();
}

D3dxRuntime& d3dx() noexcept { return home().d3dx; }

}  // namespace textures
