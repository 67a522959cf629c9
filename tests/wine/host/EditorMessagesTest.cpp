// The editor messages later features rely on: dark mode and its switch,
// indicator numbers for plugins, and opening a file by its path.
#include "HostFixture.h"

#include <cstring>

namespace hosttest {
namespace {

LRESULT toHost(host::Host& editor, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return ::SendMessageW(editor.mainWindow(), msg, w, l);
}

bool isDark(COLORREF c) { return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }
bool isLight(COLORREF c) { return GetRValue(c) > 0xA0 && GetGValue(c) > 0xA0 && GetBValue(c) > 0xA0; }

// The host's own notifications among what the test plugin recorded (not
// those of the views).
std::vector<std::wstring> fromHost(const std::vector<std::wstring>& events) {
    std::vector<std::wstring> out;
    for (const auto& e : events)
        if (e.rfind(L"notify:", 0) == 0 && e.find(L":host:") != std::wstring::npos) out.push_back(e);
    return out;
}

TEST_F(HostTest, DarkModeIsAnsweredSwitchedWithANotificationAndThemingIsRecorded) {
    start();
    EXPECT_EQ(toHost(*host_, npp::NPPM_ISDARKMODEENABLED), FALSE);

    // The colour record is filled only when its size is the one agreed on.
    npp::DarkModeColors colours{};
    std::memset(&colours, 0x5A, sizeof(colours));
    EXPECT_EQ(toHost(*host_, npp::NPPM_GETDARKMODECOLORS, sizeof(colours) - 4, reinterpret_cast<LPARAM>(&colours)),
              FALSE);
    EXPECT_EQ(colours.background, 0x5A5A5A5Au);
    ASSERT_EQ(toHost(*host_, npp::NPPM_GETDARKMODECOLORS, sizeof(colours), reinterpret_cast<LPARAM>(&colours)), TRUE);
    EXPECT_TRUE(isDark(colours.background) && isDark(colours.softerBackground) && isDark(colours.pureBackground));
    EXPECT_TRUE(isLight(colours.text) && isLight(colours.darkerText));
    EXPECT_NE(colours.background, colours.hotBackground);
    EXPECT_EQ(host_->darkModeColours().edge, colours.edge);

    // Switching tells every plugin once; switching to the mode it is in does nothing.
    clearEvents();
    host_->setDarkMode(true);
    EXPECT_EQ(toHost(*host_, npp::NPPM_ISDARKMODEENABLED), TRUE);
    host_->setDarkMode(true);
    EXPECT_EQ(fromHost(events()), std::vector<std::wstring>{L"notify:1027:host:0"});
    auto r = host_->runLine(L"darkmode off");
    ASSERT_TRUE(r.ok) << narrow(r.message);
    EXPECT_FALSE(host_->isDarkMode());
    EXPECT_EQ(fromHost(events()).size(), 2u);
    EXPECT_FALSE(host_->runLine(L"darkmode dim").ok);

    // Theming requests are recorded as made, for the in-process API and scripts.
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Modeless Window"));
    HWND window = pluginExport<HWND (*)()>("testModeless")();
    EXPECT_EQ(toHost(*host_, npp::NPPM_DARKMODESUBCLASSANDTHEME, npp::DARKMODE_INIT, reinterpret_cast<LPARAM>(window)),
              TRUE);
    ASSERT_EQ(host_->themeRequests().size(), 1u);
    EXPECT_EQ(host_->themeRequests()[0].window, window);
    EXPECT_EQ(host_->themeRequests()[0].flags, npp::DARKMODE_INIT);
    EXPECT_TRUE(host_->runLine(L"expect themed window=\"Test window\" init").ok);
    r = host_->runLine(L"expect themed window=\"Test window\" changed");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, L"no such theming request; 1 for that window");
}

TEST_F(HostTest, DarkModeAtStartUpNeedsNoNotification) {
    host::Options options;
    options.show = false;
    options.pluginRoot = host::exeFolder() + L"\\testplugins";
    options.configFolder = folder_ + L"\\config";
    options.plugins = {kTestPlugin};
    options.darkMode = true;
    host_ = host::Host::create(options);
    ASSERT_TRUE(host_);
    EXPECT_EQ(toHost(*host_, npp::NPPM_ISDARKMODEENABLED), TRUE);
    EXPECT_FALSE(sawEvent(L"notify:1027:host:0"));
}

TEST_F(HostTest, IndicatorsAreHandedOutFromThePluginRangeUntilItRunsOut) {
    start();
    int first = -1;
    ASSERT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 3, reinterpret_cast<LPARAM>(&first)), TRUE);
    EXPECT_EQ(first, 9);
    ASSERT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 1, reinterpret_cast<LPARAM>(&first)), TRUE);
    EXPECT_EQ(first, 12);

    // Requests that cannot be met leave the number alone.
    first = -1;
    EXPECT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 9, reinterpret_cast<LPARAM>(&first)), FALSE);
    EXPECT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 0, reinterpret_cast<LPARAM>(&first)), FALSE);
    EXPECT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 1, 0), FALSE);
    EXPECT_EQ(first, -1);

    // The switch makes the editor refuse, as one without numbers left would.
    ASSERT_TRUE(host_->runLine(L"indicators refuse").ok);
    EXPECT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 1, reinterpret_cast<LPARAM>(&first)), FALSE);
    EXPECT_EQ(first, -1);
    host_->refuseIndicators(false);
    ASSERT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 8, reinterpret_cast<LPARAM>(&first)), TRUE);
    EXPECT_EQ(first, 13);
    EXPECT_EQ(toHost(*host_, npp::NPPM_ALLOCATEINDICATOR, 1, reinterpret_cast<LPARAM>(&first)), FALSE);

    const auto& made = host_->indicatorAllocations();
    ASSERT_EQ(made.size(), 8u);
    EXPECT_EQ(made[0].count, 3);
    EXPECT_EQ(made[0].first, 9);
    EXPECT_EQ(made[2].first, -1);
}

TEST_F(HostTest, DoOpenOpensOrActivatesAFileByItsFullPath) {
    start();
    ASSERT_TRUE(writeFile(path(L"one.xml"), "<one/>"));
    ASSERT_TRUE(writeFile(path(L"two.xml"), "<two/>"));
    clearEvents();
    std::wstring one = path(L"one.xml"), two = path(L"two.xml");
    ASSERT_EQ(toHost(*host_, npp::NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(one.c_str())), TRUE);
    ASSERT_EQ(toHost(*host_, npp::NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(two.c_str())), TRUE);
    ASSERT_EQ(toHost(*host_, npp::NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(one.c_str())), TRUE);
    EXPECT_EQ(host_->currentPath(), one);
    EXPECT_EQ(host_->documentBytes(), "<one/>");
    // Opened twice, then activated: the first buffer again, not a third.
    EXPECT_EQ(fromHost(events()),
              (std::vector<std::wstring>{L"notify:1010:host:1", L"notify:1010:host:2", L"notify:1010:host:1"}));

    std::wstring missing = path(L"missing.xml");
    EXPECT_EQ(toHost(*host_, npp::NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(missing.c_str())), FALSE);
    EXPECT_EQ(toHost(*host_, npp::NPPM_DOOPEN, 0, 0), FALSE);
    EXPECT_EQ(host_->currentPath(), one);
}

}  // namespace
}  // namespace hosttest
