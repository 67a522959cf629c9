// The plugin loaded into the stand-in editor: its menu, its panels' docking
// and check marks, its notification handling with the real Scintilla, unload.
#include "ShellTestSupport.h"

#include "npp/NppInterface.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kMenu[] = L"&Quorrel";

class PluginShell : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = shelltest::startHostWithPlugin(config_.path());
        ASSERT_NE(host_, nullptr);
        ASSERT_EQ(host_->loadedPlugins().size(), 1u);
    }

    HWND panelOf(int dialogId) const {
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.data.dlgID == dialogId) return r.data.hClient;
        }
        return nullptr;
    }

    std::intptr_t sci(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return static_cast<std::intptr_t>(::SendMessageW(host_->currentView(), message, w, l));
    }

    std::string text() const {
        const auto length = sci(npp::SCI_GETLENGTH);
        std::string out(static_cast<std::size_t>(length) + 1, '\0');
        sci(npp::SCI_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(out.data()));
        out.resize(static_cast<std::size_t>(length));
        return out;
    }

    shelltest::ScratchFolder config_{L"shell-config"};
    shelltest::ScratchFolder documents_{L"shell-documents"};
    std::unique_ptr<host::Host> host_;
};

TEST_F(PluginShell, MenuHasItsItemsWithThreeShortcutsAndItemZeroDoesNothing) {
    const wchar_t* items[] = {L"&Ormu Skin Controls...", L"&Ormu Tester",    L"&Ormu Image Previewer",
                              L"&Ormu Controls",         L"&Options...",     L"&About...",
                              L"Go to definition",       L"Find references", L"Hover tips",
                              L"&Window outline",        L"Window &preview", L"&Test window",
                              L"&Reload skin",           L"Complete &name"};
    for (const wchar_t* item : items) EXPECT_NE(host_->commandId(kMenu, item), 0) << item;
    // The first six keep their indices; separators (which take an index each)
    // group navigation, the media center and completion.
    const int first = host_->commandId(kMenu, L"&Ormu Skin Controls...");
    EXPECT_EQ(host_->commandId(kMenu, L"&About...") - first, 5);
    EXPECT_EQ(host_->commandId(kMenu, L"Go to definition") - first, 7);
    EXPECT_EQ(host_->commandId(kMenu, L"&Window outline") - first, 10);
    EXPECT_EQ(host_->commandId(kMenu, L"Window &preview") - first, 11);
    EXPECT_EQ(host_->commandId(kMenu, L"&Test window") - first, 13);
    EXPECT_EQ(host_->commandId(kMenu, L"Complete &name") - first, 16);
    EXPECT_EQ(host_->acceleratorText(kMenu, L"&Ormu Image Previewer"), L"Ctrl+Alt+V");
    EXPECT_EQ(host_->acceleratorText(kMenu, L"&Ormu Controls"), L"Ctrl+Alt+B");
    EXPECT_EQ(host_->acceleratorText(kMenu, L"Go to definition"), L"Ctrl+Alt+Shift+D");
    EXPECT_EQ(host_->acceleratorText(kMenu, L"&Test window"), L"Ctrl+Alt+Shift+T");
    EXPECT_EQ(host_->acceleratorText(kMenu, L"&Ormu Tester"), L"");
    EXPECT_TRUE(host_->isChecked(kMenu, L"Hover tips"));

    host_->clearRecords();
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Skin Controls..."));
    host_->pump(50);
    EXPECT_TRUE(host_->dockingRegistrations().empty());
    EXPECT_TRUE(host_->modelessDialogs().empty());
    EXPECT_FALSE(host_->isChecked(kMenu, L"&Ormu Skin Controls..."));
}

TEST_F(PluginShell, PanelsRegisterOnceAndFollowTheirCheckMarks) {
    struct Panel {
        const wchar_t* item;
        int dialogId;
        const wchar_t* caption;
    };
    const Panel panels[] = {{L"&Ormu Tester", 1, L"Ormu Commands"},
                            {L"&Ormu Image Previewer", 2, L"Ormu Image Previewer"},
                            {L"&Ormu Controls", 3, L"Ormu Controls"}};
    for (const Panel& p : panels) {
        SCOPED_TRACE(testing::Message() << p.dialogId);
        const std::size_t before = host_->dockingRegistrations().size();
        ASSERT_TRUE(host_->runMenu(kMenu, p.item));
        host_->pump(50);
        ASSERT_EQ(host_->dockingRegistrations().size(), before + 1);
        const host::DockingRegistration& r = host_->dockingRegistrations().back();
        EXPECT_EQ(r.data.dlgID, p.dialogId);
        EXPECT_EQ(r.data.uMask, 1u);
        EXPECT_NE(r.data.hIconTab, nullptr);
        EXPECT_EQ(r.data.pszAddInfo, nullptr);
        EXPECT_EQ(r.moduleName, L"Quorrel.dll");
        EXPECT_EQ(r.name, p.caption);
        HWND panel = r.data.hClient;
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(::IsWindowVisible(panel));
        EXPECT_TRUE(host_->isChecked(kMenu, p.item));

        // Second choice hides.
        ASSERT_TRUE(host_->runMenu(kMenu, p.item));
        host_->pump(20);
        EXPECT_FALSE(::IsWindowVisible(panel));
        EXPECT_FALSE(host_->isChecked(kMenu, p.item));

        // Shown again, then closed with the container's close button.
        ASSERT_TRUE(host_->runMenu(kMenu, p.item));
        host_->pump(20);
        EXPECT_TRUE(host_->isChecked(kMenu, p.item));
        ASSERT_TRUE(host_->closePanel(panel));
        host_->pump(20);
        EXPECT_FALSE(host_->isChecked(kMenu, p.item));

        // The next choice shows it again without a second registration.
        ASSERT_TRUE(host_->runMenu(kMenu, p.item));
        host_->pump(20);
        EXPECT_TRUE(::IsWindowVisible(panel));
        EXPECT_TRUE(host_->isChecked(kMenu, p.item));
        EXPECT_EQ(host_->dockingRegistrations().size(), before + 1);
    }
}

// Typing, Backspace, Delete, paste, undo and redo with the controls panel shown
// give exactly the text they give without the plugin.
TEST_F(PluginShell, EditingWithTheControlsPanelShownKeepsTheUsersText) {
    const std::wstring path = shelltest::writeFile(documents_, L"plain.txt", "hello world\r\nsecond line\r\n");
    ASSERT_TRUE(host_->openFile(path));
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Controls"));
    host_->pump(50);
    ASSERT_TRUE(host_->isChecked(kMenu, L"&Ormu Controls"));
    HWND view = host_->currentView();
    ::SetFocus(view);

    auto key = [&](WPARAM vk) {
        ::SendMessageW(view, WM_KEYDOWN, vk, 0);
        ::SendMessageW(view, WM_KEYUP, vk, 0);
    };
    auto type = [&](wchar_t c) { ::SendMessageW(view, WM_CHAR, c, 0); };

    sci(npp::SCI_GOTOPOS, 5);  // after "hello"
    type(L'X');
    key(VK_BACK);
    type(L'Z');
    EXPECT_EQ(text(), "helloZ world\r\nsecond line\r\n");
    key(VK_DELETE);  // removes the blank
    type(L'_');
    EXPECT_EQ(text(), "helloZ_world\r\nsecond line\r\n");
    ASSERT_TRUE(host_->setClipboardText(L"[p]"));
    sci(npp::SCI_PASTE);
    type(L'!');
    EXPECT_EQ(text(), "helloZ_[p]!world\r\nsecond line\r\n");
    sci(2176 /* SCI_UNDO */);
    sci(2176);
    EXPECT_EQ(text(), "helloZ_world\r\nsecond line\r\n");
    sci(2011 /* SCI_REDO */);
    type(L'?');
    EXPECT_EQ(text(), "helloZ_[p]?world\r\nsecond line\r\n");
}

// Scintilla empties the selection after its own insertions (typing, SCI_INSERTTEXT),
// so the rule shows where an insertion leaves the selection alone: a target replacement.
TEST_F(PluginShell, InsertionsAreSelectedOnlyWhileTheControlsPanelIsShown) {
    const std::wstring path = shelltest::writeFile(documents_, L"plain.txt", "abcdef\r\n");
    ASSERT_TRUE(host_->openFile(path));
    auto insertAt = [&](int position, const char* text) {
        sci(npp::SCI_GOTOPOS, 1);
        sci(npp::SCI_SETTARGETSTART, static_cast<WPARAM>(position));
        sci(npp::SCI_SETTARGETEND, static_cast<WPARAM>(position));
        sci(2194 /* SCI_REPLACETARGET */, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    };
    insertAt(3, "xy");
    EXPECT_EQ(sci(npp::SCI_GETSELECTIONSTART), 1);  // panel hidden: untouched
    EXPECT_EQ(sci(npp::SCI_GETSELECTIONEND), 1);

    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Controls"));
    host_->pump(20);
    insertAt(3, "uv");
    EXPECT_EQ(sci(npp::SCI_GETSELECTIONSTART), 3);
    EXPECT_EQ(sci(npp::SCI_GETSELECTIONEND), 5);

    // A deletion selects nothing (it would make the next keystroke replace the user's text).
    sci(npp::SCI_GOTOPOS, 1);
    sci(npp::SCI_SETTARGETSTART, 3);
    sci(npp::SCI_SETTARGETEND, 5);
    sci(2194 /* SCI_REPLACETARGET */, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(sci(npp::SCI_GETSELECTIONSTART), 1);
    EXPECT_EQ(sci(npp::SCI_GETSELECTIONEND), 1);
}

TEST_F(PluginShell, HostNotificationsRepeatTheMenuTranslationRequest) {
    auto menuRequests = [&] {
        int n = 0;
        for (const auto& m : host_->pluginMessages()) {
            if (m.internalMsg == 1 && m.target == L"NativeLang.dll" && m.source == L"Quorrel.dll") ++n;
        }
        return n;
    };
    EXPECT_GE(menuRequests(), 1);  // at least NPPN_READY
    host_->clearRecords();
    const std::wstring path = shelltest::writeFile(documents_, L"plain.txt", "abc\r\n");
    ASSERT_TRUE(host_->openFile(path));  // buffer activated: no request
    host_->pump(20);
    EXPECT_EQ(menuRequests(), 0);
}

TEST_F(PluginShell, UnloadLeavesTheHostIntactAndTheSettingsSavedAndReloadWorks) {
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Tester"));
    host_->pump(20);
    HMODULE module = host_->pluginModule(L"Quorrel");
    ASSERT_NE(module, nullptr);
    ASSERT_TRUE(host_->unloadPlugin(L"Quorrel"));
    // The main window's procedure is not left pointing into the freed library.
    const auto proc = reinterpret_cast<HMODULE>(::GetWindowLongPtrW(host_->mainWindow(), GWLP_WNDPROC));
    HMODULE owner = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(proc), &owner);
    EXPECT_NE(owner, module);
    // Clipboard traffic after unload reaches nothing of ours and crashes nothing.
    ASSERT_TRUE(host_->setClipboardText(L"after unload"));
    host_->pump(50);
    EXPECT_NE(testsupport::readFile(config_.file(L"Quorrel.xml")).find("QuorrelSettings"), std::string::npos);

    ASSERT_TRUE(host_->reloadPlugin(L"Quorrel"));
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Tester"));
    host_->pump(20);
    EXPECT_TRUE(host_->isChecked(kMenu, L"&Ormu Tester"));
    ASSERT_TRUE(host_->setClipboardText(L"after reload"));
    host_->pump(50);
}

}  // namespace
