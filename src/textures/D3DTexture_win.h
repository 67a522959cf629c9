// One Direct3D 9 texture on the display device, with the parameters it was
// made with. Owns its texture: the destructor releases it.
#pragma once

#include <d3d9.h>

#include <string>

#include "textures/D3dxRuntime_win.h"
#include "textures/PixelImage.h"
#include "textures/TextureDevice.h"

class D3DTexture : public textures::DeviceTexture {
public:
    D3DTexture() = default;
    D3DTexture(const D3DTexture&) = delete;
    D3DTexture& operator=(const D3DTexture&) = delete;
    ~D3DTexture() override;

    // A dynamic texture of one level in the default pool. A texture the
    // device makes in another size or format than asked is used all the same.
    bool Create(IDirect3DDevice9& device, UINT width, UINT height, D3DFORMAT format) noexcept;
    // An image file at its own size: decoded by the system's imaging codecs
    // into 32-bit pixels, or else by D3DX where it is installed.
    bool CreateFromFile(IDirect3DDevice9& device, textures::D3dxRuntime& d3dx, const std::wstring& path) noexcept;
    // A texture of one level holding the B G R A pixels.
    bool CreateFromImage(IDirect3DDevice9& device, const textures::Image32& image) noexcept;

    bool lockLevel0(textures::LockedLevel& out) override;
    void unlockLevel0() override;
    unsigned long release() override;
    IDirect3DTexture9* handle() const override { return texture_; }

    UINT width = 0;
    UINT height = 0;
    UINT mipLevels = 0;
    DWORD usage = 0;
    D3DFORMAT d3dFormat = D3DFMT_A8R8G8B8;
    D3DPOOL pool = D3DPOOL_DEFAULT;

private:
    IDirect3DTexture9* texture_ = nullptr;
};
