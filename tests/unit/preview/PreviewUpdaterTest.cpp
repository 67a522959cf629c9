#include "preview/PreviewUpdater.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using preview::PreviewUpdater;

namespace {

struct Editor : preview::PreviewSource {
    int line = 0;
    std::map<int, std::wstring> values;
    std::wstring folder = L"C:\\skins\\mine\\720p";
    int caretQuestions = 0;
    int lineReads = 0;
    int folderQuestions = 0;
    std::function<void()> duringCaretQuestion;

    int caretLine() override {
        ++caretQuestions;
        if (duringCaretQuestion) {
            duringCaretQuestion();
        }
        return line;
    }
    bool tagValueOnLine(int l, std::wstring& value) override {
        ++lineReads;
        auto it = values.find(l);
        if (it == values.end()) {
            return false;
        }
        value = it->second;
        return true;
    }
    std::wstring currentDirectory() override {
        ++folderQuestions;
        return folder;
    }
};

struct Panel : preview::PreviewCanvas {
    std::vector<std::wstring> calls;
    bool fileThere = false;
    void clear() override { calls.push_back(L"clear"); }
    bool showFile(const std::wstring& p) override {
        calls.push_back(L"file " + p);
        return fileThere;
    }
    bool inBundle = true;
    bool showBundleImage(const std::wstring& p) override {
        calls.push_back(L"bundle " + p);
        return inBundle;
    }
    void showNothing() override { calls.push_back(L"nothing"); }
};

}  // namespace

TEST(PreviewUpdater, ClearsThenShowsTheFileElseTheBundleImageOfTheLinesName) {
    Editor ed;
    Panel panel;
    PreviewUpdater up;
    ed.values[3] = L"buttons/focus.png";
    ed.line = 3;

    up.update(ed, panel);  // hidden: nothing at all
    EXPECT_EQ(0, ed.caretQuestions);

    up.setShown(true);
    up.update(ed, panel);
    EXPECT_EQ((std::vector<std::wstring>{L"clear", L"file C:\\skins\\mine\\media\\buttons\\focus.png",
                                         L"bundle C:\\skins\\mine\\media\\buttons\\focus.png"}),
              panel.calls);

    panel.calls.clear();
    panel.inBundle = false;
    ed.line = 5;
    ed.values[5] = L"missing.png";
    up.update(ed, panel);
    EXPECT_EQ((std::vector<std::wstring>{L"clear", L"file C:\\skins\\mine\\media\\missing.png",
                                         L"bundle C:\\skins\\mine\\media\\missing.png", L"nothing"}),
              panel.calls);

    panel.calls.clear();
    panel.fileThere = true;
    ed.line = 4;  // no tag value: the panel keeps what it shows
    up.update(ed, panel);
    EXPECT_TRUE(panel.calls.empty());
    ed.line = 3;
    up.update(ed, panel);
    EXPECT_EQ((std::vector<std::wstring>{L"clear", L"file C:\\skins\\mine\\media\\buttons\\focus.png"}), panel.calls);
}

TEST(PreviewUpdater, SameLineCostsOneQuestionAndNoFileAccessUntilForgotten) {
    Editor ed;
    Panel panel;
    PreviewUpdater up;
    up.setShown(true);
    ed.values[1] = L"a.png";
    ed.line = 1;
    up.update(ed, panel);
    const int reads = ed.lineReads;
    const int folders = ed.folderQuestions;
    const std::size_t draws = panel.calls.size();
    for (int i = 0; i < 100; ++i) {
        up.update(ed, panel);
    }
    EXPECT_EQ(101, ed.caretQuestions);
    EXPECT_EQ(reads, ed.lineReads);
    EXPECT_EQ(folders, ed.folderQuestions);
    EXPECT_EQ(draws, panel.calls.size());

    up.forgetLine();  // as a resize does
    up.update(ed, panel);
    EXPECT_EQ(draws * 2, panel.calls.size());
}

TEST(PreviewUpdater, DoesNotReenterFromMessagesDispatchedWhileItRuns) {
    Editor ed;
    Panel panel;
    PreviewUpdater up;
    up.setShown(true);
    ed.values[2] = L"x.png";
    ed.line = 2;
    int nested = 0;
    ed.duringCaretQuestion = [&] {
        ++nested;
        up.update(ed, panel);  // a hit test arriving during the host call
    };
    up.update(ed, panel);
    EXPECT_EQ(1, nested);
    EXPECT_EQ(1, ed.caretQuestions);
    EXPECT_EQ(3u, panel.calls.size());

    // An editor call that throws does not leave the previewer stuck as busy.
    ed.duringCaretQuestion = [] { throw std::runtime_error("gone"); };
    up.forgetLine();
    EXPECT_THROW(up.update(ed, panel), std::runtime_error);
    ed.duringCaretQuestion = nullptr;
    up.update(ed, panel);
    EXPECT_EQ(6u, panel.calls.size());
}
