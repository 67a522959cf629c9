// The previewer's test-control channel. Under some display servers a
// presentation into a child window cannot be read back from the screen, so
// the panel can keep a copy of each frame it presents (taken from the
// device's back buffer just before presenting) and hand it out on request.
//
// Send the registered message named kPreviewFrameMessage to the panel window:
//   wParam kStartCapture: keep copies from now on (counters restart); returns 1.
//   wParam kStopCapture:  stop keeping copies; returns 1.
//   wParam kReadFrame, lParam a CapturedFrame*: fills the counters and the
//     size; copies the last frame's pixels when `capacity` suffices.
//     Returns 1 when pixels were copied.
// The caller lives in the same process (the in-process host of the tests).
#pragma once

#include <cstddef>
#include <cstdint>

namespace preview {

constexpr wchar_t kPreviewFrameMessage[] = L"Quorrel.PreviewFrame";

enum FrameRequest : unsigned {
    kStartCapture = 1,
    kStopCapture = 2,
    kReadFrame = 3,
};

struct CapturedFrame {
    std::uint32_t width = 0;  // of the last captured frame
    std::uint32_t height = 0;
    std::uint32_t presents = 0;       // frames presented since capture started
    std::uint32_t clears = 0;         // background clears since capture started
    std::uint32_t* pixels = nullptr;  // caller's buffer: X8R8G8B8, rows from the top
    std::size_t capacity = 0;         // in pixels
};

}  // namespace preview
