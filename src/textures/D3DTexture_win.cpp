#include "textures/D3DTexture_win.h"

#include <cstdio>
#include <cstring>

#include "textures/ImageFile_win.h"
#include "textures/PixelLayout.h"

namespace {

// The bundle format code whose row layout a Direct3D format shares.
std::uint32_t layoutCodeOf(D3DFORMAT format) {
    switch (static_cast<std::uint32_t>(format)) {
    case textures::d3dformat::kDxt1:
        return textures::format::kDxt1;
    case textures::d3dformat::kDxt3:
        return textures::format::kDxt3;
    case textures::d3dformat::kDxt5:
        return textures::format::kDxt5;
    case textures::d3dformat::kA8:
        return textures::format::kAlpha8;
    default:
        return textures::format::kBgra32;
    }
}

// Diagnostics go to the process's standard output, which a GUI host does not show.
void diagnostic(const char* word) {
    std::puts(word);
    std::fflush(stdout);
}

}  // namespace

D3DTexture::~D3DTexture() { release(); }

unsigned long D3DTexture::release() {
    if (!texture_) return 0;
    const ULONG count = texture_->Release();
    texture_ = nullptr;
    return count;
}

bool D3DTexture::Create(IDirect3DDevice9& device, UINT newWidth, UINT newHeight, D3DFORMAT format) noexcept {
    width = newWidth;
    height = newHeight;
    mipLevels = 1;
    usage = D3DUSAGE_DYNAMIC;
    d3dFormat = format;
    pool = D3DPOOL_DEFAULT;
    release();

    if (FAILED(device.CreateTexture(width, height, mipLevels, usage, d3dFormat, pool, &texture_, nullptr))) {
        texture_ = nullptr;
        diagnostic("yeah");
        return false;
    }
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(texture_->GetLevelDesc(0, &desc)) &&
        (desc.Format != d3dFormat || desc.Width != width || desc.Height != height))
        diagnostic("warning");
    return true;
}

bool D3DTexture::CreateFromImage(IDirect3DDevice9& device, const textures::Image32& image) noexcept {
    release();
    if (image.empty() || image.order != textures::ChannelOrder::Bgra) return false;
    if (FAILED(device.CreateTexture(image.width, image.height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture_,
                                    nullptr))) {
        texture_ = nullptr;
        return false;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(texture_->LockRect(0, &locked, nullptr, 0)) || !locked.pBits || locked.Pitch <= 0) {
        release();
        return false;
    }
    const std::size_t stride = image.stride();
    for (std::uint32_t y = 0; y < image.height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(locked.Pitch) * y,
                    image.pixels.data() + stride * y, stride);
    texture_->UnlockRect(0);
    width = image.width;
    height = image.height;
    mipLevels = 1;
    usage = 0;
    d3dFormat = D3DFMT_A8R8G8B8;
    pool = D3DPOOL_MANAGED;
    return true;
}

bool D3DTexture::CreateFromFile(IDirect3DDevice9& device, textures::D3dxRuntime& d3dx,
                                const std::wstring& path) noexcept {
    release();
    textures::Image32 image;
    if (textures::decodeImageFile(path, image)) return CreateFromImage(device, image);
    // What the system's codecs cannot read, D3DX may (where it is installed).
    if (!d3dx.textureFromFile(&device, path, &texture_)) return false;
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(texture_->GetLevelDesc(0, &desc))) {
        width = desc.Width;
        height = desc.Height;
        usage = desc.Usage;
        d3dFormat = desc.Format;
        pool = desc.Pool;
    }
    mipLevels = texture_->GetLevelCount();
    return true;
}

bool D3DTexture::lockLevel0(textures::LockedLevel& out) {
    if (!texture_) return false;
    D3DSURFACE_DESC desc{};
    if (FAILED(texture_->GetLevelDesc(0, &desc))) return false;
    D3DLOCKED_RECT locked{};
    const DWORD flags = (usage & D3DUSAGE_DYNAMIC) != 0 ? D3DLOCK_DISCARD : 0;
    if (FAILED(texture_->LockRect(0, &locked, nullptr, flags)) || !locked.pBits || locked.Pitch <= 0) return false;
    out.bits = static_cast<std::uint8_t*>(locked.pBits);
    out.pitch = static_cast<std::size_t>(locked.Pitch);
    out.rows = textures::RowCount(layoutCodeOf(desc.Format), desc.Height);
    return true;
}

void D3DTexture::unlockLevel0() {
    if (texture_) texture_->UnlockRect(0);
}
