// The expanded window in the stand-in editor, on a small skin made here (a
// menu that an include file brings): Go to definition on the id in <onup>
// opens the control in the include file, and the Window Outline panel shows
// the controls with the included ones marked, follows the caret and opens a
// control's place on a double-click.
#include "Host.h"
#include "SkinEditorTestSupport.h"
#include "npp/NppInterface.h"
#include "wine/preview/PreviewSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kMenu[] = L"&Quorrel";
constexpr UINT kGetCurrentPos = 2008;
constexpr UINT kLineFromPosition = 2166;

const char kIncludes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<includes>\r\n"
    "\t<include file=\"includes_nav.xml\"/>\r\n"
    "</includes>\r\n";
const char kNav[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<includes>\r\n"
    "\t<include name=\"Menu\">\r\n"
    "\t\t<control type=\"grouplist\" id=\"9000\">\r\n"
    "\t\t\t<description>Main menu</description>\r\n"
    "\t\t\t<control type=\"button\" id=\"9001\"/>\r\n"
    "\t\t</control>\r\n"
    "\t</include>\r\n"
    "</includes>\r\n";
const char kHome[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<window>\r\n"
    "\t<controls>\r\n"
    "\t\t<include>Menu</include>\r\n"
    "\t\t<control type=\"button\" id=\"20\">\r\n"
    "\t\t\t<label>Play</label>\r\n"
    "\t\t\t<onup>9000</onup>\r\n"
    "\t\t</control>\r\n"
    "\t</controls>\r\n"
    "</window>\r\n";

class WindowOutline : public skineditortest::EditorWithSkin {
protected:
    void SetUp() override {
        EditorWithSkin::SetUp();
        skin_ = temp_.path() + L"\\outline";
        const std::wstring window = skin_ + L"\\720p";
        for (const std::wstring& folder : {skin_, window}) {
            ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        }
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Includes.xml", kIncludes));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\includes_nav.xml", kNav));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Home.xml", kHome));
        ASSERT_NO_FATAL_FAILURE(startEditor(L"720p\\Home.xml"));
    }

    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendMessageW(host_->currentView(), message, w, l);
    }
    void caretAt(const std::string& needle) {
        const std::size_t pos = host_->documentBytes().find(needle);
        ASSERT_NE(pos, std::string::npos) << needle;
        send(npp::SCI_SETSELECTIONSTART, pos + 1);
        send(npp::SCI_SETSELECTIONEND, pos + 1);
        host_->pump(50);
    }
    int caretLine() const {
        return static_cast<int>(send(kLineFromPosition, static_cast<WPARAM>(send(kGetCurrentPos))));
    }
    HWND outlineList() const {
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.name == L"Window Outline") return ::FindWindowExW(r.data.hClient, nullptr, L"ListBox", nullptr);
        }
        return nullptr;
    }
    std::vector<std::wstring> lines(HWND list) const {
        std::vector<std::wstring> out;
        const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring item(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
            out.push_back(item);
        }
        return out;
    }
};

}  // namespace

TEST_F(WindowOutline, GoToDefinitionFromOnupOpensTheControlInTheIncludeFile) {
    caretAt("9000</onup>");
    ASSERT_TRUE(host_->runMenu(kMenu, L"Go to definition"));
    ASSERT_TRUE(host_->pumpUntil([&] { return host_->currentPath() == skin_ + L"\\720p\\includes_nav.xml"; }));
    EXPECT_EQ(caretLine(), previewtest::lineOf(kNav, "id=\"9000\""));
}

TEST_F(WindowOutline, ThePanelShowsTheExpandedWindowAndFollowsTheCaret) {
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Window outline"));
    HWND list = nullptr;
    // The model is read on the plugin's worker: the panel fills when it is ready.
    ASSERT_TRUE(host_->pumpUntil([&] {
        list = outlineList();
        return list != nullptr && ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 3;
    }));
    EXPECT_TRUE(host_->isChecked(kMenu, L"&Window outline"));
    const std::vector<std::wstring> expected = {
        L"grouplist 9000: Main menu    \u2190 include Menu, includes_nav.xml line 4",
        L"    button 9001    \u2190 include Menu, includes_nav.xml line 6",
        L"button 20: Play",
    };
    EXPECT_EQ(lines(list), expected);

    caretAt("Play");
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    caretAt("<include>Menu");
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);

    // A double-click opens the included control where it is written.
    ::SendMessageW(list, LB_SETCURSEL, 1, 0);
    ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(list));
    host_->pump(100);
    EXPECT_EQ(host_->currentPath(), skin_ + L"\\720p\\includes_nav.xml");
    EXPECT_EQ(caretLine(), previewtest::lineOf(kNav, "id=\"9001\""));
}
