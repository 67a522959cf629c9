// The plugin itself in the stand-in editor: its controls panel follows the
// caret through a window file of the sample skin and writes a typed value
// back into the document, with nothing but the menu, the caret and the keys.
#include "Host.h"
#include "support/WineTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using wine_test::pump;
using wine_test::ScratchFolder;
using wine_test::windowText;

namespace {

void descendants(HWND parent, std::vector<HWND>& out) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        descendants(child, out);
    }
}

std::wstring className(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}

class CaretInPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = testsupport::readFile(wine_test::sampleSkinFolder() + L"\\720p\\Home.xml");
        ASSERT_FALSE(sample_.empty()) << "sample skin not found";
        ASSERT_TRUE(testsupport::writeFile(files_.file(L"Home.xml"), sample_));

        host::Options options;
        options.pluginRoot = host::exeFolder() + L"\\plugins";
        options.configFolder = config_.path();
        options.plugins = {L"Quorrel"};
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_NE(host_, nullptr) << std::string(error.begin(), error.end());
        ASSERT_TRUE(host_->openFile(files_.file(L"Home.xml")));
        ASSERT_TRUE(host_->runMenu(L"&Quorrel", L"&Ormu Controls"));
        pump(100);
        ASSERT_TRUE(host_->isChecked(L"&Quorrel", L"&Ormu Controls"));
    }
    void TearDown() override {
        if (host_) host_->shutdown();
    }

    HWND panel() {
        for (HWND p : host_->panels()) {
            if (windowText(p) == L"Ormu Skin Controls") return p;
        }
        return nullptr;
    }
    // The value editor of the row whose (read-only) tag box shows `tag`.
    HWND valueOf(const std::wstring& tag) {
        std::vector<HWND> all;
        descendants(panel(), all);
        for (HWND w : all) {
            if (className(w) == L"Edit" && !::IsWindowEnabled(w) && windowText(w) == tag)
                return ::GetWindow(w, GW_HWNDNEXT);
        }
        return nullptr;
    }
    std::wstring shownType() {
        std::vector<HWND> all;
        descendants(panel(), all);
        for (HWND w : all) {
            if (className(w) == L"ComboBox" && ::GetParent(w) == panel()) return windowText(w);
        }
        return L"<no type list>";
    }
    void caretTo(const std::string& text) {
        const std::size_t at = sample_.find(text);
        ASSERT_NE(at, std::string::npos);
        int line = 0;
        for (std::size_t i = 0; i < at; ++i) line += sample_[i] == '\n' ? 1 : 0;
        ASSERT_TRUE(host_->setCaret(line, 0));
        pump(100);
    }

    ScratchFolder files_{L"caret-plugin-files"};
    ScratchFolder config_{L"caret-plugin-config"};
    std::string sample_;
    std::unique_ptr<host::Host> host_;
};

}  // namespace

TEST_F(CaretInPlugin, RowsFollowTheCaretAndTypedValuesReachTheDocument) {
    ASSERT_NE(panel(), nullptr);
    caretTo("<posx>30</posx>");  // inside the "Arrow" image, written the older way
    EXPECT_EQ(shownType(), L"image");
    const HWND posx = valueOf(L"posx");
    ASSERT_NE(posx, nullptr);
    EXPECT_EQ(valueOf(L"left"), nullptr);  // the legacy name stands in its place
    EXPECT_EQ(windowText(posx), L"30");
    EXPECT_EQ(windowText(valueOf(L"description")), L"Arrow");
    EXPECT_TRUE(testsupport::fileExists(config_.file(L"tempcontrol.xml")));

    ::SetFocus(posx);
    ::SendMessageW(posx, EM_SETSEL, 0, -1);
    for (wchar_t key : std::wstring(L"75")) ::SendMessageW(posx, WM_CHAR, key, 1);
    pump(100);
    std::string expected = sample_;
    expected.replace(expected.find("<posx>30</posx>"), 15, "<posx>75</posx>");
    EXPECT_EQ(host_->documentBytes(), expected);
    EXPECT_EQ(valueOf(L"posx"), posx);  // the rows were not rebuilt under the typing

    // Hidden, the panel follows nothing.
    ASSERT_TRUE(host_->runMenu(L"&Quorrel", L"&Ormu Controls"));
    pump(50);
    caretTo("<label>Videos</label>");
    EXPECT_EQ(shownType(), L"image");
    EXPECT_EQ(host_->documentBytes(), expected);
}
