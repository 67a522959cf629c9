// Paths, whole-file reads and writes, and the texts of Win32 errors.
#include "HostImpl.h"

#include <algorithm>

namespace host {

std::wstring exeFolder() {
    std::wstring buffer(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return folderOf(buffer);
}

std::wstring folderOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring fileNameOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4] = {};
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    return (n > 0 && n < MAX_PATH * 4) ? std::wstring(full) : path;
}

std::wstring formatWin32Error(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    win::LocalMemory owner(text);
    std::wstring out = L"error " + std::to_wstring(code);
    if (n != 0 && text != nullptr) {
        std::wstring message(text, n);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
            message.pop_back();
        out += L" (" + message + L")";
    }
    return out;
}

bool readFileBytes(const std::wstring& path, std::string& bytes) {
    win::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 512 * 1024 * 1024) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + offset, chunk, &done, nullptr) || done == 0) return false;
        offset += done;
    }
    return true;
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
    win::KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD done = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1 << 20));
        if (!WriteFile(file.get(), bytes.data() + offset, chunk, &done, nullptr) || done == 0) return false;
        offset += done;
    }
    return true;
}

}  // namespace host
