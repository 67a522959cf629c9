// The plugin-wide Direct3D 9 display device: one per process, created by the
// image previewer on its panel window, or on a hidden window by whoever needs
// textures before that (bundle extraction). Creating it also installs the
// texture objects' device with its largest texture size; releasing it
// uninstalls them again.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "textures/D3dxRuntime_win.h"

namespace textures {

struct DisplayDevice {
    IDirect3DDevice9* device = nullptr;  // owned by the display device's home; null when none
    UINT maxTextureWidth = 0;
    UINT maxTextureHeight = 0;
    HWND window = nullptr;  // the window the device presents to
    bool onHiddenWindow = false;
    D3DPRESENT_PARAMETERS parameters{};  // as created or last reset (the back buffer's size)
};

const DisplayDevice& displayDevice() noexcept;

// Creates the device for the window: default adapter, hardware, software
// vertex processing, windowed, discarding swap, X8R8G8B8 back buffer of the
// window's client size, 16-bit depth buffer; culling, lighting and depth test
// off. A device on another window is released first; one on this window is kept.
bool createDisplayDevice(HWND window) noexcept;
// Creates the device on a hidden window of its own, unless a device exists.
bool createHiddenDisplayDevice() noexcept;
// Stores a new back-buffer size (when both sides are greater than 0) and
// resets the device with the stored parameters.
bool resizeDisplayDevice(UINT width, UINT height) noexcept;
bool resetDisplayDevice() noexcept;
// Releases the device (and its hidden window, and D3DX if it was loaded).
// Call before the module unloads.
void releaseDisplayDevice() noexcept;

// D3DX where it is installed, loaded on first use.
D3dxRuntime& d3dx() noexcept;

}  // namespace textures
