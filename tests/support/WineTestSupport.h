// Helpers shared by the settings Wine tests: a scratch folder, message
// pumping, and a second thread that answers a modal window.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace wine_test {

inline void pump(int ms = 50) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    MSG msg;
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() < end);
}

// A fresh folder under the temporary folder, removed with its contents afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& tag) {
        wchar_t base[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"quorrel-" + tag + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(::GetTickCount());
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

    static std::string read(const std::wstring& path) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return {};
        std::string bytes;
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
        ::CloseHandle(file);
        return bytes;
    }
    static bool exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    static void removeTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(full);
                else ::DeleteFileW(full.c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

// Waits on another thread for an enabled, visible window owned by `owner`
// (a modal picker or message box), hands it to `answer`, and reports whether
// one turned up.
class ModalAnswerer {
public:
    ModalAnswerer(HWND owner, std::function<void(HWND)> answer)
        : worker_([this, owner, answer = std::move(answer)] {
              const DWORD end = ::GetTickCount() + 10000;
              while (::GetTickCount() < end) {
                  Search search{owner, nullptr};
                  ::EnumWindows(&ModalAnswerer::visit, reinterpret_cast<LPARAM>(&search));
                  const HWND found = search.found;
                  if (found != nullptr) {
                      ::Sleep(300);  // let the window finish its own start-up
                      answer(found);
                      answered_ = true;
                      return;
                  }
                  ::Sleep(50);
              }
          }) {}
    ~ModalAnswerer() {
        if (worker_.joinable()) worker_.join();
    }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;
    bool answered() {
        if (worker_.joinable()) worker_.join();
        return answered_;
    }

private:
    struct Search {
        HWND owner;
        HWND found;
    };
    static BOOL CALLBACK visit(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<Search*>(data);
        if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    std::atomic<bool> answered_{false};
    std::thread worker_;
};

inline std::wstring windowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

inline std::wstring itemText(HWND dialog, int id) { return windowText(::GetDlgItem(dialog, id)); }

}  // namespace wine_test
