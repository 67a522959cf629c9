#include "textures/D3dxRuntime_win.h"

#include "base/Win32Handles.h"

namespace textures {
namespace {

// The one loader entry point used, declared here rather than taken from
// d3dx9.h so that nothing can make the linker import it.
using CreateTextureFromFileExW = HRESULT(WINAPI*)(IDirect3DDevice9* device, LPCWSTR path, UINT width, UINT height,
                                                  UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                  DWORD filter, DWORD mipFilter, D3DCOLOR colourKey, void* imageInfo,
                                                  PALETTEENTRY* palette, IDirect3DTexture9** texture);
constexpr UINT kDefaultNonPow2 = static_cast<UINT>(-2);  // D3DX_DEFAULT_NONPOW2: the file's own size
constexpr DWORD kFilterNone = 1;                         // D3DX_FILTER_NONE

struct Runtime {
    bool tried = false;
    win::LoadedModule module;
    CreateTextureFromFileExW createTextureFromFileEx = nullptr;

    ~Runtime() {
        // Static destruction runs inside the loader lock, where FreeLibrary
        // must not be called; the process or module is going away anyway.
        module.release();
    }
};

Runtime& runtime() noexcept {
    static Runtime value;
    return value;
}

HMODULE loadFromSystemFolder() noexcept {
    // Only the system folder: a d3dx9_43.dll planted beside a document must never load.
    HMODULE module = ::LoadLibraryExW(L"d3dx9_43.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // Windows 7 without its loader update does not know the flag.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\d3dx9_43.dll";
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

Runtime& loaded() noexcept {
    Runtime& r = runtime();
    if (!r.tried) {
        r.tried = true;
        r.module.reset(loadFromSystemFolder());
        r.createTextureFromFileEx =
            win::procedureOf<CreateTextureFromFileExW>(r.module.get(), "D3DXCreateTextureFromFileExW");
    }
    return r;
}

}  // namespace

bool d3dxAvailable() noexcept { return loaded().createTextureFromFileEx != nullptr; }

bool d3dxTextureFromFile(IDirect3DDevice9* device, const std::wstring& path, IDirect3DTexture9** texture) noexcept {
    *texture = nullptr;
    const Runtime& r = loaded();
    if (device == nullptr || r.createTextureFromFileEx == nullptr) return false;
    if (FAILED(r.createTextureFromFileEx(device, path.c_str(), kDefaultNonPow2, kDefaultNonPow2, 1, 0, D3DFMT_UNKNOWN,
                                         D3DPOOL_MANAGED, kFilterNone, kFilterNone, 0, nullptr, nullptr, texture))) {
        *texture = nullptr;
        return false;
    }
    return true;
}

void releaseD3dx() noexcept {
    Runtime& r = runtime();
    r.createTextureFromFileEx = nullptr;
    r.module.reset();
    r.tried = false;
}

}  // namespace textures
