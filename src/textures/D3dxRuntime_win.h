// D3DX 9 (d3dx9_43.dll), loaded at run time where it is installed. It is not
// part of Windows (only the legacy DirectX runtime brings it), so the plugin
// never imports it: without it everything works, and image files only the
// D3DX loader understands are not previewed.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <string>

namespace textures {

// Decodes an image file with D3DX into a texture of one level at the image's
// own size, in the file's format (managed pool). False when D3DX is missing
// or cannot read the file.
bool d3dxTextureFromFile(IDirect3DDevice9* device, const std::wstring& path, IDirect3DTexture9** texture) noexcept;

// Whether D3DX could be loaded (it is loaded on first use).
bool d3dxAvailable() noexcept;

// Lets D3DX go again (with the display device, before the plugin unloads).
void releaseD3dx() noexcept;

}  // namespace textures
