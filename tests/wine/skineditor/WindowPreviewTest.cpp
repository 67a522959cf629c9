// The Window Preview panel in the stand-in editor, on a small skin made here
// (a background colour, an image and a button that an include file brings):
// the panel draws the window, outlines the control under the caret, and a
// click on the picture opens the control drawn there where it is written.
#include "Host.h"
#include "SkinEditorTestSupport.h"
#include "npp/NppInterface.h"
#include "skineditor/skineditor_ids.h"
#include "support/TestSupport.h"
#include "wine/preview/PreviewSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kMenu[] = L"&Quorrel";
constexpr UINT kGetCurrentPos = 2008;
constexpr UINT kLineFromPosition = 2166;

const char kIncludes[] =
    "<includes>\r\n"
    "\t<include file=\"includes_more.xml\"/>\r\n"
    "</includes>\r\n";
const char kMore[] =
    "<includes>\r\n"
    "\t<include name=\"RightHalf\">\r\n"
    "\t\t<control type=\"image\" id=\"2\">\r\n"
    "\t\t\t<left>640</left><width>640</width>\r\n"
    "\t\t\t<texture colordiffuse=\"FF00FF00\">white.bmp</texture>\r\n"
    "\t\t</control>\r\n"
    "\t</include>\r\n"
    "</includes>\r\n";
const char kHome[] =
    "<window>\r\n"
    "\t<backgroundcolor>FF0000FF</backgroundcolor>\r\n"
    "\t<controls>\r\n"
    "\t\t<control type=\"image\" id=\"1\">\r\n"
    "\t\t\t<width>640</width>\r\n"
    "\t\t\t<texture>white.bmp</texture>\r\n"
    "\t\t</control>\r\n"
    "\t\t<include>RightHalf</include>\r\n"
    "\t</controls>\r\n"
    "</window>\r\n";
// A white 1x1 BMP.
const char kWhiteBmp[] =
    "BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0\0\0\0\0\4\0\0\0\0\0\0\0"
    "\0\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\0";

class WindowPreview : public skineditortest::EditorWithSkin {
protected:
    void SetUp() override {
        EditorWithSkin::SetUp();
        skin_ = temp_.path() + L"\\preview";
        const std::wstring window = skin_ + L"\\720p";
        for (const std::wstring& folder : {skin_, window, skin_ + L"\\media"}) {
            ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        }
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Includes.xml", kIncludes));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\includes_more.xml", kMore));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Home.xml", kHome));
        ASSERT_TRUE(previewtest::writeFile(skin_ + L"\\media\\white.bmp", std::string(kWhiteBmp, 58)));
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
    HWND panel() const {
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.name == L"Window Preview") return r.data.hClient;
        }
        return nullptr;
    }
    std::wstring status() const {
        wchar_t text[512] = L"";
        ::GetDlgItemTextW(panel(), IDC_PREVIEW_STATUS, text, 512);
        return text;
    }
    // The picture's place in the panel: the skin's 16:9 fitted below the status line.
    RECT picture() const {
        RECT client{}, line{};
        ::GetClientRect(panel(), &client);
        ::GetWindowRect(::GetDlgItem(panel(), IDC_PREVIEW_STATUS), &line);
        const int top = (line.bottom - line.top) + 4;
        const int areaW = client.right, areaH = client.bottom - top;
        const double scale = std::min(areaW / 1280.0, areaH / 720.0);
        const int w = static_cast<int>(1280 * scale), h = static_cast<int>(720 * scale);
        const int x = (areaW - w) / 2, y = top + (areaH - h) / 2;
        return RECT{x, y, x + w, y + h};
    }
    COLORREF pixel(int x, int y) const {
        const HDC dc = ::GetDC(panel());
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(panel(), dc);
        return c;
    }
};

}  // namespace

TEST_F(WindowPreview, DrawsTheWindowFollowsTheCaretAndAClickOpensTheControl) {
    ASSERT_TRUE(host_->runMenu(kMenu, L"Window &preview"));
    // The model is read and the window drawn on workers: the status line says when.
    ASSERT_TRUE(host_->pumpUntil([&] { return panel() != nullptr && status().find(L"2 controls drawn") == 0; }))
        << testsupport::narrow(status());
    EXPECT_TRUE(host_->isChecked(kMenu, L"Window &preview"));
    const RECT p = picture();
    ::UpdateWindow(panel());
    host_->pump(50);
    const int midY = (p.top + p.bottom) / 2;
    EXPECT_EQ(pixel(p.left + (p.right - p.left) / 4, midY), RGB(255, 255, 255)) << "image 1, white";
    EXPECT_EQ(pixel(p.left + 3 * (p.right - p.left) / 4, midY), RGB(0, 255, 0)) << "image 2, tinted green";

    caretAt("<width>640</width>\r\n\t\t\t<texture>white");
    EXPECT_NE(status().find(L"outlined: image 1, line 4"), std::wstring::npos) << testsupport::narrow(status());
    caretAt("<include>RightHalf");
    EXPECT_NE(status().find(L"outlined: image 2, line 3"), std::wstring::npos) << testsupport::narrow(status());

    // A click on the right half opens the included image where it is written.
    const LPARAM at = MAKELPARAM(p.left + 3 * (p.right - p.left) / 4, midY);
    ::SendMessageW(panel(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(panel(), WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(host_->pumpUntil([&] { return host_->currentPath() == skin_ + L"\\720p\\includes_more.xml"; }));
    EXPECT_EQ(caretLine(), previewtest::lineOf(kMore, "id=\"2\""));
}
