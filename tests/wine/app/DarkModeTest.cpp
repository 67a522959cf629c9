// The plugin in the stand-in editor while the editor switches between light
// and dark: what the panels paint themselves follows at once, and the Options
// dialog asks the editor to theme it.
#include "ShellTestSupport.h"

#include "controls/controls_ids.h"
#include "npp/NppInterface.h"
#include "preview/PreviewFrame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kMenu[] = L"&Quorrel";

// The colour at (x, y) of a window's client area as it paints itself now.
COLORREF pixelOf(HWND window, int x, int y) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = ::GetDC(window);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return colour;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

class DarkMode : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = shelltest::startHostWithPlugin(config_.path());
        ASSERT_NE(host_, nullptr);
        ASSERT_FALSE(host_->isDarkMode());
    }

    HWND panelOf(int dialogId) const {
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.data.dlgID == dialogId) return r.data.hClient;
        }
        return nullptr;
    }

    void switchTo(bool dark) {
        host_->setDarkMode(dark);
        host_->pump(100);
    }

    // The tag label of the first row, after choosing a type in the controls panel.
    HWND firstLabel() {
        EXPECT_TRUE(host_->runMenu(kMenu, L"&Ormu Controls"));
        host_->pump(100);
        HWND panel = panelOf(3);
        if (panel == nullptr) return nullptr;
        HWND list = ::GetDlgItem(panel, IDC_CONTROLS_TYPE_LIST);
        ::SendMessageW(list, CB_SETCURSEL, 2, 0);
        ::SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDC_CONTROLS_TYPE_LIST, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(list));
        host_->pump(50);
        HWND area = ::GetDlgItem(panel, IDC_CONTROLS_ATTRIBUTES);
        for (HWND row = ::GetWindow(area, GW_CHILD); row != nullptr; row = ::GetWindow(row, GW_HWNDNEXT)) {
            for (HWND child = ::GetWindow(row, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
                if (_wcsicmp(className(child).c_str(), L"Edit") == 0 && ::IsWindowEnabled(child) == FALSE) return child;
            }
        }
        return nullptr;
    }

    // The previewer's last presented frame, as its back buffer held it.
    std::vector<std::uint32_t> frameOf(HWND previewer, std::uint32_t& width, std::uint32_t& height) {
        const UINT message = ::RegisterWindowMessageW(preview::kPreviewFrameMessage);
        preview::CapturedFrame request;
        ::SendMessageW(previewer, message, preview::kReadFrame, reinterpret_cast<LPARAM>(&request));
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(request.width) * request.height);
        request.pixels = pixels.data();
        request.capacity = pixels.size();
        if (pixels.empty() ||
            ::SendMessageW(previewer, message, preview::kReadFrame, reinterpret_cast<LPARAM>(&request)) != 1) {
            pixels.clear();
        }
        width = request.width;
        height = request.height;
        return pixels;
    }

    shelltest::ScratchFolder config_{L"dark-config"};
    std::unique_ptr<host::Host> host_;
};

TEST_F(DarkMode, TheLabelColumnAndThePreviewBackgroundFollowTheSwitchAtOnce) {
    const npp::DarkModeColors colours = host_->darkModeColours();
    HWND label = firstLabel();
    ASSERT_NE(label, nullptr);
    RECT rc{};
    ::GetClientRect(label, &rc);
    const int x = rc.right - 3;  // beyond the tag's text
    const int y = rc.bottom / 2;
    const COLORREF light = pixelOf(label, x, y);
    ASSERT_NE(light, CLR_INVALID);
    ASSERT_NE(light, colours.background);

    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Image Previewer"));
    host_->pump(100);
    HWND previewer = panelOf(2);
    ASSERT_NE(previewer, nullptr);
    const UINT frameMessage = ::RegisterWindowMessageW(preview::kPreviewFrameMessage);
    ASSERT_EQ(::SendMessageW(previewer, frameMessage, preview::kStartCapture, 0), 1);

    for (const bool dark : {true, false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        switchTo(dark);
        EXPECT_EQ(pixelOf(label, x, y), dark ? colours.background : light);
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        const std::vector<std::uint32_t> frame = frameOf(previewer, width, height);
        ASSERT_FALSE(frame.empty());
        // X8R8G8B8 from the top left: the bottom right corner is background.
        const std::uint32_t corner = frame.back() & 0xFFFFFF;
        const std::uint32_t darkBackground =
            ((colours.background & 0xFF) << 16) | (colours.background & 0xFF00) | ((colours.background >> 16) & 0xFF);
        EXPECT_EQ(corner, dark ? darkBackground : 0xD4D0C8u) << std::hex << corner;
    }
}

TEST_F(DarkMode, TheOptionsDialogAsksToBeThemedWhenItOpensAndOnEverySwitch) {
    host_->clearRecords();
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Options..."));
    host_->pump(100);
    HWND options = ::FindWindowW(nullptr, L"Quorrel Options");
    ASSERT_NE(options, nullptr);
    auto requestsFor = [&](HWND window) {
        std::vector<WPARAM> flags;
        for (const host::ThemeRequest& r : host_->themeRequests()) {
            if (r.window == window) flags.push_back(r.flags);
        }
        return flags;
    };
    EXPECT_EQ(requestsFor(options), (std::vector<WPARAM>{npp::DARKMODE_INIT}));
    // Docking panels are themed by the editor without asking.
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Tester"));
    host_->pump(50);
    EXPECT_TRUE(requestsFor(panelOf(1)).empty());

    switchTo(true);
    switchTo(false);
    EXPECT_EQ(requestsFor(options),
              (std::vector<WPARAM>{npp::DARKMODE_INIT, npp::DARKMODE_CHANGED, npp::DARKMODE_CHANGED}));
}

}  // namespace
