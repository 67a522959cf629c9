// The stand-in editor with the real plugin and its tester panel shown, for
// the tester's Wine tests that drive the panel.
#pragma once

#include "Host.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace testsupport {

// Starts the editor with the plugin's settings from `configFolder` and shows
// the tester panel; `panel` gets its window (a test failure when either fails).
inline void startWithTesterPanel(const std::wstring& configFolder, std::unique_ptr<host::Host>& editor, HWND& panel) {
    host::Options options;
    options.pluginRoot = host::exeFolder() + L"\\plugins";
    options.configFolder = configFolder;
    options.plugins = {L"Quorrel"};
    std::wstring error;
    editor = host::Host::create(options, &error);
    ASSERT_NE(editor, nullptr) << narrow(error);
    ASSERT_TRUE(editor->runMenu(L"&Quorrel", L"&Ormu Tester"));
    editor->pump(100);
    panel = nullptr;
    for (const auto& r : editor->dockingRegistrations())
        if (r.data.dlgID == 1) panel = r.data.hClient;
    ASSERT_NE(panel, nullptr);
}

}  // namespace testsupport
