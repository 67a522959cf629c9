// D3DX 9 (d3dx9_43.dll), loaded at run time where it is installed. It is not
// part of Windows (only the legacy DirectX runtime brings it), so the plugin
// never imports it: without it everything works, and image files only the
// D3DX loader understands are not previewed. The display device owns the one
// instance.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <string>

#include "base/Win32Handles.h"

namespace textures {

class D3dxRuntime {
public:
    D3dxRuntime() = default;
    // Its owner is destroyed inside the loader lock, where FreeLibrary must
    // not be called: a module still loaded then is left to the process's end.
    ~D3dxRuntime() { module_.release(); }
    D3dxRuntime(const D3dxRuntime&) = delete;
    D3dxRuntime& operator=(const D3dxRuntime&) = delete;

    // Decodes an image file with D3DX into a texture of one level at the
    // image's own size, in the file's format (managed pool). False when D3DX
    // is missing or cannot read the file. D3DX is loaded on first use.
    bool textureFromFile(IDirect3DDevice9* device, const std::wstring& path, IDirect3DTexture9** texture) noexcept;
    bool available() noexcept;
    // Lets D3DX go (before the plugin unloads); a later use loads it again.
    void release() noexcept;

    using CreateTextureFromFileExW = HRESULT(WINAPI*)(IDirect3DDevice9* device, LPCWSTR path, UINT width, UINT height,
                                                      UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                      DWORD filter, DWORD mipFilter, D3DCOLOR colourKey,
                                                      void* imageInfo, PALETTEENTRY* palette,
                                                      IDirect3DTexture9** texture);

private:
    void load() noexcept;

    bool tried_ = false;
    win::Library module_;
    CreateTextureFromFileExW createTextureFromFileEx_ = nullptr;
};

}  // namespace textures
