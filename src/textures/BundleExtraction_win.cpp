#include "textures/BundleExtraction_win.h"

#include "textures/BundleExtraction.h"
#include "textures/DXTexture.h"
#include "textures/DisplayDevice_win.h"
#include "textures/OrtReader.h"
#include "base/Win32Handles.h"

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdio>
#include <cstring>

namespace textures {
namespace {

// Diagnostic words on standard output; the editor does not show them.
void diagnostic(const char* word) noexcept {
    std::fputs(word, stdout);
    std::fputc('\n', stdout);
}

bool exists(const std::wstring& path) noexcept {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Creates `folder` and every missing folder above it, from `root` (the output
// folder) down. Only folders below the output folder are ever made.
bool createFolders(const std::wstring& root, const std::wstring& folder) {
    if (exists(folder)) {
        return true;
    }
    std::size_t position = root.size();
    while (position <= folder.size()) {
        const std::size_t next = folder.find(L'\\', position);
        const std::wstring prefix = folder.substr(0, next);
        if (!exists(prefix) && !::CreateDirectoryW(prefix.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
        if (next == std::wstring::npos) {
            break;
        }
        position = next + 1;
    }
    return exists(folder);
}

// A system-memory A8R8G8B8 texture of the given size, level 0 in `surface`.
bool makeArgbCopy(IDirect3DDevice9* device, UINT width, UINT height, win::ComPtr<IDirect3DTexture9>& texture,
                  win::ComPtr<IDirect3DSurface9>& surface) {
    if (FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, texture.put(),
                                     nullptr))) {
        return false;
    }
    return SUCCEEDED(texture->GetSurfaceLevel(0, surface.put()));
}

// Copies the top-left width x height pixels of one 32-bit surface into another.
bool cropArgb(IDirect3DSurface9* source, IDirect3DSurface9* target, UINT width, UINT height) {
    D3DLOCKED_RECT from{};
    D3DLOCKED_RECT to{};
    if (FAILED(source->LockRect(&from, nullptr, D3DLOCK_READONLY))) {
        return false;
    }
    if (FAILED(target->LockRect(&to, nullptr, 0))) {
        source->UnlockRect();
        return false;
    }
    for (UINT row = 0; row < height; ++row) {
        std::memcpy(static_cast<BYTE*>(to.pBits) + static_cast<std::size_t>(row) * to.Pitch,
                    static_cast<const BYTE*>(from.pBits) + static_cast<std::size_t>(row) * from.Pitch,
                    static_cast<std::size_t>(width) * 4);
    }
    target->UnlockRect();
    source->UnlockRect();
    return true;
}

// Textures need the display device, which the previewer makes on its panel.
// Before the previewer was ever opened there is none: make one on a hidden
// window for the extraction, and let it go afterwards.
class ExtractionDevice {
public:
    ExtractionDevice() noexcept {
        if (displayDevice().device == nullptr) {
            created_ = createHiddenDisplayDevice();
        }
    }
    ~ExtractionDevice() {
        if (created_ && displayDevice().onHiddenWindow) {
            releaseDisplayDevice();
        }
    }
    ExtractionDevice(const ExtractionDevice&) = delete;
    ExtractionDevice& operator=(const ExtractionDevice&) = delete;

private:
    bool created_ = false;
};

}  // namespace

bool SaveAsPng(CDXTexture& texture, const std::wstring& path) {
    texture.SendPixelsToDevice();
    IDirect3DTexture9* deviceTexture = texture.DeviceTexture();
    const UINT width = texture.imageWidth();
    const UINT height = texture.imageHeight();
    if (deviceTexture == nullptr || width == 0 || height == 0) {
        diagnostic("oh no");
        return false;
    }
    D3DSURFACE_DESC description{};
    if (FAILED(deviceTexture->GetLevelDesc(0, &description))) {
        diagnostic("oh no");
        return false;
    }

    HRESULT result = E_FAIL;
    if (description.Format == D3DFMT_A8R8G8B8 && description.Width == width && description.Height == height) {
        result = ::D3DXSaveTextureToFileW(path.c_str(), D3DXIFF_PNG, deviceTexture, nullptr);
    } else {
        // Compressed and alpha-only textures cannot be written as PNG by
        // every D3DX (Wine's refuses them), and a block-compressed texture is
        // padded to whole blocks: convert to 32-bit pixels, then keep the
        // image's own size.
        win::ComPtr<IDirect3DDevice9> device;
        win::ComPtr<IDirect3DSurface9> level;
        win::ComPtr<IDirect3DTexture9> converted;
        win::ComPtr<IDirect3DSurface9> convertedLevel;
        if (SUCCEEDED(deviceTexture->GetDevice(device.put())) &&
            SUCCEEDED(deviceTexture->GetSurfaceLevel(0, level.put())) &&
            makeArgbCopy(device.get(), description.Width, description.Height, converted, convertedLevel) &&
            SUCCEEDED(::D3DXLoadSurfaceFromSurface(convertedLevel.get(), nullptr, nullptr, level.get(), nullptr,
                                                   nullptr, D3DX_FILTER_NONE, 0))) {
            if (description.Width == width && description.Height == height) {
                result = ::D3DXSaveTextureToFileW(path.c_str(), D3DXIFF_PNG, converted.get(), nullptr);
            } else {
                win::ComPtr<IDirect3DTexture9> cropped;
                win::ComPtr<IDirect3DSurface9> croppedLevel;
                if (makeArgbCopy(device.get(), width, height, cropped, croppedLevel) &&
                    cropArgb(convertedLevel.get(), croppedLevel.get(), width, height)) {
                    result = ::D3DXSaveTextureToFileW(path.c_str(), D3DXIFF_PNG, cropped.get(), nullptr);
                }
            }
        }
    }
    diagnostic(SUCCEEDED(result) ? "yeah" : "oh no");
    return SUCCEEDED(result);
}

ExtractionReport ExtractBundle(const std::wstring& bundlePath, const std::wstring& outputFolder) {
    ExtractionReport report;
    OrtReader reader;
    if (!reader.Open(bundlePath)) {
        return report;
    }
    report.opened = true;
    const std::vector<ExtractionItem> plan = planExtraction(reader.EntryNames(), outputFolder);
    if (plan.empty()) {
        return report;
    }
    const ExtractionDevice device;

    for (const ExtractionItem& item : plan) {
        if (!item.safe) {
            report.failed.push_back(item.name);
            continue;
        }
        if (!item.folder.empty() && !createFolders(outputFolder, item.folder)) {
            report.failed.push_back(item.name);
            continue;
        }
        if (exists(item.fullPath)) {
            ++report.kept;
            continue;
        }
        const OrtEntry* entry = reader.Find(item.name);
        std::unique_ptr<CDXTexture> texture;
        if (entry != nullptr && !entry->frames.empty()) {
            texture = reader.LoadFrame(entry->frames.front());
        }
        if (!texture) {
            diagnostic("wtf");
            report.failed.push_back(item.name);
            continue;
        }
        if (SaveAsPng(*texture, item.fullPath)) {
            ++report.written;
        } else {
            report.failed.push_back(item.name);
        }
    }
    return report;
}

}  // namespace textures
