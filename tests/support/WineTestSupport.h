// Helpers shared by the Wine tests: message pumping, a second thread that
// answers a modal window, window texts; and the portable helpers (files,
// scratch folders) of TestSupport.h.
#pragma once

#include "support/TestSupport.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace wine_test {

using testsupport::ScratchFolder;

// A path of the Linux file system as Wine shows it (on drive Z:).
inline std::wstring fromLinux(const std::string& path) {
    std::wstring out = L"Z:" + testsupport::widen(path);
    for (wchar_t& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

// The source tree (every Wine test is built knowing it) and its sample skin.
inline std::wstring sourceFolder() { return fromLinux(QUORREL_SOURCE_DIR); }
inline std::wstring sampleSkinFolder() { return sourceFolder() + L"\\samples\\skin"; }

// Starts a Linux program (Wine runs it natively) and lets it run on its own.
// Wine hands back no handles to such a program and leaves what its stack held
// in their place; closing those closed handles of ours (once the folder of
// named objects, and every named event made after it failed).
inline bool startLinuxProgram(const wchar_t* program, const std::wstring& commandLine) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION ignored{};
    return ::CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &ignored) !=
           FALSE;
}

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
