// Shared pieces of the previewer's Wine tests: temporary folders (named
// outside the ANSI code page on purpose), the sample skin, and reading the
// frames the previewer presents.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "preview/PreviewFrame.h"
#include "wine/host/HostFixture.h"

namespace previewtest {

using hosttest::readFile;
using hosttest::writeFile;

inline std::wstring sampleSkinFolder() {
    std::wstring path = L"Z:" + std::wstring(QUORREL_SAMPLE_SKIN, QUORREL_SAMPLE_SKIN + sizeof(QUORREL_SAMPLE_SKIN) - 1);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

inline bool copyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((from + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = copyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        } else {
            ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return ok;
}

inline void removeTree(const std::wstring& path) {
    std::wstring from = path + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

// A fresh folder whose name has characters of no ANSI code page in common.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        path_ = std::wstring(base) + L"quorrel-preview-\u00e9\u0416\u4e2d-" + std::to_wstring(::GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter);
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { removeTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

// The 0-based number of the first line holding `needle`, or -1.
inline int lineOf(const std::string& text, const std::string& needle) {
    int line = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (text.substr(start, end - start).find(needle) != std::string::npos) {
            return line;
        }
        ++line;
        start = end + 1;
    }
    return -1;
}

constexpr std::uint32_t kGrey = 0xD4D0C8;

struct Frame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t presents = 0;
    std::uint32_t clears = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t rgb(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x] & 0xFFFFFF; }
};

inline UINT frameMessage() { return ::RegisterWindowMessageW(preview::kPreviewFrameMessage); }

inline bool startCapture(HWND panel) {
    return ::SendMessageW(panel, frameMessage(), preview::kStartCapture, 0) == 1;
}

inline Frame readFrame(HWND panel) {
    Frame frame;
    preview::CapturedFrame request;
    ::SendMessageW(panel, frameMessage(), preview::kReadFrame, reinterpret_cast<LPARAM>(&request));
    frame.width = request.width;
    frame.height = request.height;
    frame.presents = request.presents;
    frame.clears = request.clears;
    if (request.width == 0 || request.height == 0) return frame;
    frame.pixels.resize(static_cast<std::size_t>(request.width) * request.height);
    request.pixels = frame.pixels.data();
    request.capacity = frame.pixels.size();
    if (::SendMessageW(panel, frameMessage(), preview::kReadFrame, reinterpret_cast<LPARAM>(&request)) != 1) {
        frame.pixels.clear();
    }
    return frame;
}

}  // namespace previewtest
