// The editor's encoding conversions pass the document through the clipboard;
// that traffic must not enter the clipboard history. Wired as the plugin wires
// it, on the stand-in editor's real main window and Scintilla views.
#include "ShellTestSupport.h"

#include "clipboard/ClipboardList.h"
#include "framework/EditorEventHub.h"
#include "editor/HubSystem_win.h"
#include "app/HostWindowHook_win.h"
#include "editor/NppEditor_win.h"

#include <gtest/gtest.h>

namespace {

EditorEventHub* activeHub = nullptr;
plugin::HostWindowHook* activeHook = nullptr;

LRESULT CALLBACK hookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    plugin::hostMessage(*activeHub, window, message, wParam, lParam);
    return ::CallWindowProcW(activeHook->previous(), window, message, wParam, lParam);
}

HWND hostWindow = nullptr;

bool hostInFront() { return ::GetForegroundWindow() == hostWindow; }

class Conversion : public ::testing::Test {
protected:
    void SetUp() override {
        // No plugins: this process plays the plugin's part itself.
        host_ = shelltest::startHostWithPlugin(config_.path(), {}, emptyPlugins_.path());
        ASSERT_NE(host_, nullptr);
        editor_.connect(::GetModuleHandleW(nullptr), {host_->mainWindow(), host_->view(0), host_->view(1)});
        hostWindow = host_->mainWindow();
        hub_.setSystem(&system_);
        activeHub = &hub_;
        activeHook = &hook_;
        ASSERT_TRUE(hook_.install(host_->mainWindow(), hookProc));
        ::SetForegroundWindow(host_->mainWindow());
        host_->pump(50);
        controller_.init(&list_, &hub_, nullptr);
        hub_.addClipboardListener(&controller_);
        host_->pump(50);
    }
    void TearDown() override {
        ::ChangeClipboardChain(host_->mainWindow(), static_cast<HWND>(hub_.nextViewer()));
        hook_.remove();
        host_.reset();
    }

    void convert(UINT command) {
        ::SendMessageW(host_->mainWindow(), WM_COMMAND, command, 0);
        host_->pump(100);
    }

    shelltest::ScratchFolder config_{L"conversion-config"};
    shelltest::ScratchFolder emptyPlugins_{L"conversion-plugins"};
    shelltest::ScratchFolder documents_{L"conversion-documents"};
    std::unique_ptr<host::Host> host_;
    editor::NppEditor editor_;
    editor::Win32HubSystem system_{editor_};
    EditorEventHub hub_;
    plugin::HostWindowHook hook_;
    ClipboardList list_;
    OSClipboardController controller_{&hostInFront};
};

TEST_F(Conversion, AnsiToUnicodeLeavesTheHistoryUnchanged) {
    ASSERT_EQ(::GetForegroundWindow(), host_->mainWindow());
    ASSERT_TRUE(host_->openFile(shelltest::writeFile(documents_, L"ansi.xml", "<a>caf\xE9</a>\r\n")));
    ASSERT_EQ(::SendMessageW(host_->currentView(), npp::SCI_GETCODEPAGE, 0, 0), 0);
    ASSERT_TRUE(host_->setClipboardText(L"user text"));
    host_->pump(50);
    ASSERT_GE(list_.count(), 1);
    ASSERT_EQ(list_.item(0)->text, L"user text");
    const int count = list_.count();

    convert(npp::IDM_FORMAT_CONV2_AS_UTF_8);
    EXPECT_EQ(::SendMessageW(host_->currentView(), npp::SCI_GETCODEPAGE, 0, 0), 65001);
    EXPECT_EQ(list_.count(), count);
    EXPECT_EQ(list_.item(0)->text, L"user text");
    EXPECT_EQ(hub_.ignoreCounter(), 0);

    // The next copy by the user is recorded again.
    ASSERT_TRUE(host_->setClipboardText(L"later"));
    host_->pump(50);
    EXPECT_EQ(list_.item(0)->text, L"later");
}

TEST_F(Conversion, UnicodeToUnicodeArmsNothing) {
    ASSERT_TRUE(host_->openFile(shelltest::writeFile(documents_, L"utf8.xml", "<a>caf\xC3\xA9</a>\r\n")));
    ASSERT_EQ(::SendMessageW(host_->currentView(), npp::SCI_GETCODEPAGE, 0, 0), 65001);
    convert(npp::IDM_FORMAT_CONV2_UTF_8);
    EXPECT_EQ(hub_.ignoreCounter(), 0);
    ASSERT_TRUE(host_->setClipboardText(L"recorded"));
    host_->pump(50);
    ASSERT_GE(list_.count(), 1);
    EXPECT_EQ(list_.item(0)->text, L"recorded");
}

}  // namespace
