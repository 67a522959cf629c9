// The tester panel's "Check skin" in the stand-in editor, on a copy of the
// sample skin with a second window file and a few references the skin does
// not have: the text pane lists the findings grouped by file with the counts
// per rule in its summary, and a double-click on one opens its file at its line.
#include "Host.h"
#include "SkinEditorTestSupport.h"
#include "wine/preview/PreviewSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kMenu[] = L"&Quorrel";

constexpr UINT kGetCurrentPos = 2008;
constexpr UINT kLineFromPosition = 2166;

std::wstring classOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}

HWND descendantOfClass(HWND parent, const std::wstring& name) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(classOf(child).c_str(), name.c_str()) == 0) return child;
        if (HWND deeper = descendantOfClass(child, name)) return deeper;
    }
    return nullptr;
}

std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

class CheckSkin : public skineditortest::EditorWithSkin {
protected:
    void SetUp() override {
        EditorWithSkin::SetUp();
        ASSERT_NO_FATAL_FAILURE(copySampleSkin());
        home_ = insertInto(L"720p\\Home.xml", "\t</controls>",
                           "\t\t<include>NoSuchInclude</include>\n\t\t<texture>Buttons\\Focus.PNG</texture>\n"
                           "\t\t<control type=\"label\"><label>$VAR[NoSuchVariable]</label></control>\n");
        other_ =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<window>\r\n"
            "\t<!-- <texture>commented/out.png</texture> -->\r\n"
            "\t<control type=\"image\"><texture>$INFO[Player.Art(thumb)]</texture></control>\r\n"
            "\t<control type=\"image\"><texture>icons/star.png</texture></control>\r\n"
            "\t<control type=\"image\"><bordertexture>icons/moon.png</bordertexture></control>\r\n"
            "\t<include file=\"includes_gone.xml\"/>\r\n"
            "</window>\r\n";
        ASSERT_TRUE(previewtest::writeFile(skin_ + L"\\720p\\Other.xml", other_));
        ASSERT_NO_FATAL_FAILURE(startEditor(L"720p\\Home.xml"));
        ASSERT_TRUE(host_->runMenu(kMenu, L"&Ormu Tester"));
        host_->pump(150);
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.name == L"Ormu Commands") panel_ = r.data.hClient;
        }
        ASSERT_NE(panel_, nullptr);
        list_ = descendantOfClass(panel_, L"ListBox");
        pane_ = descendantOfClass(panel_, L"Edit");
        ASSERT_NE(list_, nullptr);
        ASSERT_NE(pane_, nullptr);
    }
    // Selects the command and double-clicks it, as the user does, then waits
    // for the check's summary line.
    void runCheck() {
        const LRESULT index =
            ::SendMessageW(list_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Check skin"));
        ASSERT_NE(index, LB_ERR) << "no Check skin command";
        ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        const HWND parent = ::GetParent(list_);
        const WPARAM id = static_cast<WPARAM>(::GetDlgCtrlID(list_));
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list_));
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list_));
        host_->pumpUntil([this] { return wine_test::windowText(pane_).rfind(L"Checked ", 0) == 0; });
        ASSERT_EQ(wine_test::windowText(pane_).rfind(L"Checked ", 0), 0u) << "no summary in the pane";
    }
    // A double-click on a line of the text pane.
    void doubleClickLine(int line) {
        const LRESULT first = ::SendMessageW(pane_, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        ASSERT_GE(first, 0);
        const LRESULT point = ::SendMessageW(pane_, EM_POSFROMCHAR, static_cast<WPARAM>(first + 1), 0);
        const LPARAM at = MAKELPARAM(LOWORD(point) + 1, HIWORD(point) + 2);
        ::SendMessageW(pane_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(pane_, WM_LBUTTONUP, 0, at);
        ::SendMessageW(pane_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::SendMessageW(pane_, WM_LBUTTONUP, 0, at);
        host_->pump(200);
    }
    int caretLine() const {
        const HWND view = host_->currentView();
        return static_cast<int>(::SendMessageW(view, kLineFromPosition,
                                               static_cast<WPARAM>(::SendMessageW(view, kGetCurrentPos, 0, 0)), 0));
    }

    std::string home_;
    std::string other_;
    HWND panel_ = nullptr;
    HWND list_ = nullptr;
    HWND pane_ = nullptr;
};

}  // namespace

TEST_F(CheckSkin, ListsTheFindingsByFileAndOpensTheOneDoubleClicked) {
    ASSERT_NO_FATAL_FAILURE(runCheck());
    const std::vector<std::wstring> lines = linesOf(wine_test::windowText(pane_));
    ASSERT_FALSE(lines.empty());
    // The counts per rule close the summary.
    EXPECT_NE(lines[0].find(L"undefined-variable 1"), std::wstring::npos) << lines[0].c_str();
    EXPECT_NE(lines[0].find(L"undefined-include 1"), std::wstring::npos) << lines[0].c_str();

    // A finding's line under its file's line.
    const auto findingLine = [&lines](const std::wstring& file, const std::wstring& rule, const std::wstring& name) {
        int fileLine = -1;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            const std::wstring& line = lines[static_cast<std::size_t>(i)];
            if (line.rfind(L"  ", 0) != 0) {
                fileLine = line == file ? i : -1;
            } else if (fileLine >= 0 && line.find(L"[" + rule + L"]") != std::wstring::npos &&
                       line.find(name) != std::wstring::npos) {
                return i;
            }
        }
        return -1;
    };
    const int variable = findingLine(L"720p\\Home.xml", L"undefined-variable", L"NoSuchVariable");
    ASSERT_GE(variable, 0) << wine_test::windowText(pane_).c_str();
    const std::wstring lineNumber = std::to_wstring(previewtest::lineOf(home_, "NoSuchVariable") + 1);
    EXPECT_EQ(lines[static_cast<std::size_t>(variable)].rfind(L"  " + lineNumber + L":", 0), 0u)
        << lines[static_cast<std::size_t>(variable)].c_str();
    const int moon = findingLine(L"720p\\Other.xml", L"missing-texture", L"icons/moon.png");
    ASSERT_GE(moon, 0) << wine_test::windowText(pane_).c_str();
    EXPECT_GE(findingLine(L"720p\\Other.xml", L"missing-include-file", L"includes_gone.xml"), 0);

    // The other window file opens at the line of its missing texture.
    ASSERT_NO_FATAL_FAILURE(doubleClickLine(moon));
    EXPECT_EQ(host_->currentPath(), skin_ + L"\\720p\\Other.xml");
    EXPECT_EQ(caretLine(), 5);
    // Back in Home.xml, at the undefined variable.
    ASSERT_NO_FATAL_FAILURE(doubleClickLine(variable));
    EXPECT_EQ(host_->currentPath(), skin_ + L"\\720p\\Home.xml");
    EXPECT_EQ(caretLine(), previewtest::lineOf(home_, "NoSuchVariable"));
}
