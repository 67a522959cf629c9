// Small owners for the handles Win32 hands out: each releases its handle in a
// noexcept destructor and cannot be copied.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace win {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::valid(handle_); }
    Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) noexcept {
        if (Traits::valid(handle_)) Traits::close(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() noexcept { return nullptr; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

template <typename T>
struct GdiObjectTraits {
    static T invalid() noexcept { return nullptr; }
    static bool valid(T h) noexcept { return h != nullptr; }
    static void close(T h) noexcept { ::DeleteObject(h); }
};
using Font = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using Pen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using Brush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using Bitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;

struct IconTraits {
    static HICON invalid() noexcept { return nullptr; }
    static bool valid(HICON h) noexcept { return h != nullptr; }
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
using Icon = UniqueHandle<HICON, IconTraits>;

struct CursorTraits {
    static HCURSOR invalid() noexcept { return nullptr; }
    static bool valid(HCURSOR h) noexcept { return h != nullptr; }
    static void close(HCURSOR h) noexcept { ::DestroyCursor(h); }
};
using Cursor = UniqueHandle<HCURSOR, CursorTraits>;

struct GlobalTraits {
    static HGLOBAL invalid() noexcept { return nullptr; }
    static bool valid(HGLOBAL h) noexcept { return h != nullptr; }
    static void close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};
using GlobalMemory = UniqueHandle<HGLOBAL, GlobalTraits>;

struct WindowTraits {
    static HWND invalid() noexcept { return nullptr; }
    static bool valid(HWND h) noexcept { return h != nullptr; }
    static void close(HWND h) noexcept {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};
using OwnedWindow = UniqueHandle<HWND, WindowTraits>;

struct LocalTraits {
    static HLOCAL invalid() noexcept { return nullptr; }
    static bool valid(HLOCAL h) noexcept { return h != nullptr; }
    static void close(HLOCAL h) noexcept { ::LocalFree(h); }
};
using LocalMemory = UniqueHandle<HLOCAL, LocalTraits>;

// A search from FindFirstFileW.
struct FindTraits {
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};
using FindHandle = UniqueHandle<HANDLE, FindTraits>;

// A library from LoadLibraryW.
struct LibraryTraits {
    static HMODULE invalid() noexcept { return nullptr; }
    static bool valid(HMODULE h) noexcept { return h != nullptr; }
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
using Library = UniqueHandle<HMODULE, LibraryTraits>;

struct AcceleratorTraits {
    static HACCEL invalid() noexcept { return nullptr; }
    static bool valid(HACCEL h) noexcept { return h != nullptr; }
    static void close(HACCEL h) noexcept { ::DestroyAcceleratorTable(h); }
};
using AcceleratorTable = UniqueHandle<HACCEL, AcceleratorTraits>;

// A procedure of a loaded module, typed; null when the module lacks it.
template <typename Function>
Function procedureOf(HMODULE module, const char* name) noexcept {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// COM initialised on this thread for the owner's lifetime, undone only if
// this call did it (a thread already in another apartment keeps it).
class ComScope {
public:
    ComScope() noexcept {
        const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        initialised_ = SUCCEEDED(result);
        usable_ = initialised_ || result == RPC_E_CHANGED_MODE;
    }
    ~ComScope() {
        if (initialised_) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const noexcept { return usable_; }

private:
    bool initialised_ = false;
    bool usable_ = false;
};

// A device context from GetDC (the client area) or GetWindowDC (the whole
// window, frame included), released to its window.
class WindowDC {
public:
    struct WholeWindow {};
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    WindowDC(HWND window, WholeWindow) noexcept : window_(window), dc_(::GetWindowDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory DC from CreateCompatibleDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) noexcept : dc_(::CreateCompatibleDC(reference)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) ::DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// Selects a GDI object into a DC for the owner's lifetime, then restores the previous one.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Global memory locked for the owner's lifetime.
template <typename T>
class GlobalLock {
public:
    explicit GlobalLock(HGLOBAL memory) noexcept : memory_(memory), data_(static_cast<T*>(::GlobalLock(memory))) {}
    ~GlobalLock() {
        if (data_ != nullptr) ::GlobalUnlock(memory_);
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;
    T* get() const noexcept { return data_; }

private:
    HGLOBAL memory_;
    T* data_;
};

// The clipboard, open for the owner's lifetime.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
    ~ClipboardScope() {
        if (open_) ::CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool isOpen() const noexcept { return open_; }

private:
    bool open_;
};

// COM pointer owner.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* p) noexcept : p_(p) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void reset(T* p = nullptr) noexcept {
        if (p_ != nullptr) p_->Release();
        p_ = p;
    }

private:
    T* p_ = nullptr;
};

}  // namespace win
