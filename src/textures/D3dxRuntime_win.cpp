#include "textures/D3dxRuntime_win.h"

namespace textures {
namespace {

// The loader entry point is declared in the header rather than taken from
// d3dx9.h, so that nothing can make the linker import it.
constexpr UINT kDefaultNonPow2 = static_cast<UINT>(-2);  // D3DX_DEFAULT_NONPOW2: the file's own size
constexpr DWORD kFilterNone = 1;                         // D3DX_FILTER_NONE

HMODULE loadFromSystemFolder() noexcept {
    // Only the system folder: a d3dx9_43.dll planted beside a document must never load.
    HMODULE module = ::LoadLibraryExW(L"d3dx9_43.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // Windows 7 without its loader update does not know the flag.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    try {
        const std::wstring path = std::wstring(folder, length) + L"\\d3dx9_43.dll";
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

void D3dxRuntime::load() noexcept {
    if (tried_) return;
    tried_ = true;
    module_.reset(loadFromSystemFolder());
    createTextureFromFileEx_ =
        win::procedureOf<CreateTextureFromFileExW>(module_.get(), "D3DXCreateTextureFromFileExW");
}

bool D3dxRuntime::available() noexcept {
    load();
    return createTextureFromFileEx_ != nullptr;
}

bool D3dxRuntime::textureFromFile(IDirect3DDevice9* device, const std::wstring& path,
                                  IDirect3DTexture9** texture) noexcept {
    *texture = nullptr;
    if (device == nullptr || !available()) return false;
    if (FAILED(createTextureFromFileEx_(device, path.c_str(), kDefaultNonPow2, kDefaultNonPow2, 1, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, kFilterNone, kFilterNone, 0, nullptr, nullptr, texture))) {
        *texture = nullptr;
        return false;
    }
    return true;
}

void D3dxRuntime::release() noexcept {
    createTextureFromFileEx_ = nullptr;
    module_.reset();
    tried_ = false;
}

}  // namespace textures
