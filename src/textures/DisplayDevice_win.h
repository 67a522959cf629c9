// The plugin's Direct3D 9 display device: one, owned by the application
// object, created by the image previewer on its panel window (or on a hidden
// window of its own by whoever needs textures before that), and handed to
// what draws with it. Its texture device is what texture objects make their
// device textures with; it makes nothing while there is no device.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <memory>

#include "textures/D3dxRuntime_win.h"
#include "textures/TextureDevice.h"

namespace textures {

class DisplayDevice {
public:
    DisplayDevice();
    // Releases the device (and its hidden window, and D3DX if it was loaded).
    ~DisplayDevice();
    DisplayDevice(const DisplayDevice&) = delete;
    DisplayDevice& operator=(const DisplayDevice&) = delete;

    // Creates the device for the window: default adapter, hardware, software
    // vertex processing, windowed, discarding swap, X8R8G8B8 back buffer of the
    // window's client size, 16-bit depth buffer; culling, lighting and depth
    // test off. A device on another window is released first; one on this
    // window is kept.
    bool create(HWND window) noexcept;
    // Creates the device on a hidden window of its own, unless a device exists.
    bool createHidden() noexcept;
    // Stores a new back-buffer size (when both sides are greater than 0) and
    // resets the device with the stored parameters.
    bool resize(UINT width, UINT height) noexcept;
    bool reset() noexcept;
    // Call before the module unloads, while the editor still runs.
    void release() noexcept;

    // Null when there is none.
    IDirect3DDevice9* device() const noexcept;
    // The window the device presents to.
    HWND window() const noexcept;
    bool onHiddenWindow() const noexcept;
    // As created or last reset (the back buffer's size).
    const D3DPRESENT_PARAMETERS& parameters() const noexcept;
    // The device's largest texture; zero while there is no device.
    TextureLimits limits() const noexcept;

    TextureDevice& textures() noexcept;
    // D3DX where it is installed, loaded on first use.
    D3dxRuntime& d3dx() noexcept;

private:
    struct Home;
    bool createOn(HWND window) noexcept;

    std::unique_ptr<Home> home_;
};

}  // namespace textures
