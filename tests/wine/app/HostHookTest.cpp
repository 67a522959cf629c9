// The host-window hook with the real Windows clipboard and clipboard-viewer
// chain, on a plain top-level window standing in for the editor's main window.
#include "clipboard/ClipboardList.h"
#include "framework/EditorEventHub.h"
#include "editor/HubSystem_win.h"
#include "app/HostWindowHook_win.h"
#include "editor/NppEditor_win.h"
#include "support/WineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

EditorEventHub* activeHub = nullptr;
plugin::HostWindowHook* activeHook = nullptr;

LRESULT CALLBACK hookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    plugin::hostMessage(*activeHub, window, message, wParam, lParam);
    return ::CallWindowProcW(activeHook->previous(), window, message, wParam, lParam);
}

// A viewer that joined the chain before the editor: it must keep hearing every change.
int earlierViewerDraws = 0;
HWND earlierViewerNext = nullptr;
LRESULT CALLBACK earlierViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWCLIPBOARD) {
        ++earlierViewerDraws;
        if (earlierViewerNext != nullptr) ::SendMessageW(earlierViewerNext, message, wParam, lParam);
        return 0;
    }
    if (message == WM_CHANGECBCHAIN) {
        if (reinterpret_cast<HWND>(wParam) == earlierViewerNext) earlierViewerNext = reinterpret_cast<HWND>(lParam);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND makeWindow(const wchar_t* cls, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, cls, cls, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                             wc.hInstance, nullptr);
}

void pump() { wine_test::pump(100); }

bool putText(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* p = static_cast<wchar_t*>(::GlobalLock(memory));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    pump();
    return true;
}

bool putBitmapOnly(HWND owner) {
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 4, 4);
    ::ReleaseDC(nullptr, screen);
    ::SetClipboardData(CF_BITMAP, bitmap);
    ::CloseClipboard();
    pump();
    return true;
}

HWND hostWindow = nullptr;

bool hostInFront() { return ::GetForegroundWindow() == hostWindow; }

class HostHook : public ::testing::Test {
protected:
    void SetUp() override {
        earlier_ = makeWindow(L"EarlierViewer", earlierViewerProc);
        earlierViewerNext = ::SetClipboardViewer(earlier_);
        host_ = makeWindow(L"HostStandIn", ::DefWindowProcW);
        other_ = makeWindow(L"OtherProgram", ::DefWindowProcW);
        editor_.connect(::GetModuleHandleW(nullptr), {host_, nullptr, nullptr});
        hostWindow = host_;
        hub_.setSystem(&system_);
        activeHub = &hub_;
        activeHook = &hook_;
        ASSERT_TRUE(hook_.install(host_, hookProc));
        ::SetForegroundWindow(host_);
        pump();
        putText(other_, L"before joining");
        controller_.init(&list_, &hub_, nullptr);
        hub_.addClipboardListener(&controller_);  // joins the chain: the clipboard is reported once
        pump();
    }
    void TearDown() override {
        ::ChangeClipboardChain(host_, static_cast<HWND>(hub_.nextViewer()));
        hook_.remove();
        ::ChangeClipboardChain(earlier_, earlierViewerNext);
        ::DestroyWindow(host_);
        ::DestroyWindow(other_);
        ::DestroyWindow(earlier_);
    }

    HWND earlier_ = nullptr;
    HWND host_ = nullptr;
    HWND other_ = nullptr;
    editor::NppEditor editor_;
    editor::Win32HubSystem system_{editor_};
    EditorEventHub hub_;
    plugin::HostWindowHook hook_;
    ClipboardList list_;
    OSClipboardController controller_{&hostInFront};
};

TEST_F(HostHook, CopiesWhileTheEditorIsInFrontEnterTheHistory) {
    ASSERT_EQ(::GetForegroundWindow(), host_) << "the stand-in editor must be in front";
    // Joining the chain reported what was already there.
    ASSERT_EQ(list_.count(), 1);
    EXPECT_EQ(list_.item(0)->text, L"before joining");

    putText(host_, L"first");
    putText(host_, L"first");  // same text: nothing changes
    ASSERT_EQ(list_.count(), 2);
    EXPECT_EQ(list_.item(0)->text, L"first");

    // Another program in front: nothing enters.
    ::SetForegroundWindow(other_);
    pump();
    if (::GetForegroundWindow() == other_) {
        putText(other_, L"elsewhere");
        EXPECT_EQ(list_.count(), 2);
        ::SetForegroundWindow(host_);
        pump();
    }
}

TEST_F(HostHook, NonTextChangesAddNothingButStillReachTheNextViewer) {
    const int before = earlierViewerDraws;
    const int count = list_.count();
    putBitmapOnly(host_);
    EXPECT_EQ(list_.count(), count);
    EXPECT_GT(earlierViewerDraws, before);
    putText(host_, L"text again");
    EXPECT_EQ(list_.count(), count + 1);
}

TEST_F(HostHook, ColumnAndLineMarkersGiveTheSelectionKind) {
    const UINT column = ::RegisterClipboardFormatW(L"MSDEVColumnSelect");
    const UINT line = ::RegisterClipboardFormatW(L"MSDEVLineSelect");
    hub_.setSelectionFormats(column, line);
    ASSERT_TRUE(::OpenClipboard(host_));
    ::EmptyClipboard();
    const std::wstring text = L"a column";
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* p = static_cast<wchar_t*>(::GlobalLock(memory));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::SetClipboardData(column, ::GlobalAlloc(GMEM_MOVEABLE, 1));
    ::CloseClipboard();
    pump();
    ASSERT_GE(list_.count(), 1);
    EXPECT_EQ(list_.item(0)->text, L"a column");
    EXPECT_EQ(list_.item(0)->textMode, TextItem::Column);
}

TEST_F(HostHook, LeavingTheChainAndRemovingTheHookRestoresTheHost) {
    hook_.remove();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(host_, GWLP_WNDPROC)), &::DefWindowProcW);
}

}  // namespace
