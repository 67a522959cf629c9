// The controls panel of the real plugin library, loaded by the stand-in
// editor: docking, the type list, rows, clipboard changes, and a control
// dragged out of the panel with the mouse onto a drop target.
#include "Host.h"
#include "controls/ControlCatalogue.h"
#include "controls/controls_ids.h"
#include "support/WineTestSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using wine_test::pump;
using wine_test::ScratchFolder;
using wine_test::windowText;

namespace {

const wchar_t kMenu[] = L"&Quorrel";
const wchar_t kItem[] = L"&Ormu Controls";

std::vector<HWND> childrenOfClass(HWND parent, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(child, name, 64);
        if (_wcsicmp(name, className) == 0) found.push_back(child);
    }
    return found;
}

// A drop target that takes Unicode text.
class TextDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        ++drops;
        FORMATETC ansi{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        ansiOffered = data->QueryGetData(&ansi) == S_OK;
        FORMATETC unicode{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&unicode, &medium) == S_OK) {
            text = static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal));
            ::GlobalUnlock(medium.hGlobal);
            ::ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }

    int drops = 0;
    bool ansiOffered = false;
    std::wstring text;

private:
    ULONG references_ = 1;
};

void mouse(DWORD flags, POINT screen = {0, 0}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        input.mi.dx = static_cast<LONG>(screen.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = static_cast<LONG>(screen.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
        flags |= MOUSEEVENTF_ABSOLUTE;
    }
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

class PanelInEditor : public ::testing::Test {
protected:
    void SetUp() override {
        host::Options options;
        options.configFolder = config_.path();
        options.plugins = {L"Quorrel"};
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_NE(host_, nullptr) << std::string(error.begin(), error.end());
        host_->pump(50);
    }
    void TearDown() override {
        if (host_) host_->shutdown();
        host_.reset();
    }

    HWND openPanel() {
        EXPECT_FALSE(host_->isChecked(kMenu, kItem));
        EXPECT_TRUE(host_->runMenu(kMenu, kItem));
        pump(50);
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.name == L"Ormu Controls") return r.data.hClient;
        }
        return nullptr;
    }
    static HWND typeList(HWND panel) { return ::GetDlgItem(panel, IDC_CONTROLS_TYPE_LIST); }
    static HWND area(HWND panel) { return ::GetDlgItem(panel, IDC_CONTROLS_ATTRIBUTES); }
    // Picks the type whose entry reads `type`.
    static void choose(HWND panel, const wchar_t* type) {
        const LRESULT index = ::SendMessageW(typeList(panel), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(type));
        ASSERT_NE(index, CB_ERR);
        ::SendMessageW(typeList(panel), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDC_CONTROLS_TYPE_LIST, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(typeList(panel)));
        pump(20);
    }
    static std::vector<HWND> rows(HWND panel) { return childrenOfClass(area(panel), L"DuoTextBox"); }
    static std::wstring tagOf(HWND row) {
        const auto edits = childrenOfClass(row, L"Edit");
        return edits.empty() ? std::wstring() : windowText(edits.front());
    }

    ScratchFolder config_{L"controls-config"};
    std::unique_ptr<host::Host> host_;
};

TEST_F(PanelInEditor, DocksWithItsCaptionAndListsTheTypes) {
    const HWND panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(host_->isChecked(kMenu, kItem));
    const auto& registration = host_->dockingRegistrations().back();
    EXPECT_EQ(registration.data.dlgID, 3);
    EXPECT_EQ(registration.moduleName, L"Quorrel.dll");
    EXPECT_NE(registration.data.uMask & 0x1u, 0u);  // the tab shows the icon
    EXPECT_NE(registration.data.hIconTab, nullptr);
    EXPECT_NE(host_->containerOf(panel), host::Container::Hidden);
    EXPECT_TRUE(::IsWindowVisible(panel));

    ASSERT_EQ(::SendMessageW(typeList(panel), CB_GETCOUNT, 0, 0), 49);
    wchar_t name[32] = {};
    ::SendMessageW(typeList(panel), CB_GETLBTEXT, 46, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ(name, L"console (older)");

    choose(panel, L"image");
    const auto imageRows = rows(panel);
    const std::size_t imageRowCount = ControlCatalogue().rowsOf(L"image").size();
    ASSERT_EQ(imageRows.size(), imageRowCount);
    EXPECT_EQ(tagOf(imageRows.front()), L"animation");
    EXPECT_EQ(tagOf(imageRows.back()), L"width");

    // Hiding through the menu and showing again keeps the rows.
    ASSERT_TRUE(host_->runMenu(kMenu, kItem));
    pump(20);
    EXPECT_FALSE(host_->isChecked(kMenu, kItem));
    EXPECT_FALSE(::IsWindowVisible(panel));
    ASSERT_TRUE(host_->runMenu(kMenu, kItem));
    pump(20);
    EXPECT_TRUE(::IsWindowVisible(panel));
    EXPECT_EQ(rows(panel).size(), imageRowCount);
}

TEST_F(PanelInEditor, AClipboardChangeRefillsTheTypeListAndKeepsTheRows) {
    const HWND panel = openPanel();
    ASSERT_NE(panel, nullptr);
    choose(panel, L"button");
    ASSERT_NE(::SendMessageW(typeList(panel), CB_GETCURSEL, 0, 0), CB_ERR);
    const auto before = rows(panel);
    ASSERT_EQ(before.size(), ControlCatalogue().rowsOf(L"button").size());

    ASSERT_TRUE(host_->setClipboardText(L"copied in the editor"));
    // The clipboard tells its viewers asynchronously.
    for (int i = 0; i < 40 && ::SendMessageW(typeList(panel), CB_GETCURSEL, 0, 0) != CB_ERR; ++i) host_->pump(50);
    EXPECT_EQ(::SendMessageW(typeList(panel), CB_GETCOUNT, 0, 0), 49);
    EXPECT_EQ(::SendMessageW(typeList(panel), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(rows(panel), before);
}

TEST_F(PanelInEditor, DraggingTheAreaDropsTheControlsXml) {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    const HWND panel = openPanel();
    ASSERT_NE(panel, nullptr);

    // The drop target: a window of its own in a corner of the screen, away from the panel.
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"ControlsDropTarget";
    ::RegisterClassW(&wc);
    const int right = ::GetSystemMetrics(SM_CXSCREEN);
    const int bottom = ::GetSystemMetrics(SM_CYSCREEN);
    const HWND dropWindow =
        ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"drop here", WS_POPUP | WS_VISIBLE, right - 220,
                          bottom - 220, 200, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(dropWindow, nullptr);
    TextDropTarget target;
    ASSERT_EQ(::RegisterDragDrop(dropWindow, &target), S_OK);
    const POINT dropAt{right - 120, bottom - 120};

    auto dragFromArea = [&](POINT from) {
        mouse(MOUSEEVENTF_MOVE, from);
        pump(30);
        std::atomic<bool> done{false};
        // Pressing the button enters the drag's own modal loop; the rest of
        // the gesture comes from another thread.
        std::thread gesture([&] {
            ::Sleep(300);
            mouse(MOUSEEVENTF_MOVE, POINT{from.x + 10, from.y + 10});
            ::Sleep(150);
            mouse(MOUSEEVENTF_MOVE, dropAt);
            ::Sleep(300);
            mouse(MOUSEEVENTF_MOVE, POINT{dropAt.x + 2, dropAt.y + 2});
            ::Sleep(300);
            mouse(MOUSEEVENTF_LEFTUP);
            done = true;
        });
        mouse(MOUSEEVENTF_LEFTDOWN);
        const DWORD end = ::GetTickCount() + 5000;
        while (!done && ::GetTickCount() < end) pump(20);
        gesture.join();
        pump(100);
    };

    // No type chosen yet: no rows, nothing is dragged.
    RECT areaRect{};
    ::GetWindowRect(area(panel), &areaRect);
    dragFromArea(POINT{areaRect.left + 30, areaRect.top + 10});
    EXPECT_EQ(target.drops, 0);

    choose(panel, L"image");  // only "type" has a value
    ::GetWindowRect(area(panel), &areaRect);
    // Between the first and the second row lies the area itself.
    dragFromArea(POINT{areaRect.left + 30, areaRect.top + 22});
    EXPECT_EQ(target.drops, 1);
    EXPECT_FALSE(target.ansiOffered);
    EXPECT_EQ(target.text, L"<control type=\"image\" />\n");

    ::RevokeDragDrop(dropWindow);
    ::DestroyWindow(dropWindow);
    ::OleUninitialize();
}

}  // namespace
