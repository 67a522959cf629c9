// Shared pieces of the previewer's Wine tests: temporary folders (named
// outside the ANSI code page on purpose), the sample skin, and reading the
// frames the previewer presents.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "preview/PreviewFrame.h"
#include "support/WineTestSupport.h"

namespace previewtest {

using testsupport::copyTree;
using testsupport::readFile;
using testsupport::writeFile;
using wine_test::sampleSkinFolder;

// A fresh folder whose name has characters of no ANSI code page in common.
class TempFolder : public testsupport::ScratchFolder {
public:
    TempFolder() : ScratchFolder(L"preview-\u00e9\u0416\u4e2d") {}
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

inline bool startCapture(HWND panel) { return ::SendMessageW(panel, frameMessage(), preview::kStartCapture, 0) == 1; }

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
