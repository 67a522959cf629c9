// The plugin in the stand-in editor on a screen of 144 DPI (the test's own
// Wine prefix is made at that DPI): the controls panel's rows and tag column
// are half as large again as at 96 DPI, and nothing in the panel overlaps.
#include "ShellTestSupport.h"

#include "controls/controls_ids.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr wchar_t kMenu[] = L"&Quorrel";

RECT rectIn(HWND window, HWND reference) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    ::MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

TEST(HighDpi, TheControlsPanelScalesItsRowsAndTagColumnAndNothingOverlaps) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 144) << "the test's Wine prefix was not made at 144 DPI";

    shelltest::ScratchFolder config{L"dpi-config"};
    std::unique_ptr<host::Host> host = shelltest::startHostWithPlugin(config.path());
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(host->runMenu(kMenu, L"&Ormu Controls"));
    host->pump(100);
    HWND panel = nullptr;
    for (const auto& r : host->dockingRegistrations()) {
        if (r.data.dlgID == 3) panel = r.data.hClient;
    }
    ASSERT_NE(panel, nullptr);
    HWND list = ::GetDlgItem(panel, IDC_CONTROLS_TYPE_LIST);
    ::SendMessageW(list, CB_SETCURSEL, 2, 0);  // button: 31 rows
    ::SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDC_CONTROLS_TYPE_LIST, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    host->pump(50);

    HWND area = ::GetDlgItem(panel, IDC_CONTROLS_ATTRIBUTES);
    const std::vector<HWND> rows = childrenOf(area);
    ASSERT_GE(rows.size(), 3u);
    // At 96 DPI rows are 25 pixels apart and the tag column is 120 wide.
    const int pitch = rectIn(rows[1], area).top - rectIn(rows[0], area).top;
    EXPECT_LE(std::abs(2 * pitch - 3 * 25), 2) << pitch;
    for (HWND row : rows) {
        const std::vector<HWND> parts = childrenOf(row);
        ASSERT_EQ(parts.size(), 2u);
        const RECT label = rectIn(parts[0], row);
        const RECT value = rectIn(parts[1], row);
        EXPECT_LE(std::abs(2 * (label.right - label.left) - 3 * 120), 2) << label.right - label.left;
        EXPECT_LE(label.right, value.left);
    }
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        EXPECT_EQ(rectIn(rows[i + 1], area).top - rectIn(rows[i], area).top, pitch) << i;
        EXPECT_LE(rectIn(rows[i], area).bottom, rectIn(rows[i + 1], area).top) << i;
    }
    // The closed type list stays above the rows' area.
    EXPECT_LE(rectIn(list, panel).bottom, rectIn(area, panel).top);
}

}  // namespace
